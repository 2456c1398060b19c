// SPDX-License-Identifier: MIT
#include "window_rules.h"

#include <algorithm>

namespace forms {

bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::CommandButton || kind == ControlKind::OptionButton ||
           kind == ControlKind::TextBox || kind == ControlKind::PictureBox;
}

bool swallowsClicks(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Frame || kind == ControlKind::Image ||
           kind == ControlKind::PictureBox || kind == ControlKind::Line;
}

std::vector<const ControlDescription*> tabOrder(const WindowDescription& window)
{
    std::vector<const ControlDescription*> order;
    for (const ControlDescription& control : window.controls)
        if (takesFocus(control.kind) && control.tabIndex >= 0)
            order.push_back(&control);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* left, const auto* right) { return left->tabIndex < right->tabIndex; });
    return order;
}

bool leadsOptionGroup(const WindowDescription& window, const ControlDescription& option)
{
    if (option.kind != ControlKind::OptionButton)
        return false;
    return std::none_of(window.controls.begin(), window.controls.end(), [&](const ControlDescription& other) {
        return other.kind == ControlKind::OptionButton && other.container == option.container &&
               other.tabIndex < option.tabIndex;
    });
}

const ControlDescription* labelOf(const WindowDescription& window, const ControlDescription& textBox)
{
    if (textBox.kind != ControlKind::TextBox || textBox.tabIndex < 1)
        return nullptr;
    const auto it = std::find_if(window.controls.begin(), window.controls.end(), [&](const auto& control) {
        return control.kind == ControlKind::Label && control.tabIndex == textBox.tabIndex - 1;
    });
    return it == window.controls.end() ? nullptr : &*it;
}

bool hasTitleBar(const WindowDescription& window)
{
    return window.border == WindowBorder::Sizable || window.controlBox || !window.caption.empty();
}

std::string_view accessibleName(const WindowDescription& window, std::string_view applicationTitle)
{
    return window.caption.empty() ? applicationTitle : window.caption;
}

std::string_view accessibleDescription(const WindowDescription& window)
{
    const ControlDescription* control =
        window.describedBy.empty() ? nullptr : window.find(window.describedBy);
    return control ? control->text : std::string_view();
}

std::string_view shownFace(std::string_view face)
{
    return face.starts_with('@') ? face.substr(1) : face;
}

bool isDialog(const WindowDescription& window)
{
    return window.border == WindowBorder::FixedDialog && window.controlBox;
}

} // namespace forms
