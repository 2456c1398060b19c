// SPDX-License-Identifier: MIT
#include "keyboard.h"

#include "window_rules.h"

#include <algorithm>
#include <vector>

namespace forms {
namespace {

bool isControlCharacter(char32_t character)
{
    return character < 0x20 || character == 0x7F || (character >= 0x80 && character < 0xA0);
}

char32_t lowerCase(char32_t letter)
{
    // Latin letters, the German umlauts among them; the access keys of these
    // windows need no more.
    if ((letter >= U'A' && letter <= U'Z') || (letter >= 0xC0 && letter <= 0xDE && letter != 0xD7))
        return letter + 0x20;
    return letter;
}

} // namespace

char32_t accessKey(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // Access keys are ASCII letters and digits here; a UTF-8 lead byte marks none.
        const auto next = static_cast<unsigned char>(caption[i + 1]);
        return next < 0x80 ? lowerCase(next) : 0;
    }
    return 0;
}

AccessKeyAction accessKeyAction(const WindowDescription& window, char32_t letter, std::string_view focused)
{
    std::vector<const ControlDescription*> marked;
    for (const ControlDescription& control : window.controls)
        if (marksAccessKey(control.kind) && accessKey(control.text) == lowerCase(letter))
            marked.push_back(&control);
    if (marked.empty())
        return {};
    if (marked.size() == 1)
        return {marked.front(), true};
    std::stable_sort(marked.begin(), marked.end(),
                     [](const auto* left, const auto* right) { return left->tabIndex < right->tabIndex; });
    const ControlDescription* current = window.find(focused);
    const auto next =
        std::find_if(marked.begin(), marked.end(), [current](const ControlDescription* control) {
            return current && control->tabIndex > current->tabIndex;
        });
    return {next == marked.end() ? marked.front() : *next, false};
}

AccessKeyAction plainLetterAction(const WindowDescription& window, char32_t letter, std::string_view focused)
{
    if (const ControlDescription* control = window.find(focused);
        control && control->kind == ControlKind::TextBox)
        return {};
    return accessKeyAction(window, letter, focused);
}

bool typesCharacter(const KeyStroke& key)
{
    if (key.text.empty() || key.key == KeyStroke::Key::Delete)
        return false;
    if (key.alt && !key.control)
        return false;
    if (key.alt && key.control)
        return std::none_of(key.text.begin(), key.text.end(), isControlCharacter);
    return true;
}

const ControlDescription* defaultButton(const WindowDescription& window, std::string_view focused)
{
    if (const ControlDescription* control = window.find(focused);
        control && control->kind == ControlKind::CommandButton)
        return control;
    const auto it = std::find_if(window.controls.begin(), window.controls.end(),
                                 [](const ControlDescription& control) { return control.isDefault; });
    return it == window.controls.end() ? nullptr : &*it;
}

const ControlDescription* optionForArrow(const WindowDescription& window, const KeyStroke& key,
                                         std::string_view focused)
{
    const bool forward = key.key == KeyStroke::Key::Down || key.key == KeyStroke::Key::Right;
    const bool back = key.key == KeyStroke::Key::Up || key.key == KeyStroke::Key::Left;
    const ControlDescription* current = window.find(focused);
    if ((!forward && !back) || key.alt || key.control || !current ||
        current->kind != ControlKind::OptionButton)
        return nullptr;
    std::vector<const ControlDescription*> group;
    for (const ControlDescription& control : window.controls)
        if (control.kind == ControlKind::OptionButton && control.container == current->container)
            group.push_back(&control);
    std::stable_sort(group.begin(), group.end(),
                     [](const auto* left, const auto* right) { return left->tabIndex < right->tabIndex; });
    const auto at =
        static_cast<std::ptrdiff_t>(std::find(group.begin(), group.end(), current) - group.begin());
    const auto size = static_cast<std::ptrdiff_t>(group.size());
    return group[static_cast<std::size_t>((at + (forward ? 1 : size - 1)) % size)];
}

const ControlDescription* buttonForKey(const WindowDescription& window, const KeyStroke& key,
                                       std::string_view focused)
{
    if (key.alt)
        return nullptr;
    switch (key.key) {
    case KeyStroke::Key::Return:
    case KeyStroke::Key::Enter:
        return defaultButton(window, focused);
    case KeyStroke::Key::Escape: {
        const auto it = std::find_if(window.controls.begin(), window.controls.end(),
                                     [](const ControlDescription& control) { return control.isCancel; });
        return it == window.controls.end() ? nullptr : &*it;
    }
    default:
        return nullptr;
    }
}

} // namespace forms
