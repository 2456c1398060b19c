// SPDX-License-Identifier: MIT
// What the window descriptions mean beyond their numbers: focus and tab
// order, clicks, the label that names a text box, title bars; checked on
// the program's own three windows.

#include "system_colours.h"
#include "utf8.h"
#include "window_descriptions.h"
#include "window_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> names(const std::vector<const forms::ControlDescription*>& controls)
{
    std::vector<std::string> result;
    for (const auto* control : controls)
        result.emplace_back(control->name);
    return result;
}

TEST(TabOrderTest, FocusableControlsByTabIndex)
{
    EXPECT_EQ(
        names(forms::tabOrder(resources::form1Description())),
        (std::vector<std::string>{"Command1", "Command2", "Text1",    "Option3",  "Option2",  "Option1",
                                  "Option4",  "Option5",  "Option6",  "Option7",  "Option8",  "Option9",
                                  "Option10", "Option11", "Option12", "Option13", "Option14", "Option15",
                                  "Option16", "Option17", "Option18", "Command3"}));
    EXPECT_EQ(names(forms::tabOrder(resources::aboutDescription())),
              (std::vector<std::string>{"cmdOK", "picIcon", "cmdSysInfo"}));
    EXPECT_TRUE(forms::tabOrder(resources::splashDescription()).empty())
        << "the splash keeps the focus itself";
}

TEST(TabOrderTest, EqualIndexesKeepTheDescriptionsOrder)
{
    const forms::WindowDescription window{
        .controls = {{.name = "b", .kind = forms::ControlKind::CommandButton, .tabIndex = 1},
                     {.name = "a", .kind = forms::ControlKind::CommandButton, .tabIndex = 1},
                     {.name = "none", .kind = forms::ControlKind::CommandButton},
                     {.name = "label", .kind = forms::ControlKind::Label, .tabIndex = 0}}};
    EXPECT_EQ(names(forms::tabOrder(window)), (std::vector<std::string>{"b", "a"}));
}

TEST(KindRulesTest, FocusAndClicks)
{
    using K = forms::ControlKind;
    struct Row
    {
        K kind;
        bool focus;
        bool swallows;
    };
    const Row rows[] = {{K::Label, false, true},         {K::Frame, false, true},
                        {K::OptionButton, true, false},  {K::TextBox, true, false},
                        {K::CommandButton, true, false}, {K::Image, false, true},
                        {K::PictureBox, true, true},     {K::Line, false, true}};
    for (const Row& row : rows) {
        EXPECT_EQ(forms::takesFocus(row.kind), row.focus) << static_cast<int>(row.kind);
        EXPECT_EQ(forms::swallowsClicks(row.kind), row.swallows) << static_cast<int>(row.kind);
    }
}

TEST(LabelOfTest, TheLabelRightBeforeTheTextBoxNamesIt)
{
    const forms::WindowDescription& form1 = resources::form1Description();
    const forms::ControlDescription* label = forms::labelOf(form1, *form1.find("Text1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->name, "Label1");
    EXPECT_EQ(forms::labelOf(form1, *form1.find("Command1")), nullptr) << "only text boxes are named so";

    const forms::WindowDescription alone{
        .controls = {{.name = "Text1", .kind = forms::ControlKind::TextBox, .tabIndex = 4},
                     {.name = "Label9", .kind = forms::ControlKind::Label, .tabIndex = 5}}};
    EXPECT_EQ(forms::labelOf(alone, alone.controls.front()), nullptr) << "a label after it names nothing";
}

TEST(FindTest, AControlArrayElementByNameAndElementNumber)
{
    const forms::WindowDescription& about = resources::aboutDescription();
    EXPECT_EQ(about.find("Line1"), nullptr) << "an array's name alone names no one control";
    for (const int element : {0, 1}) {
        const forms::ControlDescription* line = about.find("Line1", element);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->index, element);
        EXPECT_EQ(line->kind, forms::ControlKind::Line);
    }
    EXPECT_EQ(about.find("Line1", 2), nullptr);
    EXPECT_EQ(about.find("cmdOK", 0), nullptr) << "a control of its own has no element number";
    EXPECT_NE(about.find("cmdOK"), nullptr);
}

TEST(TitleBarTest, TheSplashIsABareBoxTheOthersHaveATitleBar)
{
    EXPECT_TRUE(forms::hasTitleBar(resources::form1Description()));
    EXPECT_TRUE(forms::hasTitleBar(resources::aboutDescription()));
    EXPECT_FALSE(forms::hasTitleBar(resources::splashDescription()));
    EXPECT_TRUE(forms::isDialog(resources::aboutDescription()));
    EXPECT_FALSE(forms::isDialog(resources::form1Description()));
    EXPECT_FALSE(forms::isDialog(resources::splashDescription()));

    forms::WindowDescription captionOnly = resources::splashDescription();
    captionOnly.caption = "Titel";
    EXPECT_TRUE(forms::hasTitleBar(captionOnly)) << "a caption needs a title bar to show in";
}

TEST(OptionGroupTest, TheFirstOptionOfEachFrameByTabIndexLeadsItsGroup)
{
    const forms::WindowDescription& form1 = resources::form1Description();
    std::vector<std::string> leaders;
    for (const forms::ControlDescription& control : form1.controls)
        if (forms::leadsOptionGroup(form1, control))
            leaders.emplace_back(control.name);
    // Option3 has the lowest tab index of scale A, not Option1 at the top.
    EXPECT_EQ(leaders, (std::vector<std::string>{"Option3", "Option7", "Option13"}));
}

TEST(OptionGroupTest, TabStopsAtTheChosenOptionOrBeforeAnyChoiceAtTheLeader)
{
    const forms::WindowDescription& form1 = resources::form1Description();
    const struct
    {
        const char* entered; // the option Tab or Shift+Tab reached
        std::set<std::string> chosen;
        const char* stop;
    } cases[] = {
        {"Option6", {}, "Option3"},           {"Option3", {}, "Option3"},
        {"Option18", {}, "Option13"},         {"Option18", {"Option15"}, "Option15"},
        {"Option7", {"Option15"}, "Option7"}, {"Option7", {"Option12", "Option2"}, "Option12"},
    };
    for (const auto& each : cases) {
        const forms::ControlDescription& stop = forms::optionGroupStop(
            form1, *form1.find(each.entered), [&](const forms::ControlDescription& option) {
                return each.chosen.contains(std::string(option.name));
            });
        EXPECT_EQ(stop.name, each.stop) << each.entered;
    }
}

TEST(WindowKindTest, TheTitleBarAndTheTaskbarEntryMakeTheKind)
{
    using forms::WindowBorder;
    using forms::WindowKind;
    const struct
    {
        forms::WindowDescription window;
        WindowKind kind;
    } cases[] = {
        {resources::form1Description(), WindowKind::Main},
        {resources::aboutDescription(), WindowKind::Dialog},
        {resources::splashDescription(), WindowKind::Splash},
        // A bare box stays a splash even when it asks for a taskbar entry.
        {{.border = WindowBorder::FixedDialog, .controlBox = false, .showInTaskbar = true},
         WindowKind::Splash},
        {{.caption = "Fest", .border = WindowBorder::FixedDialog, .showInTaskbar = true}, WindowKind::Main},
        {{.border = WindowBorder::Sizable, .showInTaskbar = false}, WindowKind::Dialog},
    };
    for (const auto& each : cases)
        EXPECT_EQ(forms::windowKind(each.window), each.kind) << each.window.name << each.window.caption;
}

TEST(AccessibleTextTest, WindowsAreNamedAndTheSplashDescribed)
{
    EXPECT_EQ(forms::accessibleName(resources::splashDescription(), "Gradolux"), "Gradolux");
    EXPECT_EQ(forms::accessibleName(resources::form1Description(), "Gradolux"),
              "Bewerten und Beurteilen von Risiken nach der CEL-Methode");
    EXPECT_EQ(forms::accessibleDescription(resources::splashDescription()),
              "Bitte eine Taste Drücken um zum Programm zu gelangen!");
    EXPECT_EQ(forms::accessibleDescription(resources::form1Description()), "");
    EXPECT_EQ(resources::aboutDescription().find("picIcon")->accessibleName, "Programmsymbol")
        << "the one focusable control without a text of its own has a name";
}

TEST(FaceTest, AVerticalWritingFaceIsShownUpright)
{
    EXPECT_EQ(forms::shownFace("@Arial Unicode MS"), "Arial Unicode MS");
    EXPECT_EQ(forms::shownFace("Arial"), "Arial");
    EXPECT_EQ(forms::shownFace("MS Sans Serif"), "MS Sans Serif");
    EXPECT_EQ(forms::shownFace(""), "");
}

TEST(ContrastColourTest, FixedColoursGiveWayToTheSystemsUnderAContrastTheme)
{
    using forms::ColourUse;
    constexpr forms::StoredColour red = 0x000000FF, grey = 0x00808080, white = 0x00FFFFFF, black = 0;
    const struct
    {
        forms::StoredColour colour;
        ColourUse use;
        forms::StoredColour expected;
    } cases[] = {
        {red, ColourUse::Text, forms::systemColour(forms::sys::ButtonText)},
        {grey, ColourUse::Surface, forms::systemColour(forms::sys::ButtonFace)},
        {black, ColourUse::Text, forms::systemColour(forms::sys::ButtonText)},
        {red, ColourUse::TextInBox, forms::systemColour(forms::sys::WindowText)},
        {grey, ColourUse::Line, forms::systemColour(forms::sys::ButtonShadow)},
        {white, ColourUse::Line, forms::systemColour(forms::sys::ButtonHighlight)},
        {forms::systemColour(forms::sys::ScrollBar), ColourUse::Text,
         forms::systemColour(forms::sys::ScrollBar)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(forms::contrastColour(c.colour, c.use), c.expected) << std::hex << c.colour;
}

TEST(ControlColoursTest, EachKindLiesOnItsSurfaceAndWritesInItsTextColour)
{
    using forms::ControlKind;
    using forms::systemColour;
    namespace sys = forms::sys;
    constexpr forms::StoredColour red = 0x000000FF, grey = 0x00808080;
    const forms::StoredColour face = systemColour(sys::ButtonFace), scrollBar = systemColour(sys::ScrollBar);
    const struct
    {
        forms::ControlDescription control;
        bool contrast;
        forms::ControlColours expected;
    } cases[] = {
        {{.kind = ControlKind::Label}, false, {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::Label, .foreColour = red}, false, {face, red}},
        {{.kind = ControlKind::Label, .foreColour = red}, true, {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::Label, .backColour = grey}, false, {grey, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::Label, .backColour = grey}, true, {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::OptionButton}, false, {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::Frame}, true, {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::TextBox}, false, {systemColour(sys::Window), systemColour(sys::WindowText)}},
        {{.kind = ControlKind::TextBox, .foreColour = red}, false, {systemColour(sys::Window), red}},
        {{.kind = ControlKind::TextBox, .foreColour = red},
         true,
         {systemColour(sys::Window), systemColour(sys::WindowText)}},
        // A push button shows the face whatever its description says.
        {{.kind = ControlKind::CommandButton, .backColour = scrollBar},
         false,
         {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::CommandButton, .backColour = grey},
         true,
         {face, systemColour(sys::ButtonText)}},
        {{.kind = ControlKind::Line, .backColour = grey}, false, {grey, grey}},
        {{.kind = ControlKind::Line, .backColour = 0x00FFFFFF},
         true,
         {systemColour(sys::ButtonHighlight), systemColour(sys::ButtonHighlight)}},
        {{.kind = ControlKind::Line}, false, {systemColour(sys::WindowText), systemColour(sys::WindowText)}},
        {{.kind = ControlKind::Image}, false, {face, systemColour(sys::ButtonText)}},
    };
    for (const auto& c : cases) {
        const forms::ControlColours shown = forms::controlColours(c.control, c.contrast);
        EXPECT_EQ(shown.surface, c.expected.surface)
            << static_cast<int>(c.control.kind) << (c.contrast ? " contrast" : "") << std::hex << " "
            << shown.surface;
        EXPECT_EQ(shown.text, c.expected.text)
            << static_cast<int>(c.control.kind) << (c.contrast ? " contrast" : "") << std::hex << " "
            << shown.text;
    }
}

TEST(ControlColoursTest, AWindowLiesOnItsOwnColourOrTheFace)
{
    const forms::StoredColour face = forms::systemColour(forms::sys::ButtonFace);
    const forms::StoredColour scrollBar = forms::systemColour(forms::sys::ScrollBar);
    EXPECT_EQ(forms::windowSurface({}, false), face);
    EXPECT_EQ(forms::windowSurface({.backColour = scrollBar}, false), scrollBar);
    EXPECT_EQ(forms::windowSurface({.backColour = scrollBar}, true), scrollBar) << "a system colour stays";
    EXPECT_EQ(forms::windowSurface({.backColour = 0x00808080}, false), 0x00808080U);
    EXPECT_EQ(forms::windowSurface({.backColour = 0x00808080}, true), face);
}

} // namespace

namespace {

class TextSamplesTest : public testing::TestWithParam<const forms::WindowDescription*>
{};

TEST_P(TextSamplesTest, EveryCharacterAControlShowsComesOnceInItsFontInShortPieces)
{
    const forms::WindowDescription& window = *GetParam();
    const std::vector<forms::TextSample> samples = forms::textSamples(window, 16);
    std::map<std::string, std::u32string> byFont; // every piece of a font, joined
    const auto fontKey = [](const forms::FontSpec& font) {
        return std::string(font.face) + "/" + std::to_string(font.points) + "/" + std::to_string(font.weight);
    };
    for (const forms::TextSample& sample : samples) {
        EXPECT_FALSE(sample.text.empty());
        EXPECT_LE(sample.text.size(), 16U);
        byFont[fontKey(sample.font)] += sample.text;
    }
    for (const auto& [font, text] : byFont) {
        EXPECT_EQ(std::set<char32_t>(text.begin(), text.end()).size(), text.size()) << font << ": a repeat";
        EXPECT_EQ(text.find(U'&'), std::u32string::npos) << font << ": an access key's mark is not drawn";
    }
    for (const forms::ControlDescription& control : window.controls) {
        if (control.kind == forms::ControlKind::Image || control.kind == forms::ControlKind::PictureBox ||
            control.kind == forms::ControlKind::Line)
            continue;
        const std::u32string& text = byFont[fontKey(control.font.value_or(window.font))];
        for (const char32_t character : forms::charactersOf(control.text)) {
            if (character != U'&') {
                EXPECT_NE(text.find(character), std::u32string::npos)
                    << control.name << " shows U+" << std::hex << static_cast<unsigned>(character);
            }
        }
        // Texts set while the program runs (R, a verdict) are not known ahead: every Latin-1 letter.
        if (control.text.empty() && control.kind != forms::ControlKind::Frame) {
            for (const char32_t character : {U'0', U',', U'Ä', U'ß', U'ÿ', U'€', U'!'})
                EXPECT_NE(text.find(character), std::u32string::npos) << control.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, TextSamplesTest,
                         testing::Values(&resources::form1Description(), &resources::splashDescription(),
                                         &resources::aboutDescription()),
                         [](const auto& info) { return std::string(info.param->name); });

} // namespace
