// SPDX-License-Identifier: MIT
#include "qt_look.h"

#include "system_colours.h"
#include "units.h"
#include "window_rules.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QVariant>
#include <QWidget>

#include <map>
#include <utility>
#include <vector>

namespace forms {
namespace {

// A system colour by its index, as the classic scheme gives it: the
// desktop's own colours do not reach the windows, so every desktop shows
// them alike.
QColor systemQColor(std::uint32_t index)
{
    return toQColor(systemColour(index));
}

// Fusion with the classic metrics of option buttons (a 13-pixel mark, the
// caption 4 pixels beside it), so captions fit the widths they were laid out for.
class ClassicStyle final : public QProxyStyle
{
public:
    ClassicStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
            return 13;
        case PM_RadioButtonLabelSpacing:
        case PM_CheckBoxLabelSpacing:
            return 4;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    // Push buttons carry their text only, message box buttons included.
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The property through which a top-level widget asks for its accessible role.
constexpr const char* kAccessibleRole = "gradoluxAccessibleRole";

// The toolkit's accessibility factory for the widgets that ask for a role
// of their own (kAccessibleRole); every other widget keeps the toolkit's.
QAccessibleInterface* accessibleWindow(const QString& /*className*/, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kAccessibleRole);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

// The stand-ins for the design's faces where the platform lacks them:
// Liberation Sans has Arial's metrics, so texts keep the width they were
// laid out with.
const std::vector<std::pair<QString, QStringList>>& faceStandIns()
{
    static const std::vector<std::pair<QString, QStringList>> standIns = {
        {QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")}},
        {QStringLiteral("MS Sans Serif"),
         {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")}},
        {QStringLiteral("Arial Unicode MS"), {QStringLiteral("Liberation Sans")}},
    };
    return standIns;
}

// The family that draws a face: the face itself where it is installed, else
// the first installed of its stand-ins.
QString installedFamily(const QString& face)
{
    if (QFontDatabase::hasFamily(face))
        return face;
    for (const auto& [designFace, standIns] : faceStandIns()) {
        if (designFace != face)
            continue;
        for (const QString& standIn : standIns)
            if (QFontDatabase::hasFamily(standIn))
                return standIn;
    }
    return face;
}

// The family that draws a face as the run-time's rule shows it. Naming the
// drawn family, not the design's face, lets every face drawn by one family
// share the toolkit's font engine for a size, instead of one engine being
// set up per design name.
QString drawnFamily(std::string_view face)
{
    static std::map<QString, QString> drawn;
    const QString shown = toQString(shownFace(face));
    auto known = drawn.find(shown);
    if (known == drawn.end())
        known = drawn.emplace(shown, installedFamily(shown)).first;
    return known->second;
}

} // namespace

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A stored colour: an RGB value as it is, a system colour reference through
// the classic scheme (system_colours.h).
QColor toQColor(StoredColour colour)
{
    const Rgb rgb = resolveColour(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

QRect toPixels(const TwipsRect& rect)
{
    return {twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
            twipsToPixels(rect.height)};
}

QFont toQFont(const FontSpec& design)
{
    QFont font(drawnFamily(design.face));
    font.setPixelSize(pointsToPixels(design.points));
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    font.setItalic(design.italic);
    font.setUnderline(design.underline);
    font.setStrikeOut(design.strikeOut);
    return font;
}

Qt::Alignment toQtAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Left:
        return Qt::AlignLeft;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Centre:
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

QString shownAsIs(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

QString picturePath(PictureId picture)
{
    return QStringLiteral(":/pictures/") + toQString(picture) + QStringLiteral(".png");
}

void setAccessibleRole(QWidget& top, bool dialog)
{
    top.setProperty(kAccessibleRole, dialog ? int(QAccessible::Dialog) : int(QAccessible::Window));
}

void makeStatusNotifier(QWidget& widget)
{
    widget.setProperty(kAccessibleRole, int(QAccessible::Notification));
    widget.setFocusPolicy(Qt::NoFocus);
    widget.setAttribute(Qt::WA_TransparentForMouseEvents);
    widget.setFixedSize(0, 0);
}

// The style, the palette of the classic scheme's system colours, the face
// substitutions and the dialog font, for every widget of the program and
// the toolkit's own (the message box).
void installApplicationLook()
{
    QAccessible::installFactory(accessibleWindow);
    QApplication::setStyle(new ClassicStyle);
    // The style keeps the pictures it draws (button bevels, option marks) in
    // the pixmap cache under the widget's palette key, which the toolkit makes
    // new for every widget. No entry is ever found again by another widget,
    // so every About dialog opened would add about 30 KiB to the cache, up to
    // its 10 MiB limit. Drawing them afresh costs next to nothing.
    QPixmapCache::setCacheLimit(0);

    // Each role of the toolkit's palette takes the system colour the
    // platform's own controls use for it; disabled texts are grey.
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, std::uint32_t index) {
        palette.setColor(role, systemQColor(index));
    };
    set(QPalette::Window, sys::ButtonFace);
    set(QPalette::WindowText, sys::ButtonText);
    set(QPalette::Base, sys::Window);
    set(QPalette::AlternateBase, sys::ButtonFace);
    set(QPalette::Text, sys::WindowText);
    set(QPalette::Button, sys::ButtonFace);
    set(QPalette::ButtonText, sys::ButtonText);
    set(QPalette::Highlight, sys::Highlight);
    set(QPalette::HighlightedText, sys::HighlightText);
    set(QPalette::Light, sys::ButtonHighlight);
    set(QPalette::Midlight, sys::Light);
    set(QPalette::Mid, sys::ButtonShadow);
    set(QPalette::Dark, sys::ButtonShadow);
    set(QPalette::Shadow, sys::DarkShadow);
    set(QPalette::ToolTipBase, sys::InfoBackground);
    set(QPalette::ToolTipText, sys::InfoText);
    set(QPalette::PlaceholderText, sys::GrayText);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, systemQColor(sys::GrayText));
    QApplication::setPalette(palette);

    for (const auto& [face, standIns] : faceStandIns())
        QFont::insertSubstitutions(face, standIns);
    // The system's dialog font, for message boxes and everything without a font of its own.
    QApplication::setFont(toQFont({.face = "MS Sans Serif", .points = 8.25}));
}

} // namespace forms
