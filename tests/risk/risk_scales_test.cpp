// SPDX-License-Identifier: MIT
#include "risk_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// The captions as the window descriptions store them, in Windows-1252
// (0x80 is the euro sign), turned into UTF-8 here by a route of the test's own.
std::string fromWindows1252(std::string_view text)
{
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else if (byte == 0x80) {
            utf8 += "\xE2\x82\xAC";
        } else {
            if (byte < 0xA0)
                ADD_FAILURE() << "no other Windows-1252 extension occurs in the captions";
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

struct OptionRow
{
    risk::Scale scale;
    int position;
    const char* controlName;
    const char* captionCp1252;
    double nominal; // the decimal value the caption names
};

const OptionRow kOptions[] = {
    {risk::Scale::A, 1, "Option1", " GERINGE Auswirkung, z.B. Erste Hilfe, Schaden < 7.000 \x80, A = 1", 1},
    {risk::Scale::A, 2, "Option2",
     " WICHTIGE Auswirkung, z.B. schwere Verletzung, Arbeitszeitverlust, Schaden von 7.000 - 70.000 \x80, A = 3",
     3},
    {risk::Scale::A, 3, "Option3",
     " ERNSTE  Auswirkung, z.B. bleibende Invalidit\xe4t, Schaden von 70.000 - 700.000 \x80, A = 7", 7},
    {risk::Scale::A, 4, "Option4",
     " SEHR ERNSTE Auswirkung, z.B. t\xf6"
     "dlicher Unfall, schwere Erkrankung, Schaden von 700.000 - 1.400.000 \x80, A = 15",
     15},
    {risk::Scale::A, 5, "Option5",
     " GROSSSCHADENSEREIGNISS, mehrere Todesf\xe4lle, Schaden von 1.400.000 - 14.500.000 \x80, A = 40", 40},
    {risk::Scale::A, 6, "Option6",
     " KATASTROPHE, z.B. zahlreiche Todesf\xe4lle, Schaden gr\xf6sser als 14.500.000 \x80, A = 100", 100},
    {risk::Scale::H, 1, "Option7", " SEHR SELTEN, weniger als 1 x j\xe4hrlich, H = 0,5", 0.5},
    {risk::Scale::H, 2, "Option8", " SELTEN, 1 x j\xe4hrlich, H = 1", 1},
    {risk::Scale::H, 3, "Option9", " MANCHMAL, monatlich, H = 2", 2},
    {risk::Scale::H, 4, "Option10",
     " AB UND ZU, w\xf6"
     "chentlich, H = 3",
     3},
    {risk::Scale::H, 5, "Option11", " REGELM\xc4SSIG, t\xe4glich, H = 6", 6},
    {risk::Scale::H, 6, "Option12", " KONTINUIERLICH, H = 10", 10},
    {risk::Scale::W, 1, "Option13", " NICHT vorstellbar, W = 0,2", 0.2},
    {risk::Scale::W, 2, "Option14", " FAST unm\xf6glich, W = 0,5", 0.5},
    {risk::Scale::W, 3, "Option15", " UNWAHRSCHEINLICH, aber langfristig m\xf6glich, W = 1", 1},
    {risk::Scale::W, 4, "Option16", " NORMALERWEISE nicht, aber m\xf6glich, W = 3", 3},
    {risk::Scale::W, 5, "Option17", " GUT M\xd6GLICH, W = 6", 6},
    {risk::Scale::W, 6, "Option18", " FAST SICHER, W = 10", 10},
};

void PrintTo(const OptionRow& row, std::ostream* out)
{
    *out << row.controlName;
}

class RiskOptionTest : public testing::TestWithParam<OptionRow>
{};

TEST_P(RiskOptionTest, CaptionNameAndValueMatchTheScaleTable)
{
    const OptionRow& row = GetParam();
    const risk::RiskOption& option = risk::riskScale(row.scale).option(row.position);
    EXPECT_EQ(option.controlName, row.controlName);
    EXPECT_EQ(std::string(option.caption), fromWindows1252(row.captionCp1252));
    // The value is the single-precision number nearest the nominal decimal.
    EXPECT_EQ(option.value, static_cast<float>(row.nominal));
    EXPECT_EQ(risk::optionValue(row.scale, row.position), option.value);
}

INSTANTIATE_TEST_SUITE_P(AllEighteen, RiskOptionTest, testing::ValuesIn(kOptions),
                         [](const testing::TestParamInfo<OptionRow>& info) {
                             return info.param.controlName;
                         });

TEST(RiskScaleTest, ScalesComeInOrderAHWWithTheirGroupCaptionsAndOptionsInNameOrder)
{
    const auto scales = risk::riskScales();
    ASSERT_EQ(scales.size(), 3u);
    EXPECT_EQ(scales[0].scale(), risk::Scale::A);
    EXPECT_EQ(scales[1].scale(), risk::Scale::H);
    EXPECT_EQ(scales[2].scale(), risk::Scale::W);
    EXPECT_EQ(std::string(scales[0].caption()), fromWindows1252("A = Auswirkung (Schadensausma\xdf)"));
    EXPECT_EQ(std::string(scales[1].caption()), fromWindows1252("H = H\xe4ufigkeit"));
    EXPECT_EQ(std::string(scales[2].caption()), "W = Wahrscheinlichkeit");

    int number = 1;
    for (const risk::RiskScale& scale : scales) {
        for (const risk::RiskOption& option : scale.options()) {
            EXPECT_EQ(option.controlName, "Option" + std::to_string(number++));
            EXPECT_GT(option.value, 0.0f) << "no option may stand for 0: R = 0 means a scale was not chosen";
        }
    }
    EXPECT_EQ(number, 19);
}

TEST(RiskScaleTest, Option13IsTheFloatNearestToTwoTenthsNotAnExactDecimal)
{
    const float value = risk::optionValue(risk::Scale::W, 1);
    const double below = std::nextafter(value, 0.0f);
    const double above = std::nextafter(value, 1.0f);
    EXPECT_NE(static_cast<double>(value), 0.2);
    EXPECT_LT(std::abs(value - 0.2), std::abs(below - 0.2));
    EXPECT_LT(std::abs(value - 0.2), std::abs(above - 0.2));
    EXPECT_NEAR(value, 0.200000003, 1e-9);
}

TEST(RiskScaleTest, PositionsOutsideOneToSixAreRejected)
{
    for (const int position : {-1, 0, 7, 100})
        EXPECT_THROW((void)risk::optionValue(risk::Scale::H, position), std::out_of_range) << position;
}

TEST(RiskScaleTest, CaptionBytesKeepTheirBlanksAndTheEuroSign)
{
    const std::string_view option3 = risk::riskScale(risk::Scale::A).option(3).caption;
    EXPECT_EQ(option3.substr(0, 19), " ERNSTE  Auswirkung");
    EXPECT_NE(option3.find("\xE2\x82\xAC"), std::string_view::npos);
    for (const risk::RiskScale& scale : risk::riskScales())
        for (const risk::RiskOption& option : scale.options())
            EXPECT_TRUE(option.caption.starts_with(' ') && !option.caption.starts_with("  "))
                << option.controlName;
}

} // namespace
