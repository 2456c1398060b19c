// SPDX-License-Identifier: MIT
// GetKeyValue over the in-memory registry: what the Windows documentation
// promises of RegQueryValueExA (the data exactly as stored, ERROR_MORE_DATA
// for a value larger than the buffer).

#include "in_memory_registry.h"
#include "registry_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using about::InMemoryRegistry;

constexpr std::string_view kKey = "SOFTWARE\\Gradolux\\Test";
constexpr std::string_view kValue = "PATH";

std::vector<unsigned char> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

// The text's bytes and a terminating zero.
std::vector<unsigned char> withZero(std::string_view text)
{
    std::vector<unsigned char> data = bytes(text);
    data.push_back(0);
    return data;
}

struct Row
{
    const char* name;
    std::optional<InMemoryRegistry::Value> stored; // none: the key is missing
    bool valueMissing = false;
    std::string entry = "entry"; // what KeyVal holds on entry
    bool result = false;
    std::string keyVal;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

std::vector<Row> rows()
{
    using about::kRegBinary;
    using about::kRegDword;
    using about::kRegExpandSz;
    using about::kRegSz;
    const std::string x1024(1024, 'x');
    return {
        {"TextWithItsZero", InMemoryRegistry::Value{kRegSz, withZero("C:\\Tools")}, false, "", true,
         "C:\\Tools"},
        {"TextWithoutZero", InMemoryRegistry::Value{kRegSz, bytes("C:\\Tools")}, false, "", true,
         "C:\\Tools"},
        {"OnlyTheZero", InMemoryRegistry::Value{kRegSz, withZero("")}, false, "entry", true, ""},
        {"Exactly1024Bytes", InMemoryRegistry::Value{kRegSz, bytes(x1024)}, false, "", true, x1024},
        {"Exactly1024BytesEndingInZero", InMemoryRegistry::Value{kRegSz, bytes(x1024.substr(1) + '\0')},
         false, "", true, x1024.substr(1)},
        {"Over1024Bytes", InMemoryRegistry::Value{kRegSz, bytes(x1024 + "x")}, false, "entry", false, ""},
        {"TextInWindows1252",
         InMemoryRegistry::Value{kRegSz, withZero("C:\\Programme\\Pr\xfc"
                                                  "fung")},
         false, "", true,
         "C:\\Programme\\Pr\xfc"
         "fung"},
        {"MissingKey", std::nullopt, false, "entry", false, ""},
        {"MissingValue", InMemoryRegistry::Value{}, true, "entry", false, ""},
        {"Dword0x102", InMemoryRegistry::Value{kRegDword, {0x02, 0x01, 0x00, 0x00}}, false, "", true,
         "&h000102"},
        {"Dword0x12345678", InMemoryRegistry::Value{kRegDword, {0x78, 0x56, 0x34, 0x12}}, false, "", true,
         "&h12345678"},
        {"DwordZero", InMemoryRegistry::Value{kRegDword, {0, 0, 0, 0}}, false, "", true, "&h000000"},
        {"DwordDigitsGoBehindTheEntry", InMemoryRegistry::Value{kRegDword, {0x0A, 0, 0, 0}}, false, "7", true,
         "&h700000A"},
        {"ExpandableTextIsExpanded",
         InMemoryRegistry::Value{kRegExpandSz, withZero("%SystemRoot%\\system32")}, false, "entry", true,
         "C:\\WINDOWS\\system32"},
        {"ExpandableTextKeepsUnknownReferences",
         InMemoryRegistry::Value{kRegExpandSz, withZero("%NONE%\\x%")}, false, "entry", true, "%NONE%\\x%"},
        {"ExpandableTextWithoutReferences", InMemoryRegistry::Value{kRegExpandSz, bytes("C:\\Tools")}, false,
         "entry", true, "C:\\Tools"},
        {"RawBytesLeaveKeyValAlone", InMemoryRegistry::Value{kRegBinary, {1, 2, 3}}, false, "entry", true,
         "entry"},
    };
}

class GetKeyValueTest : public testing::TestWithParam<Row>
{};

TEST_P(GetKeyValueTest, ReadsTheValueAsTextAndClosesTheKey)
{
    const Row& row = GetParam();
    InMemoryRegistry registry;
    registry.setEnvironment("SystemRoot", "C:\\WINDOWS");
    if (row.stored) {
        // Key names compare without regard to case.
        registry.setValue(about::kHkeyLocalMachine, "software\\gradolux\\TEST",
                          row.valueMissing ? "OTHER" : kValue, *row.stored);
    }
    std::string keyVal = row.entry;
    EXPECT_EQ(about::GetKeyValue(registry, about::kHkeyLocalMachine, kKey, kValue, keyVal), row.result);
    EXPECT_EQ(keyVal, row.keyVal);
    EXPECT_EQ(registry.openKeys(), 0) << "the key is closed on every path";
    EXPECT_EQ(registry.accessRequested, std::vector<std::uint32_t>{about::kKeyRead}) << "read rights only";
}

INSTANTIATE_TEST_SUITE_P(Values, GetKeyValueTest, testing::ValuesIn(rows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(GetKeyValueErrorTest, AValueWithoutDataRaisesAfterClosingTheKey)
{
    InMemoryRegistry registry;
    registry.setValue(about::kHkeyLocalMachine, kKey, kValue, {about::kRegSz, {}});
    std::string keyVal = "entry";
    EXPECT_THROW((void)about::GetKeyValue(registry, about::kHkeyLocalMachine, kKey, kValue, keyVal),
                 std::invalid_argument);
    EXPECT_EQ(keyVal, "entry");
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST(GetKeyValueErrorTest, AKeyThatMayBeReadButNotChangedIsRead)
{
    InMemoryRegistry registry;
    registry.setValue(about::kHkeyLocalMachine, kKey, kValue, {about::kRegSz, bytes("C:\\Tools")});
    registry.restrictAccess(about::kHkeyLocalMachine, kKey, about::kKeyRead);
    std::string keyVal;
    EXPECT_TRUE(about::GetKeyValue(registry, about::kHkeyLocalMachine, kKey, kValue, keyVal));
    EXPECT_EQ(keyVal, "C:\\Tools");

    // The store itself refuses wider rights, so the test above can fail.
    about::RegistryHandle key = 0;
    EXPECT_EQ(registry.open(about::kHkeyLocalMachine, kKey, 0, 0x0002003F, key), about::kErrorAccessDenied);
}

TEST(GetKeyValueErrorTest, AnotherRootIsAnotherKey)
{
    InMemoryRegistry registry;
    registry.setValue(0x80000001, kKey, kValue, {about::kRegSz, bytes("C:\\Tools")});
    std::string keyVal = "entry";
    EXPECT_FALSE(about::GetKeyValue(registry, about::kHkeyLocalMachine, kKey, kValue, keyVal));
    EXPECT_EQ(keyVal, "");
}

} // namespace
