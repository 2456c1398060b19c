// SPDX-License-Identifier: MIT
#include "form1.h"

#include "frm_about.h"
#include "runtime.h"
#include "window_descriptions.h"

#include <string>

namespace main_window {

Form1::Form1(forms::Runtime& runtime) : Form(runtime)
{
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
}

const forms::WindowDescription& Form1::description() const
{
    return resources::form1Description();
}

void Form1::Form_Unload()
{
    runtime().end();
}

void Form1::Command1_Click()
{
    setCaption("Label2", "");

    risk::Selection selection{};
    for (std::size_t i = 0; i < selection.size(); ++i)
        selection[i] = selected("Option" + std::to_string(i + 1));
    const risk::RiskResult result =
        risk::RiskEvaluator::evaluate(m_factors, selection, runtime().decimalSeparator());

    setText("Text1", result.text);
    if (!result.verdict.empty())
        setCaption("Label2", result.verdict);
    // A screen reader's user hears the result where the eye finds it, without losing the focus.
    std::string status = "R = " + result.text + ".";
    if (!result.verdict.empty())
        (status += " ") += result.verdict;
    announce("Label2", status);
}

void Form1::Command2_Click()
{
    runtime().end();
}

void Form1::Command3_Click()
{
    // Modeless and without owner: the main window stays usable beside it.
    runtime().show(runtime().form<about::frmAbout>());
}

} // namespace main_window
