// SPDX-License-Identifier: MIT
#include "risk_evaluator.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <stdexcept>

namespace risk {
namespace {

constexpr std::array<std::string_view, 6> kVerdicts{
    "Es konnte keine Berechnung erfolgen, da Sie nicht in jedem Feld ein Optionsfeld ausgewählt haben!",
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO. Prüfen Sie trotzdem ob ein Handlungsbedarf gegeben ist!",
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine MÖGLICHE GEFÄHRDUNG. In diesem Fall besteht ein Handlungsbedarf!",
    "In Ihrem Anwendungsfall ergibt sich bei der Berechnung eine HOHE GEFÄHRDUNG. Es sind unbedingt Verbesserungen notwendig!",
    "SOFORTIGER HANDLUNGSBEDARF",
    "Gefahr in Verzug - S T O P ! ! ", // ends with one blank
};

// Sets `factor` to the value of the scale's selected option, if it has one.
void takeFactor(float& factor, const RiskScale& scale, const Selection& selection, std::size_t first)
{
    for (std::size_t i = 0; i < RiskScale::kOptionCount; ++i) {
        if (selection[first + i])
            factor = scale.options()[i].value;
    }
}

// The product in single precision. It cannot be formed when it is not a
// number although every factor is one (infinity times zero), or infinite
// although every factor is finite (it overflowed, in double precision or in
// the step to single). Judged by the values, not by the floating-point
// exception flags, which not every platform has (WebAssembly keeps none).
float product(const RiskFactors& f)
{
    const double factors[] = {f.H, f.A, f.W};
    const double wide = factors[0] * factors[1] * factors[2];
    const auto r = static_cast<float>(wide);
    const bool anyNaN = std::isnan(factors[0]) || std::isnan(factors[1]) || std::isnan(factors[2]);
    const bool allFinite =
        std::isfinite(factors[0]) && std::isfinite(factors[1]) && std::isfinite(factors[2]);
    if ((std::isnan(r) && !anyNaN) || (std::isinf(r) && allFinite))
        throw std::range_error("the risk product could not be formed");
    return r;
}

// Seven significant digits as d.dddddde±x with a point, whatever the C
// library's locale, whose decimal point may be another character of any
// length.
std::string scientificDigits(float r)
{
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    char buffer[32];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), static_cast<double>(r),
                                       std::chars_format::scientific, 6);
    return {std::begin(buffer), written.ptr};
#else
    // A C++ library without floating-point to_chars: the C library's
    // formatting, its locale's decimal point put back to a point.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.6e", static_cast<double>(r));
    std::string text(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    const std::string_view point = std::localeconv()->decimal_point;
    if (const std::size_t at = text.find(point); !point.empty() && point != "." && at != std::string::npos)
        text.replace(at, point.size(), ".");
    return text;
#endif
}

} // namespace

std::optional<RiskBand> riskBand(float r)
{
    if (std::isnan(r) || r < 0.0f)
        return std::nullopt;
    if (r == 0.0f)
        return RiskBand::NoSelection;
    if (r < 20.0f)
        return RiskBand::Low;
    if (r < 70.0f)
        return RiskBand::Possible;
    if (r < 200.0f)
        return RiskBand::High;
    if (r < 400.0f)
        return RiskBand::Immediate;
    return RiskBand::Stop;
}

std::string_view verdictText(RiskBand band)
{
    return kVerdicts.at(static_cast<std::size_t>(band));
}

std::string formatRisk(float r, std::string_view decimalSeparator)
{
    if (!std::isfinite(r))
        return std::isnan(r) ? "NaN" : (r < 0 ? "-Inf" : "Inf");

    // Laid out without the exponent.
    const std::string scientific = scientificDigits(r);
    const bool negative = scientific.front() == '-';
    const std::size_t start = negative ? 1 : 0;
    std::string digits;
    digits.push_back(scientific[start]);
    digits.append(scientific, start + 2, 6);
    const int exponent = std::stoi(scientific.substr(scientific.find('e') + 1));

    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits == "0")
        return "0";

    std::string text;
    if (negative)
        text.push_back('-');
    if (exponent >= 0) {
        const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
        text.append(digits, 0, wholeDigits);
        if (digits.size() <= wholeDigits) {
            text.append(wholeDigits - digits.size(), '0');
        } else {
            text.append(decimalSeparator);
            text.append(digits, wholeDigits);
        }
    } else {
        text.push_back('0');
        text.append(decimalSeparator);
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text.append(digits);
    }
    return text;
}

RiskResult RiskEvaluator::evaluate(RiskFactors& factors, const Selection& selection,
                                   std::string_view decimalSeparator)
{
    takeFactor(factors.A, riskScale(Scale::A), selection, 0);
    takeFactor(factors.H, riskScale(Scale::H), selection, RiskScale::kOptionCount);
    takeFactor(factors.W, riskScale(Scale::W), selection, std::size_t{2} * RiskScale::kOptionCount);
    factors.R = product(factors);

    RiskResult result;
    result.r = factors.R;
    result.text = formatRisk(factors.R, decimalSeparator);
    result.band = riskBand(factors.R);
    if (result.band)
        result.verdict = verdictText(*result.band);
    return result;
}

} // namespace risk
