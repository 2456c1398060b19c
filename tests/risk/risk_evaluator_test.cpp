// SPDX-License-Identifier: MIT
#include "risk_evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <set>
#include <sstream>
#include <stdexcept>

namespace {

using risk::RiskBand;

// Each factor as an exact dyadic fraction mantissa / 2^shift, together with
// the nominal decimal the caption names in tenths. 0.2 is the float
// 13421773 / 2^26, the single-precision number nearest 0.2.
struct Dyadic
{
    std::int64_t mantissa;
    int shift;
    int tenths;
};

constexpr Dyadic kA[] = {{1, 0, 10}, {3, 0, 30}, {7, 0, 70}, {15, 0, 150}, {40, 0, 400}, {100, 0, 1000}};
constexpr Dyadic kH[] = {{1, 1, 5}, {1, 0, 10}, {2, 0, 20}, {3, 0, 30}, {6, 0, 60}, {10, 0, 100}};
constexpr Dyadic kW[] = {{13421773, 26, 2}, {1, 1, 5}, {1, 0, 10}, {3, 0, 30}, {6, 0, 60}, {10, 0, 100}};

// R from exact integer arithmetic: the product is exact, and converting the
// integer numerator to float is the one rounding; scaling by 2^-k is exact.
float oracleR(const Dyadic& a, const Dyadic& h, const Dyadic& w)
{
    const std::int64_t numerator = a.mantissa * h.mantissa * w.mantissa;
    return std::ldexp(static_cast<float>(numerator), -(a.shift + h.shift + w.shift));
}

// The band from the nominal decimal product, in thousandths, with the limits
// closed below.
RiskBand oracleBand(const Dyadic& a, const Dyadic& h, const Dyadic& w)
{
    const std::int64_t thousandths = static_cast<std::int64_t>(a.tenths) * h.tenths * w.tenths;
    if (thousandths < 20'000)
        return RiskBand::Low;
    if (thousandths < 70'000)
        return RiskBand::Possible;
    if (thousandths < 200'000)
        return RiskBand::High;
    if (thousandths < 400'000)
        return RiskBand::Immediate;
    return RiskBand::Stop;
}

// R's text through the standard stream's own shortest form with seven digits.
std::string oracleText(float r, char separator)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::setprecision(7) << static_cast<double>(r);
    std::string text = out.str();
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text[dot] = separator;
    return text;
}

risk::Selection select(int a, int h, int w)
{
    risk::Selection selection{};
    if (a > 0)
        selection[static_cast<std::size_t>(a - 1)] = true;
    if (h > 0)
        selection[static_cast<std::size_t>(6 + h - 1)] = true;
    if (w > 0)
        selection[static_cast<std::size_t>(12 + w - 1)] = true;
    return selection;
}

TEST(RiskEvaluatorTest, AllCombinationsMatchTheOracle)
{
    std::set<float> distinct;
    for (int a = 1; a <= 6; ++a) {
        for (int h = 1; h <= 6; ++h) {
            for (int w = 1; w <= 6; ++w) {
                SCOPED_TRACE(testing::Message() << "A" << a << " H" << h << " W" << w);
                const Dyadic& da = kA[a - 1];
                const Dyadic& dh = kH[h - 1];
                const Dyadic& dw = kW[w - 1];
                const float expected = oracleR(da, dh, dw);

                risk::RiskFactors comma;
                const risk::RiskResult withComma = risk::RiskEvaluator::evaluate(comma, select(a, h, w), ",");
                risk::RiskFactors dot;
                const risk::RiskResult withDot = risk::RiskEvaluator::evaluate(dot, select(a, h, w), ".");

                EXPECT_EQ(withComma.r, expected);
                EXPECT_EQ(comma.R, expected);
                EXPECT_EQ(withComma.text, oracleText(expected, ','));
                EXPECT_EQ(withDot.text, oracleText(expected, '.'));
                ASSERT_TRUE(withComma.band.has_value());
                EXPECT_EQ(*withComma.band, oracleBand(da, dh, dw));
                EXPECT_FALSE(withComma.verdict.empty()) << "every full selection gets a verdict";
                distinct.insert(withComma.r);
            }
        }
    }
    EXPECT_EQ(distinct.size(), 98u);
}

struct Example
{
    const char* name;
    int a, h, w; // positions 1–6, 0 for no selection
    const char* commaText;
    RiskBand band;
};

void PrintTo(const Example& example, std::ostream* out)
{
    *out << example.name;
}

class RiskExampleTest : public testing::TestWithParam<Example>
{};

TEST_P(RiskExampleTest, GivesTheTextAndBand)
{
    const Example& example = GetParam();
    risk::RiskFactors factors;
    const auto result = risk::RiskEvaluator::evaluate(factors, select(example.a, example.h, example.w), ",");
    EXPECT_EQ(result.text, example.commaText);
    EXPECT_EQ(result.band, example.band);
    EXPECT_EQ(result.verdict, risk::verdictText(example.band));
}

INSTANTIATE_TEST_SUITE_P(Examples, RiskExampleTest,
                         testing::Values(Example{"NothingSelected", 0, 0, 0, "0", RiskBand::NoSelection},
                                         Example{"OnlyAAndH", 2, 3, 0, "0", RiskBand::NoSelection},
                                         Example{"Smallest", 1, 1, 1, "0,1", RiskBand::Low},
                                         Example{"FloatTwoTenthsShows", 3, 5, 1, "8,400001", RiskBand::Low},
                                         Example{"OneAndAHalf", 1, 1, 4, "1,5", RiskBand::Low},
                                         Example{"SevenAndAHalf", 4, 1, 3, "7,5", RiskBand::Low},
                                         Example{"TypicalUse", 2, 2, 5, "18", RiskBand::Low},
                                         Example{"TwentyWasAGap", 1, 3, 6, "20", RiskBand::Possible},
                                         Example{"TwentyFromHalfH", 5, 1, 3, "20", RiskBand::Possible},
                                         Example{"SeventyIsHigh", 3, 6, 3, "70", RiskBand::High},
                                         Example{"TwoHundredWasAGap", 6, 3, 3, "200", RiskBand::Immediate},
                                         Example{"FourHundredWasAGap", 5, 2, 6, "400", RiskBand::Stop},
                                         Example{"Largest", 6, 6, 6, "10000", RiskBand::Stop}),
                         [](const testing::TestParamInfo<Example>& info) { return info.param.name; });

struct BandRow
{
    float r;
    std::optional<RiskBand> band;
};

TEST(RiskBandTest, LimitsAreClosedBelow)
{
    const BandRow rows[] = {
        {0.0f, RiskBand::NoSelection},
        {std::numeric_limits<float>::denorm_min(), RiskBand::Low},
        {19.0f, RiskBand::Low},
        {19.999f, RiskBand::Low},
        {std::nextafter(20.0f, 0.0f), RiskBand::Low},
        {20.0f, RiskBand::Possible},
        {69.0f, RiskBand::Possible},
        {69.99f, RiskBand::Possible},
        {70.0f, RiskBand::High},
        {199.99f, RiskBand::High},
        {200.0f, RiskBand::Immediate},
        {399.99f, RiskBand::Immediate},
        {400.0f, RiskBand::Stop},
        {10000.0f, RiskBand::Stop},
        {std::numeric_limits<float>::infinity(), RiskBand::Stop},
        {-1.0f, std::nullopt},
        {std::numeric_limits<float>::quiet_NaN(), std::nullopt},
    };
    for (const BandRow& row : rows)
        EXPECT_EQ(risk::riskBand(row.r), row.band) << row.r;
}

TEST(RiskBandTest, VerdictTextsAreExact)
{
    EXPECT_EQ(risk::verdictText(RiskBand::NoSelection),
              "Es konnte keine Berechnung erfolgen, da Sie nicht in jedem "
              "Feld ein Optionsfeld ausgew\xC3\xA4hlt haben!");
    EXPECT_EQ(risk::verdictText(RiskBand::Low),
              "In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES "
              "RISIKO. Pr\xC3\xBC"
              "fen Sie trotzdem ob ein Handlungsbedarf gegeben ist!");
    EXPECT_EQ(
        risk::verdictText(RiskBand::Possible),
        "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine M\xC3\x96GLICHE GEF\xC3\x84HRDUNG. In "
        "diesem Fall besteht ein Handlungsbedarf!");
    EXPECT_EQ(risk::verdictText(RiskBand::High),
              "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine HOHE "
              "GEF\xC3\x84HRDUNG. Es sind unbedingt Verbesserungen notwendig!");
    EXPECT_EQ(risk::verdictText(RiskBand::Immediate), "SOFORTIGER HANDLUNGSBEDARF");
    EXPECT_EQ(risk::verdictText(RiskBand::Stop), "Gefahr in Verzug - S T O P ! ! ");
}

TEST(RiskFactorsTest, AFreshRecordGivesZeroAndTheNoSelectionVerdict)
{
    risk::RiskFactors factors;
    EXPECT_EQ(factors.R, 0.0f);
    EXPECT_EQ(factors.A, 0.0f);
    EXPECT_EQ(factors.H, 0.0f);
    EXPECT_EQ(factors.W, 0.0f);
    const auto result = risk::RiskEvaluator::evaluate(factors, risk::Selection{}, ",");
    EXPECT_EQ(result.r, 0.0f);
    EXPECT_EQ(result.text, "0");
    EXPECT_EQ(result.band, RiskBand::NoSelection);
}

TEST(RiskFactorsTest, AnUnselectedScaleKeepsItsFactorAcrossEvaluations)
{
    risk::RiskFactors factors;
    (void)risk::RiskEvaluator::evaluate(factors, select(2, 2, 5), ","); // 3 × 1 × 6
    EXPECT_EQ(factors.R, 18.0f);

    // Only W changes; A and H come from the record.
    auto result = risk::RiskEvaluator::evaluate(factors, select(0, 0, 6), ",");
    EXPECT_EQ(factors.A, 3.0f);
    EXPECT_EQ(factors.H, 1.0f);
    EXPECT_EQ(factors.W, 10.0f);
    EXPECT_EQ(result.text, "30");
    EXPECT_EQ(result.band, RiskBand::Possible);

    // Nothing selected at all: every factor is kept, R is formed again.
    result = risk::RiskEvaluator::evaluate(factors, risk::Selection{}, ",");
    EXPECT_EQ(result.r, 30.0f);
}

TEST(RiskFactorsTest, ASelectionOfTwoOptionsInOneScaleTakesTheGraver)
{
    // The window keeps a scale exclusive; should two states arrive anyway,
    // the options are read mildest first and the last one read wins.
    risk::Selection selection = select(1, 2, 3);
    selection[5] = true; // Option6, A = 100
    risk::RiskFactors factors;
    EXPECT_EQ(risk::RiskEvaluator::evaluate(factors, selection, ",").r, 100.0f);
}

TEST(RiskEvaluatorTest, AnInvalidOrOverflowingProductIsAnErrorAndKeepsTheOldR)
{
    struct Row
    {
        const char* name;
        float a, h;
    };
    const Row rows[] = {
        {"Overflow", std::numeric_limits<float>::max(), std::numeric_limits<float>::max()},
        {"InfinityTimesZero", std::numeric_limits<float>::infinity(), 0.0f},
    };
    for (const Row& row : rows) {
        risk::RiskFactors factors{.R = 7.0f, .A = row.a, .H = row.h, .W = 0.0f};
        EXPECT_THROW((void)risk::RiskEvaluator::evaluate(factors, select(0, 0, 6), ","), std::range_error)
            << row.name;
        EXPECT_EQ(factors.R, 7.0f) << row.name;
    }
}

TEST(FormatRiskTest, SevenSignificantDigitsWithoutExponentOrGrouping)
{
    struct Row
    {
        float r;
        const char* separator;
        const char* text;
    };
    const Row rows[] = {
        {0.0f, ",", "0"},
        {0.1f, ",", "0,1"},
        {7.5f, ",", "7,5"},
        {8.4000006f, ",", "8,400001"},
        {8.4000006f, ".", "8.400001"},
        {10000.0f, ",", "10000"},
        {1234567.0f, ",", "1234567"},
        {12345678.0f, ",", "12345680"},
        {0.00012345f, ",", "0,00012345"},
        {1e-7f, ",", "0,0000001"},
        {2.5f, "\xD9\xAB",
         "2\xD9\xAB"
         "5"},
        {-7.5f, ",", "-7,5"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(risk::formatRisk(row.r, row.separator), row.text) << row.text;
}

} // namespace
