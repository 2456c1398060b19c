// SPDX-License-Identifier: MIT
#include "qt_option_button.h"

#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace forms {

bool OptionButton::hitButton(const QPoint& position) const
{
    return rect().contains(position);
}

void OptionButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    const QRect mark = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    option.rect = mark;
    option.rect.moveTop((height() - mark.height()) / 2);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);

    const int left =
        mark.right() + 1 + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    const QRect textArea(left, 0, width() - left, height());
    // A caption wider than its button wraps at word boundaries. Laid out
    // with line breaking whether or not it fits, the caption is shaped once;
    // measuring it first to spare the line breaking would shape it twice.
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
    painter.setPen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::PlaceholderText));
    QRect used;
    painter.drawText(textArea, flags, caption, &used);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = used.adjusted(-1, 0, 1, 0).intersected(rect());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace forms
