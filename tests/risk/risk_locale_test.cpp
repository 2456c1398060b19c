// SPDX-License-Identifier: MIT
// R's text under a C library locale whose decimal point is more than one
// byte long (Pashto, U+066B ARABIC DECIMAL SEPARATOR, two bytes in UTF-8), as
// the program runs once the toolkit has taken the user's locale. The locale
// is made for the test by localedef (see tests/CMakeLists.txt).

#include "risk_evaluator.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

constexpr const char* kArabicDecimalSeparator = "\xD9\xAB";

class MultiByteDecimalPointTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(std::setlocale(LC_ALL, "ps_AF.UTF-8"), nullptr) << "the test locale ps_AF.UTF-8 is missing";
        ASSERT_STREQ(std::localeconv()->decimal_point, kArabicDecimalSeparator);
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(MultiByteDecimalPointTest, RIsWrittenWholeWithTheSeparatorGiven)
{
    struct Row
    {
        float r;
        std::string separator;
        std::string text;
    };
    const Row rows[] = {
        {18.0f, kArabicDecimalSeparator, "18"},
        {0.6f, kArabicDecimalSeparator, std::string("0") + kArabicDecimalSeparator + "6"},
        {8.4000006f, kArabicDecimalSeparator, std::string("8") + kArabicDecimalSeparator + "400001"},
        {10000.0f, kArabicDecimalSeparator, "10000"},
        {0.1f, ",", "0,1"},
        {7.5f, ".", "7.5"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(risk::formatRisk(row.r, row.separator), row.text) << row.text;
}

} // namespace
