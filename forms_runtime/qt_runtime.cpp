// SPDX-License-Identifier: MIT
#include "qt_runtime.h"

#include "keyboard.h"
#include "placement.h"
#include "qt_frame_margins.h"
#include "system_colours.h"
#include "units.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace forms {
namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toQColor(StoredColour colour)
{
    const Rgb rgb = resolveColour(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

QColor systemQColor(std::uint32_t index)
{
    return toQColor(systemColour(index));
}

QRect toPixels(const TwipsRect& rect)
{
    return {twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
            twipsToPixels(rect.height)};
}

// Face names of the design that this platform lacks, and their stand-ins:
// Liberation Sans has Arial's metrics, so texts keep the width they were laid
// out with. A leading "@" (a vertical-writing face) shows the text upright.
QString faceName(std::string_view face)
{
    QString name = toQString(face);
    if (name.startsWith(u'@'))
        name.remove(0, 1);
    return name;
}

QFont toQFont(const FontSpec& spec)
{
    QFont font(faceName(spec.face));
    font.setPixelSize(pointsToPixels(spec.points));
    font.setWeight(static_cast<QFont::Weight>(spec.weight));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
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

// The Qt resource holding a picture of that name.
QString picturePath(PictureId picture)
{
    return QStringLiteral(":/pictures/") + toQString(picture) + QStringLiteral(".png");
}

QString controlKey(const ControlDescription& control)
{
    QString key = toQString(control.name);
    if (control.index >= 0)
        key += QStringLiteral("(%1)").arg(control.index);
    return key;
}

KeyStroke toKeyStroke(const QKeyEvent& event)
{
    KeyStroke key;
    switch (event.key()) {
    case Qt::Key_Return:
        key.key = KeyStroke::Key::Return;
        break;
    case Qt::Key_Enter:
        key.key = KeyStroke::Key::Enter;
        break;
    case Qt::Key_Escape:
        key.key = KeyStroke::Key::Escape;
        break;
    case Qt::Key_Delete:
        key.key = KeyStroke::Key::Delete;
        break;
    default:
        break;
    }
    const QList<uint> text = event.text().toUcs4();
    key.text.assign(text.begin(), text.end());
    key.shift = event.modifiers().testFlag(Qt::ShiftModifier);
    key.control = event.modifiers().testFlag(Qt::ControlModifier);
    key.alt = event.modifiers().testFlag(Qt::AltModifier);
    return key;
}

// Labels, frames, images, picture boxes and lines swallow their own clicks,
// so that a click on them never reaches the frame below.
bool ownsItsClicks(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Frame || kind == ControlKind::Image ||
           kind == ControlKind::PictureBox || kind == ControlKind::Line;
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

// An option button whose caption wraps at word boundaries when it is wider
// than the button, centred vertically beside the mark, as the platform's
// option buttons do; Qt's own never wrap and would cut the caption off.
class OptionButton final : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }

    void paintEvent(QPaintEvent* /*event*/) override
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
        // Most captions fit on one line, which needs no line breaking at all.
        int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
        if (fontMetrics().horizontalAdvance(caption) > textArea.width())
            flags |= Qt::TextWordWrap;
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
};

// Command buttons, option buttons, text boxes and picture boxes take the
// keyboard focus; labels, frames, images and lines never do.
bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::CommandButton || kind == ControlKind::OptionButton ||
           kind == ControlKind::TextBox || kind == ControlKind::PictureBox;
}

// The property through which a top-level widget asks for its accessible role.
constexpr const char* kAccessibleRole = "gradoluxAccessibleRole";

QAccessibleInterface* accessibleWindow(const QString& /*className*/, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kAccessibleRole);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

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

    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Unicode MS"), {QStringLiteral("Liberation Sans")});
    // The system's dialog font, for message boxes and everything without a font of its own.
    QApplication::setFont(toQFont({.face = "MS Sans Serif", .points = 8.25}));
}

} // namespace

struct QtRuntime::Window
{
    QPointer<QWidget> top;
    QWidget* client = nullptr; // where the controls live: the window, or its inside for bordered boxes
    std::map<QString, QWidget*> controls;
    Events* events = nullptr;
    bool shownBefore = false;
};

// Delivers the toolkit's events to the window's handlers.
class QtRuntime::Events final : public QObject
{
public:
    Events(QtRuntime& runtime, Form& form, Window& window)
        : QObject(window.top), m_runtime(runtime), m_form(form), m_window(window)
    {}

    void watchClicks(QWidget* control, std::string_view name)
    {
        m_names[control] = name;
        control->installEventFilter(this);
    }

    // Access keys stay registered with the toolkit, which tells screen
    // readers about them; what a shared one does is the run-time's rule.
    void watchAccessKey(QWidget* button)
    {
        m_accessKeyOwners.insert(button);
        button->installEventFilter(this);
    }

    // From now on every event passes untouched: the window was unloaded or
    // the run-time is going, and its widgets may outlive both for a moment.
    void detach() { m_detached = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_detached)
            return false;
        if (watched == m_window.top)
            return windowEvent(event);
        if (event->type() == QEvent::Shortcut && m_accessKeyOwners.contains(watched))
            return accessKeyEvent(*static_cast<QShortcutEvent*>(event));

        const auto name = m_names.find(watched);
        if (name == m_names.end())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                m_pressed = watched;
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool inside = static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint());
            const bool clicked = mouse->button() == Qt::LeftButton && m_pressed == watched && inside;
            m_pressed = nullptr;
            if (clicked)
                m_form.click(name->second);
            return true;
        }
        default:
            return false;
        }
    }

private:
    bool windowEvent(QEvent* event)
    {
        if (event->type() == QEvent::Close) {
            // Only the user closes a window through its frame; the run-time hides and deletes instead.
            event->ignore();
            m_runtime.closeRequested(m_form);
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;

        const KeyStroke key = toKeyStroke(*static_cast<QKeyEvent*>(event));
        const WindowDescription& description = m_form.description();
        if (description.keyPreview && typesCharacter(key)) {
            m_form.keyPress(key.text.front());
            return true;
        }
        if (const ControlDescription* target = buttonForKey(description, key, focusedControl(m_window))) {
            if (auto* button = qobject_cast<QAbstractButton*>(m_window.controls.at(controlKey(*target)));
                button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return false;
    }

public:
    // The name of the window's focused control, or "" when none of its controls has the focus.
    static std::string focusedControl(const Window& window)
    {
        const QWidget* focused = window.top ? window.top->focusWidget() : nullptr;
        return focused && window.controls.contains(focused->objectName())
                   ? focused->objectName().toStdString()
                   : std::string();
    }

    // The toolkit hands a shared access key to one of its owners in turn,
    // starting anywhere; the run-time's rule decides where the focus goes.
    bool accessKeyEvent(const QShortcutEvent& event)
    {
        if (!event.isAmbiguous() || event.key().isEmpty())
            return false;
        const QString letter = QKeySequence(event.key()[0].key()).toString();
        if (letter.size() != 1)
            return false;
        const AccessKeyAction action = accessKeyAction(
            m_form.description(), letter.front().toLower().unicode(), focusedControl(m_window));
        if (action.control)
            m_window.controls.at(controlKey(*action.control))->setFocus(Qt::ShortcutFocusReason);
        return true;
    }

    QtRuntime& m_runtime;
    Form& m_form;
    Window& m_window; // valid until detached
    std::set<QObject*> m_accessKeyOwners;
    std::map<QObject*, std::string_view> m_names;
    QObject* m_pressed = nullptr;
    bool m_detached = false;
};

QtRuntime::QtRuntime(std::string applicationTitle)
    : Runtime(std::move(applicationTitle)), m_exit([](int exitCode) { QCoreApplication::exit(exitCode); }),
      m_context(std::make_unique<QObject>()), m_toolkitGerman(std::make_unique<QTranslator>())
{
    installApplicationLook();
    // Every text the user reads is German, the toolkit's own ones too (the
    // text box's context menu, the message box's buttons), whatever the
    // user's language; numbers still follow the user's locale.
    if (m_toolkitGerman->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                              QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_toolkitGerman.get());

    QObject::connect(qApp, &QApplication::focusChanged, m_context.get(), [this](QWidget* old, QWidget* now) {
        for (const auto& [form, window] : m_windows)
            if ((old && old->window() == window->top) || (now && now->window() == window->top))
                markDefaultButton(*form, *window);
    });
}

void QtRuntime::markDefaultButton(const Form& form, const Window& window)
{
    const ControlDescription* chosen = defaultButton(form.description(), Events::focusedControl(window));
    for (const ControlDescription& control : form.description().controls)
        if (control.kind == ControlKind::CommandButton)
            static_cast<QPushButton*>(window.controls.at(controlKey(control)))
                ->setDefault(&control == chosen);
}

QtRuntime::~QtRuntime()
{
    QCoreApplication::removeTranslator(m_toolkitGerman.get());
    for (auto& [form, window] : m_windows) {
        window->events->detach();
        delete window->top;
    }
}

QtRuntime::Window& QtRuntime::windowOf(const Form& form) const
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        throw Error("Das Fenster " + std::string(form.description().name) + " ist nicht geladen.");
    return *it->second;
}

QWidget* QtRuntime::window(const Form& form) const
{
    const auto it = m_windows.find(&form);
    return it == m_windows.end() ? nullptr : it->second->top.data();
}

QWidget* QtRuntime::control(const Form& form, std::string_view name) const
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        return nullptr;
    const auto control = it->second->controls.find(toQString(name));
    return control == it->second->controls.end() ? nullptr : control->second;
}

QWidget* QtRuntime::controlOf(const Form& form, std::string_view name) const
{
    if (QWidget* widget = control(form, name))
        return widget;
    throw Error("Das Fenster " + std::string(form.description().name) + " hat kein Steuerelement " +
                std::string(name) + ".");
}

void QtRuntime::createWindow(Form& form)
{
    const WindowDescription& description = form.description();
    auto window = std::make_unique<Window>();

    const QSize clientSize(twipsToPixels(description.clientWidth), twipsToPixels(description.clientHeight));
    const bool titleBar =
        description.border == WindowBorder::Sizable || description.controlBox || !description.caption.empty();
    if (titleBar) {
        window->top = new QWidget(nullptr);
        window->client = window->top;
        window->top->resize(clientSize);
        // A window without a taskbar entry of its own is a tool window.
        Qt::WindowFlags flags = !description.showInTaskbar                    ? Qt::Tool
                                : description.border == WindowBorder::Sizable ? Qt::Window
                                                                              : Qt::Dialog;
        if (description.border == WindowBorder::FixedDialog) {
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
            if (description.controlBox)
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (description.minButton)
                flags |= Qt::WindowMinimizeButtonHint;
            if (description.maxButton)
                flags |= Qt::WindowMaximizeButtonHint;
            window->top->setFixedSize(clientSize);
        }
        window->top->setWindowFlags(flags);
    } else {
        // No caption and no close box: a bare box with a raised dialog border
        // and no title bar, which the window draws itself.
        auto* box = new QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
        box->setFrameStyle(QFrame::Panel | QFrame::Raised);
        box->setLineWidth(3);
        const int border = box->frameWidth();
        box->setFixedSize(clientSize + QSize(2 * border, 2 * border));
        window->top = box;
        window->client = new QWidget(box);
        window->client->setObjectName(QStringLiteral("client"));
        window->client->setGeometry(QRect(QPoint(border, border), clientSize));
    }

    QWidget* top = window->top;
    top->setObjectName(toQString(description.name));
    top->setWindowTitle(toQString(description.caption));
    top->setFont(toQFont(description.font));
    if (!description.icon.empty())
        top->setWindowIcon(QIcon(picturePath(description.icon)));
    if (description.backColour) {
        QPalette palette = top->palette();
        palette.setColor(QPalette::Window, toQColor(*description.backColour));
        top->setPalette(palette);
        top->setAutoFillBackground(true);
    }

    // What a screen reader announces: a window (or dialog) role for the
    // top-level widget, and the application title for a window without caption.
    top->setProperty(kAccessibleRole,
                     description.border == WindowBorder::FixedDialog && description.controlBox
                         ? int(QAccessible::Dialog)
                         : int(QAccessible::Window));
    if (description.caption.empty())
        top->setAccessibleName(toQString(applicationTitle()));

    window->events = new Events(*this, form, *window);
    top->installEventFilter(window->events);

    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (const ControlDescription& control : description.controls) {
        QWidget* parent = window->client;
        if (!control.container.empty())
            parent = window->controls.at(toQString(control.container));

        const QString text = toQString(control.text);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setText(text);
            label->setAlignment(toQtAlignment(control.alignment) | Qt::AlignTop);
            label->setWordWrap(!control.autoSize);
            widget = label;
            break;
        }
        case ControlKind::Frame:
            widget = new QGroupBox(text, parent);
            break;
        case ControlKind::OptionButton:
            widget = new OptionButton(text, parent);
            break;
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(text, parent);
            edit->setAlignment(toQtAlignment(control.alignment) | Qt::AlignVCenter);
            widget = edit;
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(text, parent);
            // A focused command button takes Enter itself; the default button takes it otherwise.
            button->setAutoDefault(true);
            button->setDefault(control.isDefault);
            window->events->watchAccessKey(button);
            QObject::connect(button, &QPushButton::clicked, top,
                             [&form, name = control.name] { form.click(name); });
            widget = button;
            break;
        }
        case ControlKind::Image:
        case ControlKind::PictureBox: {
            auto* picture = new QLabel(parent);
            const QPixmap pixmap(picturePath(control.picture));
            picture->setPixmap(pixmap);
            picture->setScaledContents(control.kind == ControlKind::Image);
            if (control.sunken) {
                picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                picture->setLineWidth(2);
            }
            widget = picture;
            break;
        }
        case ControlKind::Line:
            widget = new QWidget(parent);
            widget->setAutoFillBackground(true);
            break;
        }

        widget->setObjectName(controlKey(control));
        // A control without a font of its own uses the window's, which it
        // inherits unless its container has another one.
        const ControlDescription* container =
            control.container.empty() ? nullptr : description.find(control.container);
        if (control.font || (container && container->font))
            widget->setFont(toQFont(control.font.value_or(description.font)));
        widget->setGeometry(toPixels(control.rect));
        if (control.kind == ControlKind::PictureBox && control.autoSize) {
            const int border = static_cast<QLabel*>(widget)->frameWidth();
            const QSize size = static_cast<QLabel*>(widget)->pixmap().deviceIndependentSize().toSize();
            widget->resize(size + QSize(2 * border, 2 * border));
        }

        // A standard push button shows no background colour of its own.
        const bool paintsBackground = control.backColour && control.kind != ControlKind::CommandButton;
        if (control.foreColour || paintsBackground) {
            QPalette palette = widget->palette();
            if (control.foreColour) {
                palette.setColor(QPalette::WindowText, toQColor(*control.foreColour));
                palette.setColor(QPalette::Text, toQColor(*control.foreColour));
            }
            if (paintsBackground) {
                palette.setColor(QPalette::Window, toQColor(*control.backColour));
                widget->setAutoFillBackground(true);
            }
            widget->setPalette(palette);
        }

        if (ownsItsClicks(control.kind))
            window->events->watchClicks(widget, control.name);
        if (takesFocus(control.kind) && control.tabIndex >= 0) {
            widget->setFocusPolicy(Qt::StrongFocus);
            tabOrder.emplace_back(control.tabIndex, widget);
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }

        window->controls.emplace(widget->objectName(), widget);
    }

    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    // A label directly before a text box in the tab order is its caption:
    // the text box takes its name from it.
    for (const ControlDescription& label : description.controls) {
        if (label.kind != ControlKind::Label || label.tabIndex < 0)
            continue;
        for (const ControlDescription& next : description.controls)
            if (next.kind == ControlKind::TextBox && next.tabIndex == label.tabIndex + 1)
                static_cast<QLabel*>(window->controls.at(controlKey(label)))
                    ->setBuddy(window->controls.at(controlKey(next)));
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    if (!tabOrder.empty())
        tabOrder.front().second->setFocus(Qt::OtherFocusReason);

    m_windows.emplace(&form, std::move(window));
}

void QtRuntime::destroyWindow(Form& form)
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        return;
    it->second->events->detach();
    if (QWidget* top = it->second->top) {
        top->hide();
        top->deleteLater();
    }
    m_windows.erase(it);
    QTimer::singleShot(0, m_context.get(), [this] { releaseUnloaded(); });
}

void QtRuntime::endProcess(int exitCode)
{
    // Every window disappears at once; none gets a close event.
    for (auto& [form, window] : m_windows) {
        window->events->detach();
        if (window->top)
            window->top->hide();
    }
    m_exit(exitCode);
}

void QtRuntime::show(Form& form)
{
    Window& window = windowOf(form);
    QWidget* top = window.top;
    if (!window.shownBefore) {
        window.shownBefore = true;
        const WindowDescription& description = form.description();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        FrameMargins frame;
        if (description.startPosition == StartPosition::CentreScreen && top->isWindow() &&
            !top->windowFlags().testFlag(Qt::FramelessWindowHint)) {
            // The window manager counts in device pixels, the widgets in logical ones.
            const FrameMargins device = announcedFrameMargins(*top);
            const double ratio = top->devicePixelRatioF();
            const auto logical = [ratio](int pixels) {
                return static_cast<int>(std::lround(pixels / ratio));
            };
            frame = {logical(device.left), logical(device.top), logical(device.right),
                     logical(device.bottom)};
        }
        const PixelPoint client =
            firstShowClientPosition(description, top->width(), top->height(), frame,
                                    {screen.left(), screen.top(), screen.width(), screen.height()},
                                    static_cast<double>(kReferenceDpi) / 1440.0);
        // The geometry of a top-level widget is that of its client area, without the frame.
        top->setGeometry(QRect(QPoint(client.x, client.y), top->size()));
    }
    top->show();
    top->raise();
    top->activateWindow();
}

void QtRuntime::hide(Form& form)
{
    windowOf(form).top->hide();
}

void QtRuntime::messageBox(std::string_view text)
{
    // The box belongs to the window the user was working in, which gets the
    // focus back when the box is closed, as on the platform.
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, toQString(applicationTitle()), toQString(text), QMessageBox::Ok,
                    active);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (active && active->isVisible()) {
        active->raise();
        active->activateWindow();
    }
}

bool QtRuntime::readSelected(const Form& form, const ControlDescription& control) const
{
    return static_cast<QRadioButton*>(controlOf(form, control.name))->isChecked();
}

void QtRuntime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    QWidget* widget = controlOf(form, control.name);
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(widget);
        label->setText(toQString(text));
        if (control.autoSize) {
            const QRect before = label->geometry();
            const QSize size = label->sizeHint();
            const PixelRect after =
                autoSizedRect(control, {before.x(), before.y(), before.width(), before.height()},
                              size.width(), size.height());
            label->setGeometry(after.left, after.top, after.width, after.height);
        }
        break;
    }
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(toQString(text));
        break;
    default:
        static_cast<QAbstractButton*>(widget)->setText(toQString(text));
        break;
    }
}

void QtRuntime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    static_cast<QLineEdit*>(controlOf(form, control.name))->setText(toQString(text));
}

void QtRuntime::writeWindowCaption(Form& form, std::string_view text)
{
    windowOf(form).top->setWindowTitle(toQString(text));
}

std::string QtRuntime::decimalSeparator() const
{
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace forms
