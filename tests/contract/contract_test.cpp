// SPDX-License-Identifier: MIT
// The contract every back end of the forms run-time keeps, run against one
// back end through its probe (backend_probe.h): every window of the program
// built as its description says, at the resolution the probe runs at and
// after a move to a screen of another resolution; texts
// and captions set and read back; option groups exclusive per frame; show,
// hide, unload and end; the default and cancel buttons.

#include "backend_probe.h"
#include "form1.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "units.h"
#include "window_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using forms::ControlKind;

// Rounding twips to pixels and laying out in logical pixels may differ by one device pixel.
constexpr int kTolerance = 1;

class ContractTest : public testing::Test
{
protected:
    void SetUp() override { m_probe = makeBackendProbe(); }
    void TearDown() override { m_probe.reset(); }

    forms::Runtime& runtime() { return m_probe->runtime(); }
    int px(int twips) const { return forms::twipsToPixels(twips, m_probe->dpi()); }

    // Every control of a loaded window lies where its description puts it.
    void expectBuiltAsDescribed(const forms::Form& form)
    {
        const forms::WindowDescription& window = form.description();
        const forms::PixelRect client = m_probe->clientRect(form);
        EXPECT_NEAR(client.width, px(window.clientWidth), kTolerance) << window.name;
        EXPECT_NEAR(client.height, px(window.clientHeight), kTolerance) << window.name;
        for (const forms::ControlDescription& control : window.controls) {
            const std::string what = std::string(window.name) + "." + std::string(control.name) +
                                     (control.index >= 0 ? "(" + std::to_string(control.index) + ")" : "");
            const forms::PixelRect shown = m_probe->controlRect(form, control.name, control.index);
            const forms::TwipsRect& design = control.rect;
            EXPECT_NEAR(shown.top, px(design.top), kTolerance) << what;
            if (!control.autoSize) {
                EXPECT_NEAR(shown.left, px(design.left), kTolerance) << what;
                EXPECT_NEAR(shown.width, px(design.width), kTolerance) << what;
                EXPECT_NEAR(shown.height, px(design.height), kTolerance) << what;
            } else if (control.alignment == forms::Alignment::Right) {
                // A self-sizing right-aligned label keeps its right edge.
                EXPECT_NEAR(shown.left + shown.width, px(design.left + design.width), 2 * kTolerance) << what;
            } else {
                EXPECT_NEAR(shown.left, px(design.left), kTolerance) << what;
            }
            if (control.font && control.kind != ControlKind::Image && control.kind != ControlKind::Line) {
                const ShownFont font = m_probe->font(form, control.name);
                EXPECT_NEAR(font.pixelHeight, forms::pointsToPixels(control.font->points, m_probe->dpi()),
                            kTolerance)
                    << what;
                EXPECT_EQ(font.weight >= 700, control.font->weight >= 700) << what;
            }
        }
    }

    std::unique_ptr<BackendProbe> m_probe;
};

TEST_F(ContractTest, EveryWindowIsBuiltAsDescribed)
{
    forms::Runtime& run = runtime();
    expectBuiltAsDescribed(run.form<startup::frmSplash>());
    expectBuiltAsDescribed(run.form<main_window::Form1>());
    expectBuiltAsDescribed(run.form<about::frmAbout>());
}

TEST_F(ContractTest, EveryWindowIsLaidOutAgainOnAScreenOfAnotherResolution)
{
    forms::Runtime& run = runtime();
    // From 96 to 144 dpi, from any other to 96: the windows stay within the test's screen.
    const int other = m_probe->dpi() == 96 ? 144 : 96;
    for (forms::Form* form :
         std::initializer_list<forms::Form*>{&run.form<startup::frmSplash>(), &run.form<main_window::Form1>(),
                                             &run.form<about::frmAbout>()}) {
        if (!m_probe->changeResolution(*form, other))
            GTEST_SKIP() << "the toolkit scales its windows itself";
        ASSERT_EQ(m_probe->dpi(), other);
        expectBuiltAsDescribed(*form);
    }
}

TEST_F(ContractTest, TextsAndCaptionsAreSetAndReadBack)
{
    auto& splash = runtime().form<startup::frmSplash>();
    EXPECT_EQ(m_probe->text(splash, "lblVersion"), "Version 1.3.0");
    EXPECT_EQ(m_probe->text(splash, "lblProductName"), "Gradolux");
    auto& about = runtime().form<about::frmAbout>();
    EXPECT_EQ(m_probe->windowCaption(about), "Info zu Gradolux");
    EXPECT_EQ(m_probe->text(about, "cmdSysInfo"), "Systeminfo...");

    auto& form1 = runtime().form<main_window::Form1>();
    for (const forms::ControlDescription& control : form1.description().controls) {
        if (control.kind == ControlKind::OptionButton || control.kind == ControlKind::Frame) {
            EXPECT_EQ(m_probe->text(form1, control.name), std::string(control.text)) << control.name;
        }
    }
    const std::string texts[] = {"", "0", "8,400001", "Gefahr in Verzug - S T O P ! ! ", "Ä € ß 😀"};
    for (const std::string& text : texts) {
        runtime().setText(form1, "Text1", text);
        EXPECT_EQ(m_probe->text(form1, "Text1"), text);
        runtime().setCaption(form1, "Label2", text);
        EXPECT_EQ(m_probe->text(form1, "Label2"), text);
    }
    runtime().setWindowCaption(form1, "Neuer Titel");
    EXPECT_EQ(m_probe->windowCaption(form1), "Neuer Titel");
}

TEST_F(ContractTest, OptionGroupsAreExclusivePerFrame)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    for (int i = 1; i <= 18; ++i)
        EXPECT_FALSE(runtime().selected(form1, "Option" + std::to_string(i))) << "none is selected at first";
    for (const char* option : {"Option8", "Option17", "Option3", "Option5"})
        m_probe->click(form1, option);
    std::vector<std::string> selected;
    for (int i = 1; i <= 18; ++i)
        if (runtime().selected(form1, "Option" + std::to_string(i)))
            selected.push_back("Option" + std::to_string(i));
    EXPECT_EQ(selected, (std::vector<std::string>{"Option5", "Option8", "Option17"}));
}

TEST_F(ContractTest, ShowHideUnloadAndEnd)
{
    auto& splash = runtime().form<startup::frmSplash>();
    EXPECT_FALSE(m_probe->visible(splash)) << "loading does not show";
    runtime().show(splash);
    EXPECT_TRUE(m_probe->visible(splash));
    runtime().hide(splash);
    EXPECT_FALSE(m_probe->visible(splash));
    EXPECT_TRUE(runtime().isLoaded<startup::frmSplash>()) << "a hidden window stays loaded";

    auto& about = runtime().form<about::frmAbout>();
    runtime().show(about);
    runtime().unload(about);
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>());
    EXPECT_TRUE(m_probe->exitCodes().empty()) << "the splash is still loaded";

    runtime().show(runtime().form<main_window::Form1>());
    runtime().end();
    EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{0});
    EXPECT_FALSE(m_probe->visible(runtime().form<main_window::Form1>())) << "every window goes at the end";
}

TEST_F(ContractTest, DefaultAndCancelButtons)
{
    using Key = forms::KeyStroke::Key;
    const struct
    {
        Key key;
        const char* focus;
    } presses[] = {{Key::Return, "picIcon"},
                   {Key::Enter, "picIcon"},
                   {Key::Escape, "cmdSysInfo"},
                   {Key::Return, "cmdOK"}};
    // The main window keeps the program running while the dialog comes and goes.
    runtime().show(runtime().form<main_window::Form1>());
    for (const auto& press : presses) {
        auto& about = runtime().form<about::frmAbout>();
        runtime().show(about);
        m_probe->key(about, press.key, press.focus);
        EXPECT_FALSE(runtime().isLoaded<about::frmAbout>()) << press.focus;
    }
    EXPECT_TRUE(m_probe->exitCodes().empty());
}

} // namespace
