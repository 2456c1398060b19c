// SPDX-License-Identifier: MIT
// The contract every back end of the forms run-time keeps, run against one
// back end through its probe (backend_probe.h): every window of the program
// built as its description says, at the resolution the probe runs at and
// after a move to a screen of another resolution, every text whole at every
// resolution; every control's colours; the registry of native windows and
// controls; texts and captions set and read back; option groups exclusive
// per frame with one Tab stop each; show, hide, unload and end; a window
// unloaded by its own handler living until the handler returns; no event
// reaching a handler after the end; the default and cancel buttons; access
// keys typed with Alt and without; each window's focus kept while another
// is active; a window's place and kind; Space and the mouse on buttons and
// options; the message box that blocks every window and gives the focus
// back.

#include "backend_probe.h"
#include "form1.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "system_colours.h"
#include "units.h"
#include "window_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
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
    // The program's three windows, loaded.
    std::vector<forms::Form*> programWindows()
    {
        forms::Runtime& run = runtime();
        return {&run.form<startup::frmSplash>(), &run.form<main_window::Form1>(),
                &run.form<about::frmAbout>()};
    }
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
                EXPECT_NEAR(font.pixelHeight, forms::fontPixels(control.font->points, m_probe->dpi()),
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
    // From 96 to 144 dpi, from any other to 96: the windows stay within the test's screen.
    const int other = m_probe->dpi() == 96 ? 144 : 96;
    for (forms::Form* form : programWindows()) {
        if (!m_probe->changeResolution(*form, other))
            GTEST_SKIP() << "the toolkit scales its windows itself";
        ASSERT_EQ(m_probe->dpi(), other);
        expectBuiltAsDescribed(*form);
    }
}

// Whether a measured text shows whole: on one line where its control has
// room for one line only, otherwise within the control's height.
bool oneLine(const TextMeasure& text)
{
    return text.width <= text.roomWidth;
}

TEST_F(ContractTest, EveryTextStaysWholeAtEveryResolution)
{
    const std::vector<forms::Form*> forms = programWindows();
    // What fits at 96 dpi, the resolution the windows were designed at.
    std::map<std::string, TextMeasure> atDesign;
    for (forms::Form* form : forms) {
        if (!m_probe->changeResolution(*form, 96))
            GTEST_SKIP() << "the toolkit scales its windows as a whole (the widget tests check its scalings)";
        for (const forms::ControlDescription& control : form->description().controls)
            if (control.kind != ControlKind::Image && control.kind != ControlKind::Line &&
                control.kind != ControlKind::PictureBox && control.kind != ControlKind::TextBox)
                atDesign[std::string(form->description().name) + "." + std::string(control.name)] =
                    m_probe->measureText(*form, control.name);
    }
    for (const int dpi : {120, 144, 192}) {
        for (forms::Form* form : forms) {
            ASSERT_TRUE(m_probe->changeResolution(*form, dpi));
            for (const forms::ControlDescription& control : form->description().controls) {
                const std::string what =
                    std::string(form->description().name) + "." + std::string(control.name);
                const auto design = atDesign.find(what);
                if (design == atDesign.end() || design->second.width == 0)
                    continue;
                const TextMeasure now = m_probe->measureText(*form, control.name);
                const std::string where = what + " at " + std::to_string(dpi) + " dpi: text " +
                                          std::to_string(now.width) + " px in " +
                                          std::to_string(now.roomWidth) + " px";
                std::printf("measured %s, its lines %d of %d px high\n", where.c_str(),
                            now.lines * now.lineHeight, now.roomHeight);
                if (oneLine(design->second)) {
                    EXPECT_TRUE(oneLine(now)) << where << " wraps; it does not at 96 dpi";
                }
                EXPECT_LE(now.lines, design->second.lines) << where;
                if (design->second.lines * design->second.lineHeight <= design->second.roomHeight) {
                    EXPECT_LE(now.lines * now.lineHeight, now.roomHeight)
                        << where << " is cut off at the bottom";
                }
            }
        }
    }
}

// A label whose size follows its text takes the text's width on one line,
// keeping the edge of its alignment, when it is built and whenever its
// caption changes.
TEST_F(ContractTest, EverySelfSizingLabelTakesItsTextsWidthOnOneLine)
{
    auto& splash = runtime().form<startup::frmSplash>();
    runtime().show(splash);
    const auto expectFits = [&](const char* when) {
        for (const forms::ControlDescription& control : splash.description().controls) {
            if (control.kind != ControlKind::Label || !control.autoSize)
                continue;
            const TextMeasure text = m_probe->measureText(splash, control.name);
            if (text.width == 0)
                continue; // shows nothing
            const forms::PixelRect shown = m_probe->controlRect(splash, control.name);
            const std::string what = std::string(control.name) + " " + when;
            EXPECT_EQ(text.lines, 1) << what;
            EXPECT_NEAR(shown.width, text.width, 2 * kTolerance) << what;
            if (control.alignment == forms::Alignment::Right) {
                EXPECT_NEAR(shown.left + shown.width, px(control.rect.left + control.rect.width),
                            2 * kTolerance)
                    << what << ": the right edge stays";
            }
        }
    };
    expectFits("as loaded");
    runtime().setCaption(splash, "lblVersion", "Version 1.3.0 mit einer viel längeren Bezeichnung");
    runtime().setCaption(splash, "lblPlatform", "für");
    expectFits("with other captions");
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
    // Every kind of control that has a caption, in every kind of window. In
    // a button's caption "&&" shows one "&" and a single "&" marks the access
    // key; labels and frames show their text as it is.
    const struct
    {
        forms::Form* form;
        const char* control;
    } captioned[] = {{&form1, "Label4"},   {&form1, "Frame2"}, {&form1, "Command1"}, {&form1, "Option7"},
                     {&about, "lblTitle"}, {&about, "cmdOK"},  {&splash, "Frame1"},  {&splash, "lblWarning"}};
    for (const auto& [form, control] : captioned) {
        runtime().setCaption(*form, control, "Neu && &anders");
        const ControlKind kind = form->description().find(control)->kind;
        const bool button = kind == ControlKind::CommandButton || kind == ControlKind::OptionButton;
        EXPECT_EQ(m_probe->text(*form, control), button ? "Neu & anders" : "Neu && &anders") << control;
    }
    for (forms::Form* form : std::initializer_list<forms::Form*>{&form1, &about, &splash}) {
        runtime().setWindowCaption(*form, "Neuer Titel");
        EXPECT_EQ(m_probe->windowCaption(*form), "Neuer Titel") << form->description().name;
    }
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
    const std::function<bool()> aboutExists = m_probe->watchNativeWindow(about);
    runtime().unload(about);
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>());
    EXPECT_FALSE(aboutExists()) << "the native window goes with an unloaded window";
    EXPECT_TRUE(m_probe->exitCodes().empty()) << "the splash is still loaded";

    runtime().show(runtime().form<main_window::Form1>());
    runtime().end();
    EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{0});
    EXPECT_FALSE(m_probe->visible(runtime().form<main_window::Form1>())) << "every window goes at the end";
}

// The registry: while a window is loaded, its native window finds the
// window, and each of its controls has a native control of its own that
// finds the control again; once the window is unloaded, none of them is
// known any more, and the native window is gone.
TEST_F(ContractTest, TheRegistryKnowsEveryNativeControlWhileItsWindowIsLoaded)
{
    forms::Runtime& run = runtime();
    const std::vector<forms::Form*> forms = programWindows();
    std::set<forms::NativeHandle> natives;
    for (forms::Form* form : forms) {
        const forms::NativeHandle window = run.nativeWindow(*form);
        ASSERT_NE(window, nullptr) << form->description().name;
        EXPECT_TRUE(natives.insert(window).second) << form->description().name << ": shared";
        EXPECT_EQ(run.formOf(window), form) << form->description().name;
        for (const forms::ControlDescription& control : form->description().controls) {
            const std::string what = std::string(control.name) + "(" + std::to_string(control.index) + ")";
            const forms::NativeHandle native = run.nativeControl(*form, control);
            ASSERT_NE(native, nullptr) << what;
            EXPECT_TRUE(natives.insert(native).second) << what << ": shared";
            EXPECT_EQ(run.controlOf(*form, native), &control) << what;
            EXPECT_EQ(run.formOf(native), nullptr) << what << " is no window";
        }
    }
    auto& about = run.form<about::frmAbout>();
    const forms::NativeHandle window = run.nativeWindow(about);
    std::vector<forms::NativeHandle> controls;
    for (const forms::ControlDescription& control : about.description().controls)
        controls.push_back(run.nativeControl(about, control));
    const std::function<bool()> exists = m_probe->watchNativeWindow(about);
    run.unload(about);
    EXPECT_EQ(run.formOf(window), nullptr);
    EXPECT_FALSE(exists()) << "the native window goes with its window";
    auto& form1 = run.form<main_window::Form1>();
    for (const forms::NativeHandle control : controls)
        EXPECT_EQ(run.controlOf(form1, control), nullptr) << "another window's control";
    EXPECT_EQ(run.formOf(run.nativeWindow(form1)), &form1) << "the other windows stay";
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

// A window whose default and cancel buttons and whose frame each do
// something else, written down in order.
class ChoiceWindow final : public forms::Form
{
public:
    explicit ChoiceWindow(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdYes", [] { heard.emplace_back("Ja"); });
        onClick("cmdNo", [] { heard.emplace_back("Nein"); });
        onClick("cmdLater", [] { heard.emplace_back("Später"); });
    }
    void Form_Unload() override { heard.emplace_back("geschlossen"); }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmChoice",
            .caption = "Wahl",
            .clientWidth = 4500,
            .clientHeight = 1500,
            .controls = {{.name = "cmdYes",
                          .kind = forms::ControlKind::CommandButton,
                          .text = "Ja",
                          .rect = {120, 120, 1200, 375},
                          .tabIndex = 0,
                          .isDefault = true},
                         {.name = "cmdNo",
                          .kind = forms::ControlKind::CommandButton,
                          .text = "Nein",
                          .rect = {1440, 120, 1200, 375},
                          .tabIndex = 1,
                          .isCancel = true},
                         {.name = "cmdLater",
                          .kind = forms::ControlKind::CommandButton,
                          .text = "Später",
                          .rect = {2760, 120, 1200, 375},
                          .tabIndex = 2},
                         {.name = "txtNote",
                          .kind = forms::ControlKind::TextBox,
                          .rect = {120, 720, 3840, 375},
                          .tabIndex = 3}}};
        return description;
    }
    static inline std::vector<std::string> heard;
};

// Enter presses the focused command button, or the default button when the
// focus is elsewhere; Escape the cancel button wherever the focus is; the
// frame's close runs the unload step.
TEST_F(ContractTest, EnterEscapeAndTheFramesCloseAreToldApart)
{
    using Key = forms::KeyStroke::Key;
    runtime().show(runtime().form<main_window::Form1>()); // keeps the program running
    auto& choice = runtime().form<ChoiceWindow>();
    runtime().show(choice);
    const struct
    {
        Key key;
        const char* focus;
        const char* heard;
    } presses[] = {{Key::Return, "txtNote", "Ja"},      {Key::Enter, "txtNote", "Ja"},
                   {Key::Return, "cmdLater", "Später"}, {Key::Enter, "cmdNo", "Nein"},
                   {Key::Escape, "cmdYes", "Nein"},     {Key::Escape, "txtNote", "Nein"}};
    for (const auto& press : presses) {
        ChoiceWindow::heard.clear();
        m_probe->key(choice, press.key, press.focus);
        EXPECT_EQ(ChoiceWindow::heard, std::vector<std::string>{press.heard}) << press.focus;
    }
    ChoiceWindow::heard.clear();
    m_probe->closeFrame(choice);
    EXPECT_EQ(ChoiceWindow::heard, std::vector<std::string>{"geschlossen"});
    EXPECT_FALSE(runtime().isLoaded<ChoiceWindow>());
    EXPECT_TRUE(m_probe->exitCodes().empty());
}

// What a screen reader calls the windows and the controls that show no
// text of their own: a window without caption by the application title, a
// picture by its accessible name, a text box by the label before it; a
// button by its caption without the access key's mark.
TEST_F(ContractTest, ScreenReadersHearEachWindowAndControlByItsName)
{
    auto& splash = runtime().form<startup::frmSplash>();
    auto& form1 = runtime().form<main_window::Form1>();
    auto& about = runtime().form<about::frmAbout>();
    for (forms::Form* form : programWindows())
        runtime().show(*form);
    const forms::ControlDescription* box = form1.description().find("Text1");
    const forms::ControlDescription* label = forms::labelOf(form1.description(), *box);
    ASSERT_NE(label, nullptr);
    const struct
    {
        forms::Form* form;
        const char* control;
        std::string name;
    } named[] = {{&splash, "", "Gradolux"},
                 {&about, "", "Info zu Gradolux"},
                 {&about, "picIcon", "Programmsymbol"},
                 {&about, "cmdSysInfo", "Systeminfo..."},
                 {&form1, "Command1", "Berechnen"},
                 {&form1, "Text1", m_probe->text(form1, label->name)}};
    for (const auto& item : named)
        EXPECT_EQ(m_probe->accessibleName(*item.form, item.control), item.name)
            << item.form->description().name << "." << item.control;
}

// A calculation's result reaches screen readers once, with the verdict the
// window now shows, while the focus stays on the button.
TEST_F(ContractTest, EveryCalculationIsAnnouncedOnceToScreenReaders)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    for (const char* option : {"Option1", "Option7", "Option13"})
        m_probe->click(form1, option);
    m_probe->listenForAnnouncements();
    m_probe->key(form1, forms::KeyStroke::Key::Return, "Command1");
    const std::vector<std::string> heard = m_probe->heardAnnouncements();
    const std::string verdict = m_probe->text(form1, "Label2");
    ASSERT_FALSE(verdict.empty());
    ASSERT_EQ(heard.size(), 1U);
    EXPECT_NE(heard.front().find(verdict), std::string::npos) << heard.front();
    EXPECT_EQ(m_probe->focused(form1), "Command1");
}

// The decimal separator is the one the platform writes the user's numbers with.
TEST_F(ContractTest, TheDecimalSeparatorIsTheUsersOne)
{
    const std::string separator = runtime().decimalSeparator();
    ASSERT_FALSE(separator.empty());
    EXPECT_EQ(m_probe->userNumber().substr(0, 1 + separator.size() + 1), "1" + separator + "5");
}

// Every control shows the colours the run-time's rule gives it, with each
// system colour as the platform has it now; under a contrast theme, where
// the platform has one, every fixed colour gives way to the theme's, and
// comes back when the theme is turned off.
TEST_F(ContractTest, EveryControlShowsTheColoursOfTheRunTimesRule)
{
    forms::Runtime& run = runtime();
    const std::vector<forms::Form*> forms = programWindows();
    const auto value = [&](forms::StoredColour colour) {
        return (colour & 0x80000000u) ? m_probe->systemColourValue(colour & 0xFFu) : colour & 0xFFFFFFu;
    };
    const auto expectRule = [&](bool contrast) {
        for (forms::Form* form : forms)
            for (const forms::ControlDescription& control : form->description().controls) {
                if (control.kind == ControlKind::Image || control.kind == ControlKind::PictureBox)
                    continue;
                const forms::ControlColours rule = forms::controlColours(control, contrast);
                const ShownColours shown = m_probe->colours(*form, control.name, control.index);
                const std::string what = std::string(control.name) + "(" + std::to_string(control.index) +
                                         ")" + (contrast ? " under the contrast theme" : "");
                EXPECT_EQ(shown.surface, value(rule.surface)) << what;
                if (control.kind != ControlKind::Line) {
                    EXPECT_EQ(shown.text, value(rule.text)) << what;
                }
            }
    };
    auto& form1 = run.form<main_window::Form1>();
    auto& about = run.form<about::frmAbout>();
    constexpr std::uint32_t red = 0x0000FF, white = 0xFFFFFF, grey = 0x808080;
    const std::uint32_t face = m_probe->systemColourValue(forms::sys::ButtonFace);
    const bool themes = m_probe->setHighContrast(false);
    expectRule(false);
    EXPECT_EQ(m_probe->colours(form1, "Label2").text, red) << "the verdict";
    EXPECT_EQ(m_probe->colours(form1, "Text1").text, red) << "R";
    EXPECT_EQ(m_probe->colours(form1, "Text1").surface, m_probe->systemColourValue(forms::sys::Window));
    EXPECT_EQ(m_probe->colours(form1, "Label1").surface, face);
    EXPECT_EQ(m_probe->colours(form1, "Command1").surface, face) << "a push button shows the face";
    EXPECT_EQ(m_probe->colours(about, "Line1", 1).surface, grey);
    EXPECT_EQ(m_probe->colours(about, "Line1", 0).surface, white);
    if (!themes)
        return;
    ASSERT_TRUE(m_probe->setHighContrast(true));
    expectRule(true);
    EXPECT_EQ(m_probe->colours(form1, "Label2").text, m_probe->systemColourValue(forms::sys::ButtonText))
        << "the verdict's red gives way to the theme's text colour";
    EXPECT_EQ(m_probe->colours(form1, "Text1").text, m_probe->systemColourValue(forms::sys::WindowText))
        << "R's red gives way to the theme's colour of text in a box";
    m_probe->setHighContrast(false);
    EXPECT_EQ(m_probe->colours(form1, "Label2").text, red) << "and comes back when the theme is turned off";
}

TEST_F(ContractTest, AClickOnTheFramesSurfaceIsTheFramesAClickOnALabelIsNot)
{
    auto& splash = runtime().form<startup::frmSplash>();
    runtime().show(splash);
    // On „Bitte eine Taste Drücken …“, on the picture, on the version.
    for (const auto& [left, top] : {std::pair{3600, 3780}, {1200, 2100}, {5000, 2400}}) {
        m_probe->clickAt(splash, left, top);
        EXPECT_FALSE(runtime().isLoaded<main_window::Form1>()) << "a click at " << left << ", " << top;
        EXPECT_TRUE(m_probe->visible(splash));
    }
    // Input faster than the program: the platform gave the press on the
    // surface and the release on a label to different windows, then a press
    // on the label and a release on the surface. No click is made of them.
    m_probe->mouseAt(splash, 600, 3300, true);
    m_probe->mouseAt(splash, 3600, 3780, false);
    m_probe->mouseAt(splash, 3600, 3780, true);
    m_probe->mouseAt(splash, 600, 3300, false);
    EXPECT_FALSE(runtime().isLoaded<main_window::Form1>()) << "a press and a release on the surface apart";
    m_probe->clickAt(splash, 600, 3300);
    ASSERT_TRUE(runtime().isLoaded<main_window::Form1>()) << "a click on the frame's empty surface";
    EXPECT_TRUE(m_probe->visible(runtime().form<main_window::Form1>()));
    EXPECT_FALSE(m_probe->visible(splash));
}

TEST_F(ContractTest, ClosingThroughTheFrameUnloadsAndTheMainWindowEndsTheProgram)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    auto& about = runtime().form<about::frmAbout>();
    runtime().show(about);
    m_probe->closeFrame(about);
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>());
    EXPECT_TRUE(m_probe->exitCodes().empty());
    m_probe->closeFrame(form1);
    EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{0});
}

TEST_F(ContractTest, ACentredWindowIsCentredWithItsFrame)
{
    for (forms::Form* form : std::initializer_list<forms::Form*>{&runtime().form<startup::frmSplash>(),
                                                                 &runtime().form<main_window::Form1>()}) {
        runtime().show(*form);
        const forms::PixelRect outer = m_probe->outerRect(*form);
        const forms::PixelRect screen = m_probe->screenRect();
        // A window larger than the screen keeps its top-left corner on it.
        EXPECT_NEAR(outer.left, screen.left + std::max(0, (screen.width - outer.width) / 2), 2)
            << form->description().name;
        EXPECT_NEAR(outer.top, screen.top + std::max(0, (screen.height - outer.height) / 2), 2)
            << form->description().name;
    }
}

// A window at a fixed place has its client area's corner there, in the
// pixels of the resolution it is shown at.
TEST_F(ContractTest, AWindowAtAFixedPlaceHasItsClientAreaThere)
{
    runtime().show(runtime().form<main_window::Form1>());
    auto& about = runtime().form<about::frmAbout>();
    ASSERT_EQ(about.description().startPosition, forms::StartPosition::Manual);
    runtime().show(about);
    const forms::PixelPoint origin = m_probe->clientOrigin(about);
    EXPECT_NEAR(origin.x, px(about.description().left), 2 * kTolerance);
    EXPECT_NEAR(origin.y, px(about.description().top), 2 * kTolerance);
}

// The calculator is a window of its own, the About dialog belongs to the
// program's other windows, the splash is a bare box.
TEST_F(ContractTest, EachWindowShowsItsKind)
{
    const struct
    {
        forms::Form* form;
        bool titleBar;
        bool taskbarEntry;
    } kinds[] = {{&runtime().form<main_window::Form1>(), true, true},
                 {&runtime().form<about::frmAbout>(), true, false},
                 {&runtime().form<startup::frmSplash>(), false, false}};
    for (const auto& kind : kinds) {
        runtime().show(*kind.form);
        EXPECT_EQ(m_probe->hasTitleBar(*kind.form), kind.titleBar) << kind.form->description().name;
        EXPECT_EQ(m_probe->hasTaskbarEntry(*kind.form), kind.taskbarEntry) << kind.form->description().name;
    }
}

// A window with key preview that writes down every character it is given;
// like the splash, it has no control that takes the focus.
class KeyRecorder final : public forms::Form
{
public:
    explicit KeyRecorder(forms::Runtime& runtime) : Form(runtime)
    {
        onKeyPress([this](char32_t character) { typed.push_back(character); });
    }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmKeys",
            .clientWidth = 3000,
            .clientHeight = 1500,
            .keyPreview = true,
            .controls = {{.name = "lblHint", .text = "Tippen Sie!", .rect = {120, 120, 1200, 375}}}};
        return description;
    }
    std::u32string typed;
};

TEST_F(ContractTest, KeyPreviewTakesEachTypedCharacterOnceAndWhole)
{
    auto& recorder = runtime().form<KeyRecorder>();
    runtime().show(recorder);
    m_probe->typeText(recorder, U"a€😀 ");
    m_probe->key(recorder, forms::KeyStroke::Key::Delete, "");
    m_probe->key(recorder, forms::KeyStroke::Key::Return, "");
    EXPECT_EQ(recorder.typed, std::u32string(U"a€😀 \r"))
        << "the character beyond the basic plane comes as one";
}

// The same with a text box, which has the focus: the window takes what is
// typed first, and the text box gets none of it.
class NoteRecorder final : public forms::Form
{
public:
    explicit NoteRecorder(forms::Runtime& runtime) : Form(runtime)
    {
        onKeyPress([this](char32_t character) { typed.push_back(character); });
    }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{.name = "frmNote",
                                                          .clientWidth = 3000,
                                                          .clientHeight = 1500,
                                                          .keyPreview = true,
                                                          .controls = {{.name = "txtNote",
                                                                        .kind = forms::ControlKind::TextBox,
                                                                        .rect = {120, 120, 2400, 375},
                                                                        .tabIndex = 0}}};
        return description;
    }
    std::u32string typed;
};

TEST_F(ContractTest, KeyPreviewTakesTheCharactersTypedIntoATextBox)
{
    auto& recorder = runtime().form<NoteRecorder>();
    runtime().show(recorder);
    ASSERT_TRUE(m_probe->active(recorder));
    ASSERT_EQ(m_probe->focused(recorder), "txtNote");
    m_probe->typeText(recorder, U"ab");
    EXPECT_EQ(recorder.typed, U"ab");
    EXPECT_EQ(m_probe->text(recorder, "txtNote"), "") << "the window took the characters";
}

// A small window with one button, cmdGo, for the windows of the tests.
forms::WindowDescription oneButtonWindow(std::string_view name)
{
    return {.name = name,
            .clientWidth = 3000,
            .clientHeight = 1500,
            .controls = {{.name = "cmdGo",
                          .kind = forms::ControlKind::CommandButton,
                          .text = "Los",
                          .rect = {120, 120, 1200, 375},
                          .tabIndex = 0}}};
}

// A window whose button unloads the window itself and then another, as a
// handler may; it notes whether it was freed before its handler returned.
class SelfUnloader final : public forms::Form
{
public:
    explicit SelfUnloader(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [this] {
            this->runtime().unload(*this);
            this->runtime().unload(this->runtime().form<about::frmAbout>());
            freedInHandler = freed;
            handlerEnded = m_name == "frmSelf"; // reads the unloaded window
        });
    }
    ~SelfUnloader() override { freed = true; }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description = oneButtonWindow("frmSelf");
        return description;
    }
    static inline bool freed = false;
    static inline bool freedInHandler = false;
    static inline bool handlerEnded = false;

private:
    std::string m_name = "frmSelf";
};

TEST_F(ContractTest, AWindowUnloadedByItsOwnHandlerLivesUntilTheHandlerReturns)
{
    SelfUnloader::freed = SelfUnloader::freedInHandler = SelfUnloader::handlerEnded = false;
    runtime().show(runtime().form<main_window::Form1>()); // keeps the program running
    runtime().show(runtime().form<about::frmAbout>());
    auto& self = runtime().form<SelfUnloader>();
    runtime().show(self);
    m_probe->click(self, "cmdGo");
    EXPECT_TRUE(SelfUnloader::handlerEnded);
    EXPECT_FALSE(SelfUnloader::freedInHandler);
    EXPECT_TRUE(SelfUnloader::freed) << "freed once its handler returned";
    EXPECT_FALSE(runtime().isLoaded<SelfUnloader>());
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>());
    EXPECT_TRUE(m_probe->exitCodes().empty());
    EXPECT_TRUE(m_probe->visible(runtime().form<main_window::Form1>()));
}

// A window that counts what reaches its handlers.
class HandlerCounter final : public forms::Form
{
public:
    explicit HandlerCounter(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [] { ++clicks; });
    }
    void Form_Unload() override { ++unloads; }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description = oneButtonWindow("frmCount");
        return description;
    }
    static inline int clicks = 0;
    static inline int unloads = 0;
};

TEST_F(ContractTest, NoEventReachesAHandlerAfterTheEnd)
{
    HandlerCounter::clicks = HandlerCounter::unloads = 0;
    auto& counter = runtime().form<HandlerCounter>();
    runtime().show(counter);
    m_probe->click(counter, "cmdGo");
    ASSERT_EQ(HandlerCounter::clicks, 1) << "a click before the end reaches the handler";
    runtime().end();
    m_probe->click(counter, "cmdGo");
    m_probe->closeFrame(counter);
    EXPECT_EQ(HandlerCounter::clicks, 1);
    EXPECT_EQ(HandlerCounter::unloads, 0);
    EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{0}) << "the program ended once";
}

TEST_F(ContractTest, EachOptionGroupIsOneTabStopByTabAndByShiftTab)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    // The stops from Command1 round to it again, forwards or backwards.
    const auto walk = [&](bool backwards) {
        std::vector<std::string> stops;
        m_probe->key(form1, forms::KeyStroke::Key::Other, "Command1");
        for (int i = 0; i < 7; ++i) {
            if (backwards)
                m_probe->backTab(form1);
            else
                m_probe->tab(form1);
            stops.push_back(m_probe->focused(form1));
        }
        return stops;
    };
    const auto expectWalks = [&](std::vector<std::string> forwards) {
        EXPECT_EQ(walk(false), forwards);
        std::reverse(forwards.begin(), forwards.end() - 1);
        EXPECT_EQ(walk(true), forwards) << "Shift+Tab stops where Tab does";
    };
    // Before any choice, the first option of each group by tab index, also
    // when the group is entered from behind.
    expectWalks({"Command2", "Text1", "Option3", "Option7", "Option13", "Command3", "Command1"});
    // Once chosen, the chosen one.
    for (const char* option : {"Option5", "Option12", "Option14"})
        m_probe->click(form1, option);
    expectWalks({"Command2", "Text1", "Option5", "Option12", "Option14", "Command3", "Command1"});
}

TEST_F(ContractTest, ArrowsMoveWithinAnOptionGroupByTabIndexAndChoose)
{
    using Key = forms::KeyStroke::Key;
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    // Scale A's options by tab index: 3, 2, 1, 4, 5, 6; the arrows wrap within it.
    const struct
    {
        Key key;
        const char* from;
        const char* to;
    } steps[] = {{Key::Down, "Option3", "Option2"},  {Key::Down, "Option1", "Option4"},
                 {Key::Right, "Option6", "Option3"}, {Key::Up, "Option3", "Option6"},
                 {Key::Left, "Option2", "Option3"},  {Key::Down, "Option12", "Option7"}};
    for (const auto& step : steps) {
        m_probe->key(form1, step.key, step.from);
        EXPECT_EQ(m_probe->focused(form1), step.to) << "from " << step.from;
        EXPECT_TRUE(runtime().selected(form1, step.to)) << "the arrow chooses " << step.to;
    }
    EXPECT_TRUE(runtime().selected(form1, "Option3")) << "the other groups keep their choice";
}

TEST_F(ContractTest, ALetterSharedByTwoButtonsOnlyMovesTheFocusWithAltOrWithout)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    const struct
    {
        bool alt;
        const char* from;
        const char* to;
    } presses[] = {{false, "Command2", "Command1"},
                   {false, "Command1", "Command2"},
                   {false, "Option7", "Command1"},
                   {true, "Command2", "Command1"},
                   {true, "Command1", "Command2"}};
    for (const auto& press : presses) {
        m_probe->typeLetter(form1, U'e', press.alt, press.from);
        EXPECT_EQ(m_probe->focused(form1), press.to) << (press.alt ? "Alt+e" : "e") << " on " << press.from;
        EXPECT_EQ(m_probe->text(form1, "Text1"), "") << "nothing was computed";
        EXPECT_TRUE(m_probe->exitCodes().empty()) << "the program did not end";
    }
    // Typed into the text box, the letter is text.
    m_probe->typeLetter(form1, U'e', false, "Text1");
    EXPECT_EQ(m_probe->focused(form1), "Text1");
    EXPECT_EQ(m_probe->text(form1, "Text1"), "e");
}

TEST_F(ContractTest, AnAccessKeyOfOneButtonPressesItWithAltOrWithout)
{
    runtime().show(runtime().form<main_window::Form1>());
    for (const bool alt : {false, true}) {
        auto& about = runtime().form<about::frmAbout>();
        runtime().show(about);
        bool boxShown = false;
        m_probe->duringNextMessageBox([&] { boxShown = true; });
        m_probe->typeLetter(about, U's', alt, "cmdOK");
        EXPECT_TRUE(boxShown) << (alt ? "Alt+s" : "s") << " did not press „Systeminfo...“";
        runtime().unload(about);
    }
}

// Each window keeps the control that last had its focus: the user switches
// to another window and back, or the window is hidden and shown again.
TEST_F(ContractTest, AWindowActiveAgainHasTheFocusWhereTheUserLeftIt)
{
    using Key = forms::KeyStroke::Key;
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    ASSERT_TRUE(m_probe->active(form1));
    EXPECT_EQ(m_probe->focused(form1), "Command1") << "the first Tab stop at the first show";
    m_probe->key(form1, Key::Other, "Command3");

    auto& about = runtime().form<about::frmAbout>();
    runtime().show(about);
    ASSERT_TRUE(m_probe->active(about));
    EXPECT_EQ(m_probe->focused(about), "cmdOK");
    m_probe->key(about, Key::Other, "cmdSysInfo");

    m_probe->key(form1, Key::Other, "");
    EXPECT_EQ(m_probe->focused(form1), "Command3") << "back in the calculator";
    m_probe->key(about, Key::Other, "");
    EXPECT_EQ(m_probe->focused(about), "cmdSysInfo") << "back in the dialog";

    runtime().hide(about);
    runtime().show(about);
    ASSERT_TRUE(m_probe->active(about));
    EXPECT_EQ(m_probe->focused(about), "cmdSysInfo") << "hidden and shown again";
}

// The space bar and the mouse press a command button and choose an option,
// as the platform's controls do; the click reaches the button's handler.
TEST_F(ContractTest, SpaceAndAClickPressAButtonAndChooseAnOption)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    m_probe->space(form1, "Option2");
    EXPECT_TRUE(runtime().selected(form1, "Option2")) << "Space chooses the focused option";
    m_probe->click(form1, "Option9");
    EXPECT_TRUE(runtime().selected(form1, "Option9")) << "a click chooses the option";
    EXPECT_EQ(m_probe->focused(form1), "Option9") << "and gives it the focus";

    auto& about = runtime().form<about::frmAbout>();
    runtime().show(about);
    m_probe->space(about, "cmdOK");
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>()) << "Space pressed „OK“";

    auto& again = runtime().form<about::frmAbout>();
    runtime().show(again);
    bool boxShown = false;
    m_probe->duringNextMessageBox([&] { boxShown = true; });
    m_probe->click(again, "cmdSysInfo");
    EXPECT_TRUE(boxShown) << "a click on „Systeminfo...“ reached its handler";
    m_probe->click(again, "cmdOK");
    EXPECT_FALSE(runtime().isLoaded<about::frmAbout>()) << "a click on „OK“ reached its handler";
    EXPECT_TRUE(m_probe->exitCodes().empty());
}

// Two option buttons with access keys of their own.
class AnswerWindow final : public forms::Form
{
public:
    explicit AnswerWindow(forms::Runtime& runtime) : Form(runtime) {}
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{
            .name = "frmAnswer",
            .clientWidth = 3000,
            .clientHeight = 1500,
            .controls = {{.name = "optYes",
                          .kind = forms::ControlKind::OptionButton,
                          .text = "&Ja",
                          .rect = {120, 120, 1200, 375},
                          .tabIndex = 0},
                         {.name = "optNo",
                          .kind = forms::ControlKind::OptionButton,
                          .text = "&Nein",
                          .rect = {120, 600, 1200, 375},
                          .tabIndex = 1}}};
        return description;
    }
};

TEST_F(ContractTest, AnOptionsAccessKeyChoosesItWithAltOrWithout)
{
    auto& answer = runtime().form<AnswerWindow>();
    runtime().show(answer);
    m_probe->typeLetter(answer, U'n', true, "optYes");
    EXPECT_TRUE(runtime().selected(answer, "optNo")) << "Alt+n chose „Nein“ at once";
    EXPECT_EQ(m_probe->focused(answer), "optNo");
    m_probe->typeLetter(answer, U'j', false, "");
    EXPECT_TRUE(runtime().selected(answer, "optYes")) << "j chose „Ja“ at once";
    EXPECT_FALSE(runtime().selected(answer, "optNo"));
    EXPECT_EQ(m_probe->focused(answer), "optYes");
}

// A window whose button's handler fails, as a handler may.
class FailingWindow final : public forms::Form
{
public:
    explicit FailingWindow(forms::Runtime& runtime) : Form(runtime)
    {
        onClick("cmdGo", [] { throw forms::Error("Die Platte brennt."); });
        onKeyPress([](char32_t) { throw forms::Error("Die Taste klemmt."); });
    }
    // An error from elsewhere than the program's own code.
    void Form_Unload() override { throw std::runtime_error("out of order"); }
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description = [] {
            forms::WindowDescription window = oneButtonWindow("frmFailing");
            window.keyPreview = true;
            return window;
        }();
        return description;
    }
};

// An error a handler lets through, reached through each of the platform's
// event paths that run the program's code (a click, Space on a button, a
// typed character, the frame's close), is reported and ends the program
// with code 1; nothing unwinds through the platform's code.
TEST_F(ContractTest, AnErrorReachedThroughThePlatformIsReportedAndEndsTheProgram)
{
    const struct
    {
        const char* path;
        std::function<void(BackendProbe&, forms::Form&)> give;
    } paths[] = {
        {"a click", [](BackendProbe& probe, forms::Form& form) { probe.click(form, "cmdGo"); }},
        {"Space", [](BackendProbe& probe, forms::Form& form) { probe.space(form, "cmdGo"); }},
        {"a typed character", [](BackendProbe& probe, forms::Form& form) { probe.typeText(form, U"x"); }},
        {"the frame's close", [](BackendProbe& probe, forms::Form& form) { probe.closeFrame(form); }},
    };
    for (const auto& path : paths) {
        SetUp(); // a run of its own each time
        auto& failing = runtime().form<FailingWindow>();
        runtime().show(failing);
        bool reported = false;
        m_probe->duringNextMessageBox([&] { reported = true; });
        path.give(*m_probe, failing);
        EXPECT_TRUE(reported) << path.path;
        EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{1}) << path.path;
        EXPECT_FALSE(m_probe->visible(failing)) << path.path;
    }
}

// A window whose image names a picture the program lacks.
class MissingPictureWindow final : public forms::Form
{
public:
    explicit MissingPictureWindow(forms::Runtime& runtime) : Form(runtime) {}
    const forms::WindowDescription& description() const override
    {
        static const forms::WindowDescription description{.name = "frmMissing",
                                                          .clientWidth = 3000,
                                                          .clientHeight = 1500,
                                                          .controls = {{.name = "imgMissing",
                                                                        .kind = forms::ControlKind::Image,
                                                                        .rect = {120, 120, 480, 480},
                                                                        .picture = "kein-solches-bild"}}};
        return description;
    }
};

TEST_F(ContractTest, APictureTheProgramLacksIsAnErrorThatEndsTheProgram)
{
    runtime().show(runtime().form<main_window::Form1>());
    bool reported = false;
    m_probe->duringNextMessageBox([&] { reported = true; });
    runtime().deliver([&] { runtime().form<MissingPictureWindow>(); });
    EXPECT_TRUE(reported) << "the user read why";
    EXPECT_FALSE(runtime().isLoaded<MissingPictureWindow>());
    EXPECT_EQ(m_probe->exitCodes(), std::vector<int>{1});
}

TEST_F(ContractTest, TheMessageBoxBlocksEveryWindowAndGivesTheFocusBack)
{
    auto& form1 = runtime().form<main_window::Form1>();
    runtime().show(form1);
    auto& about = runtime().form<about::frmAbout>();
    runtime().show(about);
    m_probe->key(about, forms::KeyStroke::Key::Other, "cmdSysInfo");
    bool blocked = false;
    m_probe->duringNextMessageBox(
        [&] { blocked = !m_probe->takesInput(form1) && !m_probe->takesInput(about); });
    m_probe->key(about, forms::KeyStroke::Key::Return, "");
    EXPECT_TRUE(blocked) << "a window of the program took input while the box was open";
    EXPECT_TRUE(m_probe->takesInput(form1));
    EXPECT_TRUE(m_probe->takesInput(about));
    EXPECT_TRUE(m_probe->active(about));
    EXPECT_EQ(m_probe->focused(about), "cmdSysInfo");
}

} // namespace
