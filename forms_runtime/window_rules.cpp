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

bool isDialog(const WindowDescription& window)
{
    return window.border == WindowBorder::FixedDialog && window.controlBox;
}

} // namespace forms
