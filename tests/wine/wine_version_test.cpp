// SPDX-License-Identifier: MIT
// Reads an executable's version record back through GetFileVersionInfo and
// VerQueryValue, and its icon group through the resource functions, and
// compares every entry with what the release promises.
//   wine_version_test PROBE.EXE

#include "check.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using wine_check::check;

std::string text(const void* block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040704B0\\") + name;
    if (!VerQueryValueA(block, path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<missing>";
    return value;
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconDirectory
{
    WORD reserved;
    WORD type;
    WORD count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

void versionRecord(const char* path)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    check(size > 0, "the executable has a version record");
    if (size == 0)
        return;
    std::string block(size, '\0');
    check(GetFileVersionInfoA(path, 0, size, block.data()), "the version record reads");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    check(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
          "the fixed part is there");
    if (fixed) {
        check(fixed->dwFileVersionMS == 0x00010003 && fixed->dwFileVersionLS == 0, "file version 1.3.0.0");
        check(fixed->dwProductVersionMS == 0x00010003 && fixed->dwProductVersionLS == 0,
              "product version 1.3.0.0");
        check(fixed->dwFileOS == VOS__WINDOWS32, "made for 32-bit Windows");
        check(fixed->dwFileType == VFT_APP, "an application");
    }

    WORD* translation = nullptr;
    check(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) &&
              length >= 4 && translation[0] == 0x0407 && translation[1] == 0x04B0,
          "German (Germany), Unicode string table 040704B0");

    const struct
    {
        const char* name;
        const char* value;
    } entries[] = {{"FileVersion", "1.03"},
                   {"ProductVersion", "1.03"},
                   {"ProductName", "Gradolux"},
                   {"InternalName", "Gradolux"},
                   {"OriginalFilename", "Gradolux.exe"}};
    for (const auto& entry : entries) {
        const std::string value = text(block.data(), entry.name);
        check(value == entry.value, std::string(entry.name) + " is '" + value + "'");
    }
    for (const char* name : {"CompanyName", "LegalCopyright"})
        check(text(block.data(), name).find("Gradolux") != std::string::npos, std::string(name) + " is ours");
}

void iconGroup(const char* path)
{
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    check(module != nullptr, "the executable loads as data");
    if (!module)
        return;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    check(resource != nullptr, "icon group 1 is there");
    if (resource) {
        const auto* group =
            static_cast<const GroupIconDirectory*>(LockResource(LoadResource(module, resource)));
        check(group && group->count == 3, "the icon group holds three images");
        if (group && group->count == 3) {
            const struct
            {
                int size;
                int colours;
                int bits;
            } expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
            for (int i = 0; i < 3; ++i) {
                const GroupIconEntry& entry = group->entries[i];
                check(entry.width == expected[i].size && entry.height == expected[i].size &&
                          entry.colourCount == expected[i].colours && entry.bitCount == expected[i].bits,
                      "icon image " + std::to_string(i + 1) + " is " + std::to_string(entry.width) + " x " +
                          std::to_string(entry.height) + " in " + std::to_string(entry.colourCount) +
                          " colours");
                HRSRC image =
                    FindResourceA(module, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3)); // RT_ICON
                check(image && SizeofResource(module, image) == entry.bytesInRes,
                      "icon image " + std::to_string(i + 1) + " is stored whole");
            }
        }
    }
    FreeLibrary(module);
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// The icon group and the version record are stored under German (Germany) only.
void resourceLanguages(const char* path)
{
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    check(module != nullptr, "the executable loads as data");
    if (!module)
        return;
    const struct
    {
        LPCSTR type;
        const char* name;
    } resources[] = {{MAKEINTRESOURCEA(14), "the icon group"}, {MAKEINTRESOURCEA(16), "the version record"}};
    for (const auto& resource : resources) {
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module, resource.type, MAKEINTRESOURCEA(1), collectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        check(languages == std::vector<WORD>{MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
              std::string(resource.name) + " is stored under German (0x0407) only");
    }
    FreeLibrary(module);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::printf("usage: wine_version_test PROBE.EXE\n");
        return 2;
    }
    versionRecord(argv[1]);
    iconGroup(argv[1]);
    resourceLanguages(argv[1]);
    return wine_check::summary();
}
