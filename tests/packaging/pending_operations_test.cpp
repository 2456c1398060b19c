// SPDX-License-Identifier: MIT
// The deletions an installation cancels before it writes into its folder:
// exactly those Windows would carry out in that folder at its next start.

#include "pending_operations.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Operations = std::vector<std::wstring>;

struct Cancel
{
    const char* name;
    Operations pending;
    const wchar_t* folder;
    Operations kept;
};

// Names the case in the test's name instead of gtest's bytes of the struct.
void PrintTo(const Cancel& cancel, std::ostream* out)
{
    *out << cancel.name;
}

class CancelTest : public testing::TestWithParam<Cancel>
{};

TEST_P(CancelTest, OnlyDeletionsInTheFolderGo)
{
    EXPECT_EQ(packages::withoutDeletionsIn(GetParam().pending, GetParam().folder), GetParam().kept);
}

// What an uninstaller run in place leaves: its own file, then its folder.
const Operations kUninstalled = {L"\\??\\C:\\Program Files\\Gradolux\\Deinstallieren.exe", L"",
                                 L"\\??\\C:\\Program Files\\Gradolux", L""};

INSTANTIATE_TEST_SUITE_P(
    PendingFileRenameOperations, CancelTest,
    testing::Values(
        Cancel{"TheUninstallerAndItsFolder", kUninstalled, L"C:\\Program Files\\Gradolux", {}},
        Cancel{"WithoutRegardToCaseOrATrailingBackslash", kUninstalled, L"c:\\program files\\GRADOLUX\\", {}},
        Cancel{"AnotherFolderStays", kUninstalled, L"C:\\Tools\\Gradolux", kUninstalled},
        Cancel{"AFolderThatOnlyBeginsAlikeStays",
               {L"\\??\\C:\\Program Files\\Gradolux2\\Deinstallieren.exe", L""},
               L"C:\\Program Files\\Gradolux",
               {L"\\??\\C:\\Program Files\\Gradolux2\\Deinstallieren.exe", L""}},
        Cancel{"ARenameIntoTheFolderStays",
               {L"\\??\\C:\\Program Files\\Gradolux\\neu.exe",
                L"!\\??\\C:\\Program Files\\Gradolux\\Gradolux.exe"},
               L"C:\\Program Files\\Gradolux",
               {L"\\??\\C:\\Program Files\\Gradolux\\neu.exe",
                L"!\\??\\C:\\Program Files\\Gradolux\\Gradolux.exe"}},
        Cancel{"OthersStayInTheirOrder",
               {L"\\??\\C:\\Temp\\~nsu.tmp\\Un_A.exe", L"", kUninstalled[0], L"", L"\\??\\C:\\a",
                L"\\??\\C:\\b", kUninstalled[2], L""},
               L"C:\\Program Files\\Gradolux",
               {L"\\??\\C:\\Temp\\~nsu.tmp\\Un_A.exe", L"", L"\\??\\C:\\a", L"\\??\\C:\\b"}},
        Cancel{"NoFolderCancelsNothing", kUninstalled, L"", kUninstalled}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PendingOperationsValueTest, EmptyDestinationsSurviveReadingAndWriting)
{
    // "file\0\0folder\0\0\0": two deletions, as the registry holds them.
    const std::wstring value = packages::joinOperations(kUninstalled);
    EXPECT_EQ(value.size(), kUninstalled[0].size() + kUninstalled[2].size() + 5);
    EXPECT_EQ(packages::splitOperations(value.data(), value.size()), kUninstalled);
    // Without the list's closing zero, as some writers leave it.
    EXPECT_EQ(packages::splitOperations(value.data(), value.size() - 1), kUninstalled);
    EXPECT_TRUE(packages::splitOperations(value.data(), 0).empty());
}

} // namespace
