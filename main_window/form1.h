// SPDX-License-Identifier: MIT
#pragma once

// The calculator window. Three framed groups of option buttons show the
// scales A, H and W; "Berechnen" hands the 18 selection states and the
// window's RiskFactors to the evaluator and shows R and its verdict;
// "Programm Beenden" ends the program; "Programminfo" opens the About dialog.
// The window computes nothing itself.

#include "form.h"
#include "risk_evaluator.h"

namespace main_window {

class Form1 final : public forms::Form
{
public:
    explicit Form1(forms::Runtime& runtime);

    const forms::WindowDescription& description() const override;

    // Closing the window through its frame ends the program like Command2.
    void Form_Unload() override;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    const risk::RiskFactors& factors() const { return m_factors; }

private:
    risk::RiskFactors m_factors;
};

} // namespace main_window
