// SPDX-License-Identifier: MIT
#pragma once

// Turns the selection on the three scales into the risk number R = A × H × W,
// R's display text and the verdict of the band that contains R.
//
// The caller owns a RiskFactors record and hands it in on every evaluation: a
// scale without a selected option keeps the factor it had, so the record must
// live as long as the window that shows the scales.

#include "risk_scales.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace risk {

// The last computed risk number and the last value taken from each scale.
// All four start at 0; a factor is overwritten only when its scale has a selection.
struct RiskFactors
{
    float R = 0.0f;
    float A = 0.0f;
    float H = 0.0f;
    float W = 0.0f;
};

// The verdict bands of R. Each band is closed on its lower limit:
// 0 < R < 20, 20 ≤ R < 70, 70 ≤ R < 200, 200 ≤ R < 400, R ≥ 400.
enum class RiskBand
{
    NoSelection = 0, // R = 0: a scale was never chosen
    Low = 1,
    Possible = 2,
    High = 3,
    Immediate = 4,
    Stop = 5,
};

// The band of R; none for a negative or not-a-number R, which no selection can give.
std::optional<RiskBand> riskBand(float r);
// The verdict text of a band, UTF-8, exactly as the user reads it.
std::string_view verdictText(RiskBand band);

// R written with at most seven significant digits, without exponent or
// thousands separator, trailing zeros and a trailing separator dropped, and
// `decimalSeparator` between the whole and the fractional digits.
std::string formatRisk(float r, std::string_view decimalSeparator);

// Which option buttons are selected, Option1 … Option18 (scale A, H, W; mildest first).
using Selection = std::array<bool, kSelectionCount>;

struct RiskResult
{
    float r = 0.0f;
    std::string text;
    std::optional<RiskBand> band;
    std::string_view verdict; // empty when R lies in no band
};

class RiskEvaluator
{
public:
    // Takes the selected factor of each scale into `factors`, forms R in double
    // precision and rounds it once to single precision. Throws
    // std::range_error when the product raises an invalid-operation,
    // divide-by-zero or overflow floating-point exception; `factors` then
    // holds the new factors but the old R.
    static RiskResult evaluate(RiskFactors& factors, const Selection& selection,
                               std::string_view decimalSeparator);
};

} // namespace risk
