// SPDX-License-Identifier: MIT
#pragma once

#include <QRadioButton>

namespace forms {

// An option button whose caption wraps at word boundaries when it is wider
// than the button, centred vertically beside the mark, as the platform's
// option buttons do; Qt's own never wrap and would cut the caption off.
class OptionButton final : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& position) const override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace forms
