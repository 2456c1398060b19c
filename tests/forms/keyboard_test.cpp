// SPDX-License-Identifier: MIT
// The run-time's keyboard rules: which key presses type a character, which
// button Enter and Escape press, and which button shows the default border.

#include "keyboard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using forms::ControlKind;
using forms::KeyStroke;
using Key = KeyStroke::Key;

struct CharacterCase
{
    const char* name;
    KeyStroke key;
    bool types;
};

class TypesCharacterTest : public testing::TestWithParam<CharacterCase>
{};

TEST_P(TypesCharacterTest, DecidesWhetherTheKeyTypesACharacter)
{
    EXPECT_EQ(forms::typesCharacter(GetParam().key), GetParam().types);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TypesCharacterTest,
    testing::Values(
        CharacterCase{"Letter", {.text = U"x"}, true}, CharacterCase{"Digit", {.text = U"7"}, true},
        CharacterCase{"Space", {.text = U" "}, true},
        CharacterCase{"Return", {.key = Key::Return, .text = U"\r"}, true},
        CharacterCase{"KeypadEnter", {.key = Key::Enter, .text = U"\r"}, true},
        CharacterCase{"Escape", {.key = Key::Escape, .text = U"\x1b"}, true},
        CharacterCase{"Backspace", {.text = U"\b"}, true}, CharacterCase{"Tab", {.text = U"\t"}, true},
        CharacterCase{"ShiftedLetter", {.text = U"X", .shift = true}, true},
        CharacterCase{"ControlLetter", {.text = U"\x01", .control = true}, true},
        CharacterCase{"AltGrAtSign", {.text = U"@", .control = true, .alt = true}, true},
        CharacterCase{"AltGrEuro", {.text = U"€", .control = true, .alt = true}, true},
        CharacterCase{"CharacterOutsideTheBasicPlane", {.text = U"😀"}, true},
        CharacterCase{"Delete", {.key = Key::Delete, .text = U"\x7f"}, false},
        CharacterCase{"DeleteWithoutText", {.key = Key::Delete}, false},
        CharacterCase{"FunctionKey", {}, false}, CharacterCase{"ShiftAlone", {.shift = true}, false},
        CharacterCase{"AltAccessKey", {.text = U"e", .alt = true}, false},
        CharacterCase{
            "ControlAltLetterWithoutCharacter", {.text = U"\x01", .control = true, .alt = true}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The About dialog's buttons: OK is default and cancel button at once.
forms::WindowDescription dialog()
{
    return {.name = "frmDialog",
            .controls = {
                {.name = "picIcon", .kind = ControlKind::PictureBox, .tabIndex = 1},
                {.name = "cmdOK",
                 .kind = ControlKind::CommandButton,
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true},
                {.name = "cmdSysInfo", .kind = ControlKind::CommandButton, .tabIndex = 2},
                {.name = "lblTitle", .kind = ControlKind::Label},
            }};
}

struct ButtonCase
{
    const char* name;
    KeyStroke key;
    const char* focused;
    const char* pressed; // "" for none
};

class ButtonForKeyTest : public testing::TestWithParam<ButtonCase>
{};

TEST_P(ButtonForKeyTest, PressesTheRightButton)
{
    const forms::WindowDescription window = dialog();
    const forms::ControlDescription* button = forms::buttonForKey(window, GetParam().key, GetParam().focused);
    EXPECT_EQ(button ? std::string(button->name) : std::string(), GetParam().pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ButtonForKeyTest,
    testing::Values(ButtonCase{"ReturnOnThePicture", {.key = Key::Return}, "picIcon", "cmdOK"},
                    ButtonCase{"KeypadEnterOnThePicture", {.key = Key::Enter}, "picIcon", "cmdOK"},
                    ButtonCase{"ShiftReturn", {.key = Key::Return, .shift = true}, "picIcon", "cmdOK"},
                    ButtonCase{"ControlReturn", {.key = Key::Return, .control = true}, "picIcon", "cmdOK"},
                    ButtonCase{"ReturnWithNothingFocused", {.key = Key::Return}, "", "cmdOK"},
                    ButtonCase{"ReturnOnAnotherButton", {.key = Key::Enter}, "cmdSysInfo", "cmdSysInfo"},
                    ButtonCase{"EscapeOnAnotherButton", {.key = Key::Escape}, "cmdSysInfo", "cmdOK"},
                    ButtonCase{"AltReturn", {.key = Key::Return, .alt = true}, "picIcon", ""},
                    ButtonCase{"Letter", {.text = U"a"}, "picIcon", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DefaultButtonTest, TheFocusedButtonOtherwiseTheDeclaredOne)
{
    const forms::WindowDescription window = dialog();
    EXPECT_EQ(forms::defaultButton(window, "cmdSysInfo")->name, "cmdSysInfo");
    EXPECT_EQ(forms::defaultButton(window, "picIcon")->name, "cmdOK");
    EXPECT_EQ(forms::defaultButton(window, "")->name, "cmdOK");

    const forms::WindowDescription withoutDefault{
        .name = "frmPlain", .controls = {{.name = "cmdGo", .kind = ControlKind::CommandButton}}};
    EXPECT_EQ(forms::defaultButton(withoutDefault, ""), nullptr);
    EXPECT_EQ(forms::buttonForKey(withoutDefault, {.key = Key::Escape}, "cmdGo"), nullptr);
}

TEST(AccessKeyTest, TheLetterAfterTheAmpersand)
{
    EXPECT_EQ(forms::accessKey("B&erechnen"), U'e');
    EXPECT_EQ(forms::accessKey("&Systeminfo..."), U's');
    EXPECT_EQ(forms::accessKey("Programm Be&enden"), U'e');
    EXPECT_EQ(forms::accessKey("Programminfo"), 0U);
    EXPECT_EQ(forms::accessKey("A && B"), 0U);
    EXPECT_EQ(forms::accessKey("A && &B"), U'b');
    EXPECT_EQ(forms::accessKey("Ende&"), 0U);
}

// The calculator's buttons: "B&erechnen" and "Programm Be&enden" share E.
forms::WindowDescription calculator()
{
    return {
        .name = "Form1",
        .controls = {
            {.name = "Option1", .kind = ControlKind::OptionButton, .text = " GERINGE", .tabIndex = 7},
            {.name = "Command1", .kind = ControlKind::CommandButton, .text = "B&erechnen", .tabIndex = 1},
            {.name = "Command3", .kind = ControlKind::CommandButton, .text = "Programminfo", .tabIndex = 29},
            {.name = "Command2",
             .kind = ControlKind::CommandButton,
             .text = "Programm Be&enden",
             .tabIndex = 2},
            {.name = "cmdSysInfo",
             .kind = ControlKind::CommandButton,
             .text = "&Systeminfo...",
             .tabIndex = 3},
            {.name = "Label9", .kind = ControlKind::Label, .text = "&Marke", .tabIndex = 4},
            {.name = "Text1", .kind = ControlKind::TextBox, .tabIndex = 5},
        }};
}

struct AccessCase
{
    const char* name;
    char32_t letter;
    const char* focused;
    const char* control; // "" for none
    bool press;
};

class AccessKeyActionTest : public testing::TestWithParam<AccessCase>
{};

TEST_P(AccessKeyActionTest, FocusesOrPresses)
{
    const forms::WindowDescription window = calculator();
    const forms::AccessKeyAction action =
        forms::accessKeyAction(window, GetParam().letter, GetParam().focused);
    EXPECT_EQ(action.control ? std::string(action.control->name) : std::string(), GetParam().control);
    EXPECT_EQ(action.press, GetParam().press);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, AccessKeyActionTest,
    testing::Values(AccessCase{"SharedFromTheFirstGoesToTheSecond", U'e', "Command1", "Command2", false},
                    AccessCase{"SharedFromTheSecondWrapsToTheFirst", U'e', "Command2", "Command1", false},
                    AccessCase{"SharedFromAnOptionGoesToTheNextInTabOrder", U'e', "Option1", "Command1",
                               false},
                    AccessCase{"SharedWithNothingFocused", U'E', "", "Command1", false},
                    AccessCase{"OnlyOneControlIsPressed", U's', "Command1", "cmdSysInfo", true},
                    AccessCase{"CapitalLetterCountsTheSame", U'S', "Option1", "cmdSysInfo", true},
                    AccessCase{"ALetterNoCaptionMarks", U'x', "Command1", "", false},
                    AccessCase{"ALabelTakesNoFocus", U'm', "Command1", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OptionForArrowTest, ArrowsMoveWithinTheGroupByTabIndexAndWrap)
{
    // Scale A's tab indexes run 3, 2, 1, 4, 5, 6 from the top (Option3 first).
    forms::WindowDescription window{.name = "Form1"};
    const int tabIndexes[] = {7, 6, 5, 8, 9, 10};
    const char* const names[] = {"Option1", "Option2", "Option3", "Option4", "Option5", "Option6"};
    for (int i = 0; i < 6; ++i)
        window.controls.push_back({.name = names[i],
                                   .kind = ControlKind::OptionButton,
                                   .container = "Frame1",
                                   .tabIndex = tabIndexes[i]});
    window.controls.push_back(
        {.name = "Option7", .kind = ControlKind::OptionButton, .container = "Frame2", .tabIndex = 12});
    window.controls.push_back({.name = "Command1", .kind = ControlKind::CommandButton, .tabIndex = 1});
    const struct
    {
        Key key;
        const char* from;
        const char* to; // "" for none
    } cases[] = {{Key::Down, "Option3", "Option2"}, {Key::Right, "Option2", "Option1"},
                 {Key::Down, "Option1", "Option4"}, {Key::Down, "Option6", "Option3"},
                 {Key::Up, "Option3", "Option6"},   {Key::Left, "Option4", "Option1"},
                 {Key::Down, "Option7", "Option7"}, {Key::Down, "Command1", ""},
                 {Key::Return, "Option3", ""}};
    for (const auto& c : cases) {
        const forms::ControlDescription* to = forms::optionForArrow(window, {.key = c.key}, c.from);
        EXPECT_EQ(to ? std::string(to->name) : std::string(), c.to)
            << c.from << " " << static_cast<int>(c.key);
    }
    EXPECT_EQ(forms::optionForArrow(window, {.key = Key::Down, .alt = true}, "Option3"), nullptr)
        << "Alt with an arrow belongs to the window manager";
}

class PlainLetterActionTest : public testing::TestWithParam<AccessCase>
{};

TEST_P(PlainLetterActionTest, ActsLikeAltOutsideTextBoxes)
{
    const forms::WindowDescription window = calculator();
    const forms::AccessKeyAction action =
        forms::plainLetterAction(window, GetParam().letter, GetParam().focused);
    EXPECT_EQ(action.control ? std::string(action.control->name) : std::string(), GetParam().control);
    EXPECT_EQ(action.press, GetParam().press);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlainLetterActionTest,
    testing::Values(AccessCase{"SharedOnTheExitButtonOnlyMovesTheFocus", U'e', "Command2", "Command1", false},
                    AccessCase{"SharedOnCalculateOnlyMovesTheFocus", U'e', "Command1", "Command2", false},
                    AccessCase{"SharedOnAnOption", U'e', "Option1", "Command1", false},
                    AccessCase{"UniqueOnAButtonPresses", U's', "Command1", "cmdSysInfo", true},
                    AccessCase{"TypedIntoATextBox", U'e', "Text1", "", false},
                    AccessCase{"UniqueTypedIntoATextBox", U's', "Text1", "", false},
                    AccessCase{"ALetterNoCaptionMarks", U'q', "Command2", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
