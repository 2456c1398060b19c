// SPDX-License-Identifier: MIT
// The custom actions of Gradolux's Windows Installer package: an uninstall
// is refused while Gradolux runs, as the installer's uninstaller refuses it.
// Windows Installer would delete the other files and leave the running
// program behind, or (where it can) replace it at the next restart; either
// way the product would be half gone. Refused, nothing is changed and
// msiexec ends with 1603; the reason is in the installation's log and, with
// a user interface, in a message box.
//
// An upgrade while Gradolux runs is not refused: the older version is
// removed and the new program replaces the running one at the next restart
// (3010). Windows Installer tells the older version's removal that it is
// part of an upgrade (UPGRADINGPRODUCTCODE); Wine does not, so the newer
// package also says so in a registry key that lives until the next restart
// at most, for the time of that removal.

// The installer headers need the system's types first.
// clang-format off
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
// clang-format on

#include <string>

namespace {

// The key that marks an upgrade in progress, volatile: it never outlives a restart.
constexpr wchar_t kUpgrading[] = L"Software\\Gradolux\\Aktualisierung";

std::wstring property(MSIHANDLE install, const wchar_t* name)
{
    DWORD length = 0;
    wchar_t none[1] = {};
    if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA)
        return {};
    std::wstring value(length + 1, L'\0');
    length = static_cast<DWORD>(value.size());
    if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS)
        return {};
    value.resize(length);
    return value;
}

// A running program cannot be opened for writing: its file is in use.
bool running(const std::wstring& program)
{
    const HANDLE file = CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool upgrading()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpgrading, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace

// Sequenced before InstallValidate, on an uninstall that is not part of an
// upgrade (an upgrade while Gradolux runs replaces it at the next restart).
extern "C" __declspec(dllexport) UINT __stdcall RefuseWhileRunning(MSIHANDLE install)
{
    std::wstring folder = property(install, L"INSTALLDIR");
    if (folder.empty() || upgrading())
        return ERROR_SUCCESS;
    if (folder.back() != L'\\')
        folder += L'\\';
    if (!running(folder + L"Gradolux.exe"))
        return ERROR_SUCCESS;
    const MSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0,
                        L"Gradolux läuft noch. Bitte beenden Sie Gradolux und deinstallieren Sie es dann "
                        L"erneut. Es wurde nichts geändert.");
    MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONWARNING),
                      record);
    MsiCloseHandle(record);
    return ERROR_INSTALL_FAILURE;
}

// Before the older version is removed in an upgrade: the mark that the
// removal is part of it. Never a reason to fail the installation.
extern "C" __declspec(dllexport) UINT __stdcall NoteUpgrade(MSIHANDLE /*install*/)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpgrading, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    return ERROR_SUCCESS;
}

// After the older version is removed: the mark goes again.
extern "C" __declspec(dllexport) UINT __stdcall EndUpgrade(MSIHANDLE /*install*/)
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUpgrading, KEY_WOW64_64KEY, 0);
    return ERROR_SUCCESS;
}
