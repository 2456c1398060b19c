// SPDX-License-Identifier: MIT
#include "form.h"

#include "runtime.h"

namespace forms {

void Form::click(std::string_view control)
{
    for (const auto& [name, handler] : m_clickHandlers) {
        if (name == control) {
            m_runtime.deliver(handler);
            return;
        }
    }
}

void Form::keyPress(char32_t character)
{
    if (m_keyPressHandler)
        m_runtime.deliver([this, character] { m_keyPressHandler(character); });
}

void Form::onClick(std::string_view control, std::function<void()> handler)
{
    m_runtime.checkClickable(*this, control);
    m_clickHandlers.emplace_back(std::string(control), std::move(handler));
}

void Form::onKeyPress(std::function<void(char32_t)> handler)
{
    m_keyPressHandler = std::move(handler);
}

bool Form::selected(std::string_view control) const
{
    return m_runtime.selected(*this, control);
}

void Form::setCaption(std::string_view control, std::string_view text)
{
    m_runtime.setCaption(*this, control, text);
}

void Form::setText(std::string_view control, std::string_view text)
{
    m_runtime.setText(*this, control, text);
}

void Form::setWindowCaption(std::string_view text)
{
    m_runtime.setWindowCaption(*this, text);
}

void Form::announce(std::string_view control, std::string_view text)
{
    m_runtime.announce(*this, control, text);
}

} // namespace forms
