// SPDX-License-Identifier: MIT
// The registry reader and the program starter against a real Windows API:
// run under Wine in a private prefix. Values are written with their exact
// bytes through RegSetValueExA and read back through GetKeyValue; programs
// are started from paths with blanks where a decoy waits at the first blank.
//
// Where Wine differs from Windows: Wine keeps text values in UTF-16 and adds
// a terminating zero when it hands them back through RegQueryValueExA, so a
// REG_SZ stored without its zero may come back one byte longer. The in-memory
// tests cover what the Windows documentation promises for such values; here
// both forms must give the same text. Byte counts are proved with REG_BINARY,
// which Wine keeps exactly.

#include "check.h"
#include "registry_reader.h"
#include "system_info_launcher.h"
#include "system_services.h"
#include "windows_registry.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using wine_check::check;

constexpr const char* kTestKey = "SOFTWARE\\Gradolux Tests";
constexpr const char* kRoot = "C:\\gradolux wine";

void setValue(const char* key, const char* name, DWORD type, const std::vector<unsigned char>& data)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot create ") + key);
    const LSTATUS result =
        RegSetValueExA(handle, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot set ") + name);
}

std::vector<unsigned char> bytes(const std::string& text, bool zero)
{
    std::vector<unsigned char> data(text.begin(), text.end());
    if (zero)
        data.push_back(0);
    return data;
}

struct Read
{
    bool result;
    std::string keyVal;
};

Read read(const char* name, std::string entry = "entry", const char* key = kTestKey)
{
    about::WindowsRegistry registry;
    Read got{false, std::move(entry)};
    got.result = about::GetKeyValue(registry, about::kHkeyLocalMachine, key, name, got.keyVal);
    return got;
}

void registryReader()
{
    const std::string x1023(1023, 'x');
    setValue(kTestKey, "WithZero", REG_SZ, bytes("C:\\Tools", true));
    setValue(kTestKey, "WithoutZero", REG_SZ, bytes("C:\\Tools", false));
    setValue(kTestKey, "OnlyZero", REG_SZ, bytes("", true));
    setValue(kTestKey, "Text1024", REG_SZ, bytes(x1023, true));
    setValue(kTestKey, "Text1025", REG_SZ, bytes(x1023 + "x", true));
    setValue(kTestKey, "Binary1024", REG_BINARY, std::vector<unsigned char>(1024, 0x41));
    setValue(kTestKey, "Binary1025", REG_BINARY, std::vector<unsigned char>(1025, 0x41));
    setValue(kTestKey, "Dword102", REG_DWORD, {0x02, 0x01, 0x00, 0x00});
    setValue(kTestKey, "Dword12345678", REG_DWORD, {0x78, 0x56, 0x34, 0x12});
    setValue(kTestKey, "DwordZero", REG_DWORD, {0, 0, 0, 0});
    setValue(kTestKey, "Expandable", REG_EXPAND_SZ, bytes("%TEMP%", true));
    setValue(kTestKey, "Empty", REG_BINARY, {});

    // KeyVal enters as "entry", except for numbers, whose digits go behind it.
    const auto expect = [](const char* name, bool result, const std::string& keyVal) {
        const Read got = read(name, keyVal.starts_with("&h") ? "" : "entry");
        check(got.result == result && got.keyVal == keyVal, std::string(name) + ": got " +
                                                                (got.result ? "true" : "false") + " '" +
                                                                got.keyVal.substr(0, 40) + "'");
    };
    expect("WithZero", true, "C:\\Tools");
    expect("WithoutZero", true, "C:\\Tools");
    expect("OnlyZero", true, "");
    expect("Text1024", true, x1023);
    expect("Text1025", false, "");
    expect("Binary1024", true, "entry"); // read, but another type: KeyVal stays
    expect("Binary1025", false, "");
    expect("Dword102", true, "&h000102");
    expect("Dword12345678", true, "&h12345678");
    expect("DwordZero", true, "&h000000");
    char temp[MAX_PATH] = {};
    const DWORD tempLength = GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    check(tempLength > 0 && tempLength < MAX_PATH, "TEMP is set");
    expect("Expandable", true, temp);
    expect("Missing", false, "");
    {
        const Read got = read("PATH", "entry", "SOFTWARE\\Gradolux Tests\\No Such Key");
        check(!got.result && got.keyVal.empty(), "a missing key gives false and ''");
    }
    try {
        (void)read("Empty");
        check(false, "a value without data raises");
    } catch (const std::invalid_argument&) {
        check(true, "a value without data raises");
    }

    // The result codes themselves, straight from the backing.
    about::WindowsRegistry registry;
    about::RegistryHandle key = 0;
    check(registry.open(about::kHkeyLocalMachine, kTestKey, 0, about::kKeyRead, key) == ERROR_SUCCESS,
          "the key opens with read rights");
    std::vector<unsigned char> buffer(1024);
    std::uint32_t type = 0;
    std::uint32_t size = 1024;
    check(registry.query(key, "Binary1025", type, buffer.data(), size) == about::kErrorMoreData,
          "1025 bytes answer ERROR_MORE_DATA");
    size = 1024;
    check(registry.query(key, "Missing", type, buffer.data(), size) == about::kErrorFileNotFound,
          "a missing value answers ERROR_FILE_NOT_FOUND");
    size = 1024;
    check(registry.query(key, "Binary1024", type, buffer.data(), size) == ERROR_SUCCESS && size == 1024 &&
              type == REG_BINARY,
          "1024 bytes are read whole");
    registry.close(key);
}

bool waitForFile(const std::string& path)
{
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(25);
    }
    return false;
}

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void install(const std::string& marker, const std::string& path)
{
    if (!CopyFileA(marker.c_str(), path.c_str(), FALSE))
        throw std::runtime_error("cannot copy the marker program to " + path);
    DeleteFileA((path + ".started").c_str());
}

void programStarter(const std::string& marker)
{
    const std::string root = kRoot;
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\Program Files").c_str(), nullptr);
    CreateDirectoryA((root + "\\Program Files\\Shared Tools").c_str(), nullptr);
    const std::string target = root + "\\Program Files\\Shared Tools\\MSINFO32.EXE";
    // Where an unquoted command line would be cut at the first blank.
    const std::string decoy = root + "\\Program.exe";
    install(marker, target);
    install(marker, decoy);

    about::startProgramAt(target);
    check(waitForFile(target + ".started"), "the program at a path with blanks starts");
    Sleep(300);
    check(!exists(decoy + ".started"), "the decoy at the first blank does not start");

    bool raised = false;
    try {
        about::startProgramAt(root + "\\Program Files\\missing.exe");
    } catch (const std::system_error&) {
        raised = true;
    }
    check(raised, "a missing program raises");
    check(about::isOrdinaryFile(target), "the program is an ordinary file");
    check(about::isOrdinaryFile(root + "\\PROGRAM FILES\\shared tools\\msinfo32.exe"),
          "file names compare without regard to case");
    check(!about::isOrdinaryFile(root + "\\Program Files"), "a folder is no ordinary file");

    // StartSysInfo through the real registry: the folder of the second value.
    const auto services = about::platformSystemServices();
    std::vector<std::string> messages;
    const auto box = [&messages](std::string_view text) { messages.emplace_back(text); };
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    setValue("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", REG_SZ,
             bytes(root + "\\Program Files\\Shared Tools", true));
    DeleteFileA((target + ".started").c_str());
    about::startSysInfo(*services, box);
    check(messages.empty() && waitForFile(target + ".started"),
          "StartSysInfo starts the tool found by its folder");

    // The full path of the first value wins, without a file test.
    setValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", REG_SZ, bytes(decoy, true));
    about::startSysInfo(*services, box);
    check(messages.empty() && waitForFile(decoy + ".started"),
          "StartSysInfo starts the first value's program");

    setValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", REG_SZ,
             bytes(root + "\\missing.exe", true));
    about::startSysInfo(*services, box);
    check(messages.size() == 1 && messages.front() == about::kSysInfoUnavailable,
          "a first value naming a missing program shows the message");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::printf("usage: wine_sysinfo_test START_MARKER.EXE\n");
        return 2;
    }
    try {
        registryReader();
        programStarter(argv[1]);
    } catch (const std::exception& error) {
        check(false, std::string("unexpected error: ") + error.what());
    }
    return wine_check::summary();
}
