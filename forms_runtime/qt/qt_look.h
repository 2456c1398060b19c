// SPDX-License-Identifier: MIT
#pragma once

// The look of the Qt back end: the design's fonts, colours, alignments and
// pictures as Qt's, and the application-wide style, palette and font
// substitutions that make every desktop show the windows alike.

#include "window_description.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

class QWidget;

namespace forms {

QString toQString(std::string_view text);
QColor toQColor(StoredColour colour);
// A rectangle in twips as logical pixels.
QRect toPixels(const TwipsRect& rect);
// The font as the design gives it, with a stand-in for a face the platform lacks.
QFont toQFont(const FontSpec& design);
Qt::Alignment toQtAlignment(Alignment alignment);
// A caption as a widget that takes "&" for an access key's mark (a group
// box's title) shows it as it is: each "&" doubled.
QString shownAsIs(QString text);
// The Qt resource holding the picture of that name.
QString picturePath(PictureId picture);

// What a screen reader announces a top-level widget as: a dialog or a window.
void setAccessibleRole(QWidget& top, bool dialog);
// Makes a widget a notification for screen readers: each time it is shown,
// they speak its accessible name. It draws nothing and takes no input.
void makeStatusNotifier(QWidget& widget);

// Sets the application-wide style, palette, font substitutions and default
// font that the window descriptions assume. Needs a QApplication.
void installApplicationLook();

} // namespace forms
