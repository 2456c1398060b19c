// SPDX-License-Identifier: MIT
// Cancels the deletions that Windows would carry out at its next start in
// one folder: run by the installer before it writes into the folder, so that
// what an earlier uninstall could not delete while it ran (its own file, the
// folder) is not deleted at the restart after a new installation.
//   cancel_pending_deletes FOLDER     exit code 0 done (also: nothing pending), 1 failed
// Only plain Win32 and advapi32.

#include "pending_operations.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPending[] = L"PendingFileRenameOperations";

int cancel(const std::wstring& folder)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return 1;
    DWORD type = 0;
    DWORD bytes = 0;
    LONG status = RegQueryValueExW(key, kPending, nullptr, &type, nullptr, &bytes);
    int result = 0;
    if (status == ERROR_FILE_NOT_FOUND) {
        result = 0; // nothing pending
    } else if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) {
        result = 1;
    } else {
        std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 1, L'\0');
        status =
            RegQueryValueExW(key, kPending, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
        const std::vector<std::wstring> operations =
            packages::splitOperations(data.data(), bytes / sizeof(wchar_t));
        const std::vector<std::wstring> kept = packages::withoutDeletionsIn(operations, folder);
        if (status != ERROR_SUCCESS) {
            result = 1;
        } else if (kept.size() == operations.size()) {
            result = 0; // nothing in the folder
        } else if (kept.empty()) {
            result = RegDeleteValueW(key, kPending) == ERROR_SUCCESS ? 0 : 1;
        } else {
            const std::wstring value = packages::joinOperations(kept);
            result =
                RegSetValueExW(key, kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value.data()),
                               static_cast<DWORD>(value.size() * sizeof(wchar_t))) == ERROR_SUCCESS
                    ? 0
                    : 1;
        }
    }
    RegCloseKey(key);
    return result;
}

} // namespace

// A program without a window: the arguments come from the C library.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    return __argc == 2 ? cancel(__wargv[1]) : 1;
}
