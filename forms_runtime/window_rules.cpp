// SPDX-License-Identifier: MIT
#include "window_rules.h"

#include "utf8.h"

#include <algorithm>
#include <set>

namespace forms {

bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::CommandButton || kind == ControlKind::OptionButton ||
           kind == ControlKind::TextBox || kind == ControlKind::PictureBox;
}

bool marksAccessKey(ControlKind kind)
{
    return kind == ControlKind::CommandButton || kind == ControlKind::OptionButton;
}

bool wrapsText(const ControlDescription& label)
{
    return label.kind == ControlKind::Label && !label.autoSize;
}

bool swallowsClicks(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Frame || kind == ControlKind::Image ||
           kind == ControlKind::PictureBox || kind == ControlKind::Line;
}

bool isTabStop(const ControlDescription& control)
{
    return takesFocus(control.kind) && control.tabIndex >= 0;
}

std::vector<const ControlDescription*> tabOrder(const WindowDescription& window)
{
    std::vector<const ControlDescription*> order;
    for (const ControlDescription& control : window.controls)
        if (isTabStop(control))
            order.push_back(&control);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* left, const auto* right) { return left->tabIndex < right->tabIndex; });
    return order;
}

const ControlDescription& optionGroupStop(const WindowDescription& window, const ControlDescription& option,
                                          const std::function<bool(const ControlDescription&)>& chosen)
{
    const ControlDescription* leader = &option;
    for (const ControlDescription& other : window.controls) {
        if (other.kind != ControlKind::OptionButton || other.container != option.container)
            continue;
        if (chosen(other))
            return other;
        if (leadsOptionGroup(window, other))
            leader = &other;
    }
    return *leader;
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

WindowKind windowKind(const WindowDescription& window)
{
    if (!hasTitleBar(window))
        return WindowKind::Splash;
    return window.showInTaskbar ? WindowKind::Main : WindowKind::Dialog;
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

namespace forms {
namespace {

// Every printable character of Latin-1, and the euro sign.
std::u32string printableLatin1()
{
    std::u32string text;
    for (char32_t character = 0x20; character < 0x7F; ++character)
        text.push_back(character);
    for (char32_t character = 0xA1; character <= 0xFF; ++character)
        text.push_back(character);
    text.push_back(U'\u20AC');
    return text;
}

} // namespace

std::vector<TextSample> textSamples(const WindowDescription& window, std::size_t pieceLength)
{
    std::vector<std::pair<FontSpec, std::set<char32_t>>> fonts;
    for (const ControlDescription& control : window.controls) {
        const bool showsText = control.kind == ControlKind::Label || control.kind == ControlKind::Frame ||
                               control.kind == ControlKind::OptionButton ||
                               control.kind == ControlKind::TextBox ||
                               control.kind == ControlKind::CommandButton;
        if (!showsText)
            continue;
        const bool setLater = control.text.empty() &&
                              (control.kind == ControlKind::Label || control.kind == ControlKind::TextBox);
        const std::u32string shown = setLater ? printableLatin1() : charactersOf(control.text);
        const FontSpec font = control.font.value_or(window.font);
        auto entry =
            std::find_if(fonts.begin(), fonts.end(), [&](const auto& known) { return known.first == font; });
        if (entry == fonts.end())
            entry = fonts.insert(fonts.end(), {font, {}});
        for (const char32_t character : shown)
            if (character != U'&')
                entry->second.insert(character);
    }
    std::vector<TextSample> samples;
    const std::size_t length = std::max<std::size_t>(pieceLength, 1);
    for (const auto& [font, set] : fonts) {
        const std::u32string all(set.begin(), set.end());
        for (std::size_t start = 0; start < all.size(); start += length)
            samples.push_back({font, all.substr(start, length)});
    }
    return samples;
}

} // namespace forms
