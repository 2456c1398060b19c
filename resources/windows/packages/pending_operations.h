// SPDX-License-Identifier: MIT
#pragma once

// The file operations Windows carries out at its next start
// (PendingFileRenameOperations): pairs of paths in the system's own form
// ("\??\C:\Programme\Gradolux\Deinstallieren.exe"), the file and where it
// goes, an empty second path deleting it. An uninstaller that cannot delete
// its own file and folder while it runs leaves them there; an installation
// into that folder before the restart cancels those deletions, or the
// restart would take away what it installed.

#include <string>
#include <string_view>
#include <vector>

namespace packages {

// The operations without the deletions of `folder` (a Windows path, "C:\…")
// and of anything in it; renames and everything elsewhere stay, in order.
// Paths compare without regard to case, a trailing backslash or the "\??\"
// prefix.
std::vector<std::wstring> withoutDeletionsIn(const std::vector<std::wstring>& operations,
                                             std::wstring_view folder);

// A REG_MULTI_SZ value of `length` characters as its strings; unlike other
// lists, this one keeps empty strings, which stand for "delete", so it is
// read by its length, not up to the first empty string.
std::vector<std::wstring> splitOperations(const wchar_t* data, std::size_t length);
// The strings back as a REG_MULTI_SZ value, each with its terminating zero
// and one more zero at the end.
std::wstring joinOperations(const std::vector<std::wstring>& operations);

} // namespace packages
