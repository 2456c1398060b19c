// SPDX-License-Identifier: MIT
#pragma once

// The three factor scales of the risk method: A (Auswirkung, severity),
// H (Häufigkeit, exposure) and W (Wahrscheinlichkeit, probability). Each scale
// is six graded options, mildest first; every option carries the name of the
// option button that shows it, the caption the user reads and the
// single-precision factor value used in the product. The caption's trailing
// number is for the reader only; the value is a separate constant.
//
// Pure data, free of any toolkit, shared by the evaluator and the main window.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace risk {

enum class Scale
{
    A,
    H,
    W
};

struct RiskOption
{
    std::string_view controlName;
    std::string_view caption; // UTF-8
    float value;
};

class RiskScale
{
public:
    static constexpr int kOptionCount = 6;

    constexpr RiskScale(Scale scale, std::string_view caption, std::array<RiskOption, kOptionCount> options)
        : m_scale(scale), m_caption(caption), m_options(options)
    {}

    constexpr Scale scale() const { return m_scale; }
    // The caption of the frame that groups the scale's options.
    constexpr std::string_view caption() const { return m_caption; }
    // The six options in their listed order, mildest first.
    constexpr std::span<const RiskOption, kOptionCount> options() const { return m_options; }
    // The option at position 1–6; throws std::out_of_range for any other position.
    const RiskOption& option(int position) const;

private:
    Scale m_scale;
    std::string_view m_caption;
    std::array<RiskOption, kOptionCount> m_options;
};

// All three scales in evaluation order: A, H, W.
std::span<const RiskScale, 3> riskScales();
const RiskScale& riskScale(Scale scale);
// The factor value of the option at position 1–6 of a scale.
float optionValue(Scale scale, int position);

// Number of option buttons over all scales (Option1 … Option18).
inline constexpr std::size_t kSelectionCount = std::size_t{3} * RiskScale::kOptionCount;

} // namespace risk
