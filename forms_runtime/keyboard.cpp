// SPDX-License-Identifier: MIT
#include "keyboard.h"

#include <algorithm>

namespace forms {
namespace {

bool isControlCharacter(char32_t character)
{
    return character < 0x20 || character == 0x7F || (character >= 0x80 && character < 0xA0);
}

} // namespace

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
