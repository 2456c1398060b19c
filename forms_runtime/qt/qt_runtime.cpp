// SPDX-License-Identifier: MIT
#include "qt_runtime.h"

#include "keyboard.h"
#include "placement.h"
#include "qt_frame_margins.h"
#include "qt_look.h"
#include "qt_option_button.h"
#include "system_colours.h"
#include "units.h"
#include "window_rules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace forms {
namespace {

// A key as the toolkit reports it, in the run-time's words: the keys the
// rules tell apart, the text the key types and the modifiers held.
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
    case Qt::Key_Up:
        key.key = KeyStroke::Key::Up;
        break;
    case Qt::Key_Down:
        key.key = KeyStroke::Key::Down;
        break;
    case Qt::Key_Left:
        key.key = KeyStroke::Key::Left;
        break;
    case Qt::Key_Right:
        key.key = KeyStroke::Key::Right;
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

// A widget's object name: the control's name, with its element number for
// an element of a control array ("Option1(2)"), as tests and the
// accessibility tree find it.
QString controlKey(const ControlDescription& control)
{
    QString key = toQString(control.name);
    if (control.index >= 0)
        key += QStringLiteral("(%1)").arg(control.index);
    return key;
}

} // namespace

struct QtRuntime::Window final : Runtime::WindowRecord
{
    QPointer<QWidget> top;
    QWidget* client = nullptr; // where the controls live: the window, or its inside for bordered boxes
    Events* events = nullptr;
    QWidget* status = nullptr; // speaks announcements to screen readers; made on the first
};

// Delivers the toolkit's events to the window's handlers.
class QtRuntime::Events final : public QObject
{
public:
    Events(QtRuntime& runtime, Form& form, Window& window)
        : QObject(window.top), m_runtime(runtime), m_form(form), m_window(window)
    {}

    void watchClicks(QWidget* widget, const ControlDescription& control)
    {
        m_clickKeepers[widget] = &control;
        widget->installEventFilter(this);
    }

    // Access keys stay registered with the toolkit, which tells screen
    // readers about them; what a shared one does is the run-time's rule.
    void watchAccessKey(QWidget* button)
    {
        m_accessKeyOwners.insert(button);
        button->installEventFilter(this);
    }

    // An option button moves within its group by the run-time's rule, not
    // by the toolkit's, which goes by the buttons' places on the screen.
    void watchArrows(QWidget* option)
    {
        m_arrowTakers.insert(option);
        option->installEventFilter(this);
    }

    // A text box would keep the keys typed into it from its window; the
    // run-time sees each first (key preview, Enter, Escape) and leaves it
    // the rest.
    void watchKeys(QWidget* textBox)
    {
        m_keyTakers.insert(textBox);
        textBox->installEventFilter(this);
    }

    // From now on every event passes untouched: the window was unloaded or
    // the run-time is going, and its widgets may outlive both for a moment.
    void detach() { m_detached = true; }

protected:
    // No exception may unwind through the toolkit's code: one that escapes
    // the run-time (out of memory while laying a window out, say) is
    // reported and ends the program, as an error in a handler does.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        try {
            return filter(watched, event);
        } catch (...) {
            m_runtime.failWithCurrentException();
            return true;
        }
    }

private:
    bool filter(QObject* watched, QEvent* event)
    {
        if (m_detached)
            return false;
        if (watched == m_window.top)
            return windowEvent(event);
        if (event->type() == QEvent::Shortcut && m_accessKeyOwners.contains(watched))
            return accessKeyEvent(*static_cast<QShortcutEvent*>(event));
        if (event->type() == QEvent::FocusIn && m_arrowTakers.contains(watched))
            return optionFocused(*static_cast<QWidget*>(watched), *static_cast<QFocusEvent*>(event));
        if (event->type() == QEvent::KeyPress && m_keyTakers.contains(watched))
            return m_runtime.keyPressed(m_form, toKeyStroke(*static_cast<QKeyEvent*>(event)));
        if (event->type() == QEvent::KeyPress && m_arrowTakers.contains(watched)) {
            const KeyStroke key = toKeyStroke(*static_cast<QKeyEvent*>(event));
            return optionForArrow(m_form.description(), key, focusedName()) &&
                   m_runtime.keyPressed(m_form, key);
        }

        const auto control = m_clickKeepers.find(watched);
        if (control == m_clickKeepers.end())
            return false;
        // The toolkit gives the widget the mouse from the press on, so the
        // release comes here wherever it happens; the run-time decides what
        // is a click.
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                m_runtime.pointerPressed(m_form, control->second);
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                return true;
            const bool inside = static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint());
            m_runtime.pointerReleased(m_form, inside ? control->second : nullptr);
            return true;
        }
        default:
            return false;
        }
    }

    // The toolkit moves the focus into an option group by Tab at the group's
    // first option and by Shift+Tab at its last, chosen or not; which
    // option takes it is the run-time's rule.
    bool optionFocused(QWidget& option, const QFocusEvent& event)
    {
        if (event.reason() != Qt::TabFocusReason && event.reason() != Qt::BacktabFocusReason)
            return false;
        const ControlDescription* control = m_runtime.controlOf(m_form, &option);
        if (!control)
            return false;
        const ControlDescription& stop = m_runtime.tabbedIntoOptionGroup(m_form, *control);
        if (&stop != control)
            m_runtime.nativeControl(m_form, stop)->setFocus(event.reason());
        return false;
    }

    bool windowEvent(QEvent* event)
    {
        if (event->type() == QEvent::Paint)
            m_runtime.windowPainted();
        if (event->type() == QEvent::WindowActivate)
            m_runtime.windowActivated(m_form);
        if (event->type() == QEvent::WindowDeactivate)
            m_runtime.windowDeactivated(m_form);
        if (event->type() == QEvent::Close) {
            // Only the user closes a window through its frame; the run-time hides and deletes instead.
            event->ignore();
            m_runtime.closeRequested(m_form);
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;

        // What a key does is the run-time's decision; what it leaves goes to the control.
        return m_runtime.keyPressed(m_form, toKeyStroke(*static_cast<QKeyEvent*>(event)));
    }

    // The name of the window's focused control, or "" when none of its controls has the focus.
    std::string_view focusedName() const
    {
        const ControlDescription* focused = m_runtime.focusedControl(m_form);
        return focused ? focused->name : std::string_view();
    }

public:
    // The toolkit hands an access key to one of its owners (a shared one in
    // turn, starting anywhere); the run-time decides what it does.
    bool accessKeyEvent(const QShortcutEvent& event)
    {
        if (event.key().isEmpty())
            return false;
        const QString letter = QKeySequence(event.key()[0].key()).toString();
        if (letter.size() != 1)
            return false;
        return m_runtime.keyPressed(m_form, {.text = {letter.front().toLower().unicode()}, .alt = true});
    }

    QtRuntime& m_runtime;
    Form& m_form;
    Window& m_window; // valid until detached
    std::set<QObject*> m_accessKeyOwners;
    std::set<QObject*> m_arrowTakers;
    std::set<QObject*> m_keyTakers;
    std::map<QObject*, const ControlDescription*> m_clickKeepers; // the controls that keep their clicks
    bool m_detached = false;
};

// Keeps what the user does from reaching the windows the run-time blocks:
// clicks, keys, the wheel, access keys and a close through the frame. It
// watches the application's events only while a window is blocked.
class QtRuntime::InputGate : public QObject
{
public:
    void block(const QWidget* top, bool blocked)
    {
        const bool wasWatching = !m_blocked.empty();
        if (blocked)
            m_blocked.insert(top);
        else
            m_blocked.erase(top);
        if (wasWatching && m_blocked.empty())
            qApp->removeEventFilter(this);
        else if (!wasWatching && !m_blocked.empty())
            qApp->installEventFilter(this);
    }
    bool blocks(const QWidget* top) const { return m_blocked.contains(top); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::Close:
            return watched->isWidgetType() && blocks(static_cast<QWidget*>(watched)->window());
        default:
            return false;
        }
    }

private:
    std::set<const QWidget*> m_blocked;
};

QtRuntime::QtRuntime(std::string applicationTitle)
    : Runtime(std::move(applicationTitle)), m_exit([](int exitCode) { QCoreApplication::exit(exitCode); }),
      m_context(std::make_unique<QObject>()), m_toolkitGerman(std::make_unique<QTranslator>()),
      m_frame(std::make_unique<AnnouncedFrame>()), m_gate(std::make_unique<InputGate>())
{
    installApplicationLook();
    // Every text the user reads is German, the toolkit's own ones too (the
    // text box's context menu, the message box's buttons), whatever the
    // user's language; numbers still follow the user's locale.
    if (m_toolkitGerman->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                              QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_toolkitGerman.get());

    // Like the events, the signal's slot lets no exception into the toolkit.
    QObject::connect(qApp, &QApplication::focusChanged, m_context.get(), [this](QWidget* old, QWidget* now) {
        try {
            for (const Form* form : loadedForms()) {
                const QWidget* top = windowOf(*form).top;
                if ((old && old->window() == top) || (now && now->window() == top))
                    markDefaultButton(*form);
            }
        } catch (...) {
            failWithCurrentException();
        }
    });
}

void QtRuntime::windowPainted()
{
    // Once the first window is on the screen, and not before, the window
    // manager is asked about frames (the answer is needed at the first show
    // of a centred window), and whatever waits for idle time may run.
    if (m_painted)
        return;
    m_painted = true;
    QTimer::singleShot(0, m_context.get(), [this] { m_frame->ask(); });
    for (std::function<void()>& step : std::exchange(m_afterFirstPaint, {}))
        QTimer::singleShot(0, m_context.get(), std::move(step));
}

// A zero timer runs when the event loop has nothing else to do; before the
// first paint the steps wait, so that the first window is not delayed.
void QtRuntime::whenIdle(std::function<void()> step)
{
    if (m_painted)
        QTimer::singleShot(0, m_context.get(), std::move(step));
    else
        m_afterFirstPaint.push_back(std::move(step));
}

void QtRuntime::prepareText(const FontSpec& font, std::u32string_view text)
{
    // Drawn into an image that nothing shows: the toolkit sets up the font's
    // engine and keeps the glyphs it renders. A glyph is kept once for each
    // quarter of a pixel it may start at, so the text is drawn four times,
    // a quarter of a device pixel further right each time.
    const QFont drawn = toQFont(font);
    const QFontMetrics metrics(drawn);
    const QString characters = QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
    const qreal ratio = qApp->devicePixelRatio();
    QImage image(QSize(metrics.maxWidth() * static_cast<int>(text.size() + 1), metrics.height()) * ratio,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setFont(drawn);
    for (int quarter = 0; quarter < 4; ++quarter)
        painter.drawText(QPointF(quarter / (4 * ratio), metrics.ascent()), characters);
}

// The toolkit draws the default border on the button marked as default;
// which one that is follows the focus, by the run-time's rule.
void QtRuntime::markDefaultButton(const Form& form)
{
    const ControlDescription* chosen = currentDefaultButton(form);
    for (const ControlDescription& control : form.description().controls)
        if (control.kind == ControlKind::CommandButton)
            static_cast<QPushButton*>(nativeControl(form, control))->setDefault(&control == chosen);
}

// The windows still there (the run ended) go with the run-time; their
// filters let every event pass while the widgets are deleted.
QtRuntime::~QtRuntime()
{
    QCoreApplication::removeTranslator(m_toolkitGerman.get());
    forEachWindowRecord([](WindowRecord& record) {
        auto& window = static_cast<Window&>(record);
        if (window.events)
            window.events->detach();
        delete window.top;
    });
}

// The back end's record of a loaded window; a window that is not loaded is
// an error of the run-time's caller, reported in German.
QtRuntime::Window& QtRuntime::windowOf(const Form& form) const
{
    auto* window = static_cast<Window*>(windowRecord(form));
    if (!window)
        throw notLoaded(form.description());
    return *window;
}

// For tests and probes: nullptr instead of an error.
QWidget* QtRuntime::window(const Form& form) const
{
    const auto* window = static_cast<const Window*>(windowRecord(form));
    return window ? window->top.data() : nullptr;
}

QWidget* QtRuntime::controlNamed(const Form& form, std::string_view name, int index) const
{
    const ControlDescription* description = form.description().find(name, index);
    return description ? nativeControl(form, *description) : nullptr;
}

QWidget* QtRuntime::nativeControl(const Form& form, const ControlDescription& control) const
{
    return static_cast<QWidget*>(Runtime::nativeControl(form, control));
}

namespace {

// The top-level widget: a window with a title bar as the description's
// border asks, or a bare box with a raised dialog border that it draws
// itself. Sets `client` to where the controls live.
QWidget* createTopLevel(const WindowDescription& description, QWidget*& client)
{
    const QSize clientSize(twipsToPixels(description.clientWidth), twipsToPixels(description.clientHeight));
    const WindowKind kind = windowKind(description);
    if (kind == WindowKind::Splash) {
        auto* box = new QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
        box->setFrameStyle(QFrame::Panel | QFrame::Raised);
        box->setLineWidth(3);
        const int border = box->frameWidth();
        box->setFixedSize(clientSize + QSize(2 * border, 2 * border));
        client = new QWidget(box);
        client->setObjectName(QStringLiteral("client"));
        client->setGeometry(QRect(QPoint(border, border), clientSize));
        return box;
    }
    auto* top = new QWidget(nullptr);
    client = top;
    top->resize(clientSize);
    // A dialog, without a taskbar entry of its own, is a tool window to the
    // window manager; a main window with a fixed frame a dialog frame.
    Qt::WindowFlags flags = kind == WindowKind::Dialog                    ? Qt::Tool
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
        top->setFixedSize(clientSize);
    }
    top->setWindowFlags(flags);
    return top;
}

// The widget of one control, with its text and kind-specific settings.
QWidget* createControlWidget(const ControlDescription& control, QWidget* parent)
{
    const QString text = toQString(control.text);
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setAlignment(toQtAlignment(control.alignment) | Qt::AlignTop);
        label->setWordWrap(wrapsText(control));
        return label;
    }
    case ControlKind::Frame:
        return new QGroupBox(shownAsIs(text), parent);
    case ControlKind::OptionButton:
        return new OptionButton(text, parent);
    case ControlKind::TextBox: {
        auto* edit = new QLineEdit(text, parent);
        edit->setAlignment(toQtAlignment(control.alignment) | Qt::AlignVCenter);
        return edit;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(text, parent);
        // Auto-default, so that the style keeps room for the default border
        // around every button; which button shows it is markDefaultButton's,
        // and Enter reaches the run-time before any button sees it.
        button->setAutoDefault(true);
        button->setDefault(control.isDefault);
        return button;
    }
    case ControlKind::Image:
    case ControlKind::PictureBox: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(QPixmap(picturePath(control.picture)));
        picture->setScaledContents(control.kind == ControlKind::Image);
        if (control.sunken) {
            picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            picture->setLineWidth(2);
        }
        return picture;
    }
    case ControlKind::Line:
        break;
    }
    // A line is a surface of its colour.
    auto* line = new QWidget(parent);
    line->setAutoFillBackground(true);
    return line;
}

// Paints a control with the colours the run-time's rule gives it, changing
// only what differs from the palette the widget inherits: a surface of
// another colour than its container's is filled, a text of another colour
// than the inherited one takes all text roles.
void paintWith(QWidget& widget, const ControlColours& colours, ControlKind kind)
{
    const bool box = kind == ControlKind::TextBox;
    const bool button = kind == ControlKind::CommandButton;
    const QPalette::ColorRole surfaceRole = box      ? QPalette::Base
                                            : button ? QPalette::Button
                                                     : QPalette::Window;
    const QPalette::ColorRole textRole = box      ? QPalette::Text
                                         : button ? QPalette::ButtonText
                                                  : QPalette::WindowText;
    const QColor surface = toQColor(colours.surface);
    const QColor text = toQColor(colours.text);
    QPalette palette = widget.palette();
    const bool newSurface = palette.color(surfaceRole) != surface;
    const bool newText = palette.color(textRole) != text && kind != ControlKind::Line;
    if (!newSurface && !newText)
        return;
    if (newSurface) {
        palette.setColor(surfaceRole, surface);
        // A text box and a button paint their surface from the palette;
        // the others fill theirs only where it differs from their container's.
        if (!box && !button)
            widget.setAutoFillBackground(true);
    }
    if (newText)
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, text);
    widget.setPalette(palette);
}

// Font, rectangle and colours of a control as its description gives them.
void placeAndPaint(QWidget& widget, const ControlDescription& control, const WindowDescription& window)
{
    // A control without a font of its own uses the window's, which it
    // inherits unless its container has another one.
    const ControlDescription* container =
        control.container.empty() ? nullptr : window.find(control.container);
    if (control.font || (container && container->font))
        widget.setFont(toQFont(control.font.value_or(window.font)));
    widget.setGeometry(toPixels(control.rect));
    if (control.kind == ControlKind::PictureBox && control.autoSize) {
        auto& picture = static_cast<QLabel&>(widget);
        const int border = picture.frameWidth();
        widget.resize(picture.pixmap().deviceIndependentSize().toSize() + QSize(2 * border, 2 * border));
    }

    paintWith(widget, controlColours(control, false), control.kind);
}

} // namespace

// Builds the top-level widget for the description's kind, invisible, with
// its caption, icon, font, colour and what screen readers say of it, then
// every control; registers them all with the run-time.
void QtRuntime::createWindow(Form& form)
{
    const WindowDescription& description = form.description();
    auto made = std::make_unique<Window>();
    made->top = createTopLevel(description, made->client);
    QWidget* top = made->top;
    // Registered from the start, so that a window left half built goes whole.
    Window& window = *made;
    registerWindow(form, top, std::move(made));
    top->setObjectName(toQString(description.name));
    top->setWindowTitle(toQString(description.caption));
    top->setFont(toQFont(description.font));
    if (!description.icon.empty())
        top->setWindowIcon(QIcon(picturePath(description.icon)));
    if (const QColor surface = toQColor(windowSurface(description, false));
        top->palette().color(QPalette::Window) != surface) {
        QPalette palette = top->palette();
        palette.setColor(QPalette::Window, surface);
        top->setPalette(palette);
        top->setAutoFillBackground(true);
    }
    // What a screen reader announces: the window's role, the application
    // title for a window without caption, and what the window asks of the user.
    setAccessibleRole(*top, isDialog(description));
    if (description.caption.empty())
        top->setAccessibleName(toQString(accessibleName(description, applicationTitle())));
    top->setAccessibleDescription(toQString(accessibleDescription(description)));

    window.events = new Events(*this, form, window);
    top->installEventFilter(window.events);
    for (const ControlDescription& control : description.controls)
        createControl(form, window, control);
    arrangeFocus(form);
}

// One control's widget, in its container, placed and painted as described;
// the events the run-time decides about are watched, the clicks of command
// buttons go to the handlers.
void QtRuntime::createControl(Form& form, Window& window, const ControlDescription& control)
{
    QWidget* parent = control.container.empty()
                          ? window.client
                          : nativeControl(form, *form.description().find(control.container));
    QWidget* widget = createControlWidget(control, parent);
    widget->setObjectName(controlKey(control));
    placeAndPaint(*widget, control, form.description());
    if (control.kind == ControlKind::TextBox)
        window.events->watchKeys(widget);
    if (control.kind == ControlKind::OptionButton) {
        window.events->watchArrows(widget);
        window.events->watchAccessKey(widget);
    }
    if (control.kind == ControlKind::CommandButton) {
        window.events->watchAccessKey(widget);
        QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, window.top,
                         [&form, name = control.name] { form.click(name); });
    }
    if (swallowsClicks(control.kind))
        window.events->watchClicks(widget, control);
    widget->setFocusPolicy(isTabStop(control) ? Qt::StrongFocus : Qt::NoFocus);
    if (!control.accessibleName.empty())
        widget->setAccessibleName(toQString(control.accessibleName));
    registerControl(form, control, widget);
}

// The toolkit's focus chain in the description's tab order, so that Tab
// and Shift+Tab walk the Tab stops the run-time names.
void QtRuntime::arrangeFocus(const Form& form)
{
    const WindowDescription& description = form.description();
    const std::vector<const ControlDescription*> order = tabOrder(description);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(nativeControl(form, *order[i - 1]), nativeControl(form, *order[i]));
    // A text box takes its name for screen readers from the label that names it.
    for (const ControlDescription& control : description.controls)
        if (const ControlDescription* label = labelOf(description, control))
            static_cast<QLabel*>(nativeControl(form, *label))->setBuddy(nativeControl(form, control));
}

// The widget goes once the toolkit has finished with the event being
// handled, which may be one of its own; from now on no event of it reaches
// the run-time.
void QtRuntime::destroyWindow(Form& form)
{
    auto* window = static_cast<Window*>(windowRecord(form));
    if (!window)
        return;
    if (window->events)
        window->events->detach();
    if (QWidget* top = window->top) {
        top->hide();
        top->deleteLater();
    }
}

// No event reaches a handler any more; the event loop ends with the code.
void QtRuntime::endProcess(int exitCode)
{
    for (const Form* form : loadedForms())
        if (Events* events = windowOf(*form).events)
            events->detach();
    m_exit(exitCode);
}

// The first show's measures, in logical pixels: a top-level widget's size
// is its client area's; the screen is the primary one, where a centred
// window appears.
PixelSize QtRuntime::clientSize(const Form& form)
{
    const QWidget* top = windowOf(form).top;
    return {top->width(), top->height()};
}

// The frame the window manager draws, as it announced it; a bare box has none.
FrameMargins QtRuntime::frameMargins(const Form& form)
{
    const QWidget* top = windowOf(form).top;
    if (top->windowFlags().testFlag(Qt::FramelessWindowHint))
        return {};
    // The window manager counts in device pixels, the widgets in logical ones.
    const FrameMargins device = m_frame->margins();
    const double ratio = top->devicePixelRatioF();
    const auto logical = [ratio](int pixels) { return static_cast<int>(std::lround(pixels / ratio)); };
    return {logical(device.left), logical(device.top), logical(device.right), logical(device.bottom)};
}

PixelRect QtRuntime::screenArea(const Form& /*form*/)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {screen.left(), screen.top(), screen.width(), screen.height()};
}

double QtRuntime::pixelsPerTwip(const Form& /*form*/)
{
    // Laid out in logical pixels, which Qt's high-DPI scaling enlarges.
    return static_cast<double>(kReferenceDpi) / 1440.0;
}

void QtRuntime::placeClient(Form& form, PixelPoint clientTopLeft)
{
    // The geometry of a top-level widget is that of its client area, without the frame.
    QWidget* top = windowOf(form).top;
    top->setGeometry(QRect(QPoint(clientTopLeft.x, clientTopLeft.y), top->size()));
}

// Visible, in front and active; the window manager activates it in its own
// time, and the run-time gives the focus then.
void QtRuntime::showWindow(Form& form)
{
    QWidget* top = windowOf(form).top;
    top->show();
    top->raise();
    top->activateWindow();
}

// A widget's geometry is relative to its parent: the window's client area,
// or the frame it lies in.
PixelRect QtRuntime::controlRect(const Form& form, const ControlDescription& control)
{
    const QRect rect = nativeControl(form, control)->geometry();
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

void QtRuntime::placeControl(Form& form, const ControlDescription& control, const PixelRect& rect)
{
    nativeControl(form, control)->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

// A label's size hint is its text on one line in its own font.
PixelSize QtRuntime::textSize(const Form& form, const ControlDescription& control)
{
    const QSize size = nativeControl(form, control)->sizeHint();
    return {size.width(), size.height()};
}

void QtRuntime::hideWindow(Form& form)
{
    windowOf(form).top->hide();
}

// The widget that has the window's focus, or would have it once the
// window is active again, named through the registry.
const ControlDescription* QtRuntime::focusedControl(const Form& form)
{
    const QWidget* top = windowOf(form).top;
    return top ? controlOf(form, top->focusWidget()) : nullptr;
}

// As an access key moves it: an option group that the focus enters this
// way is not redirected to its chosen option.
void QtRuntime::focusControl(Form& form, const ControlDescription& control)
{
    nativeControl(form, control)->setFocus(Qt::ShortcutFocusReason);
}

// As a click would: a command button's clicked signal reaches its handler,
// an option button is chosen.
void QtRuntime::pressControl(Form& form, const ControlDescription& control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(nativeControl(form, control)))
        button->click();
}

// The application's active window, if it is one of the program's, and its
// focused control.
Runtime::FocusPlace QtRuntime::focusPlace() const
{
    Form* form = formOf(QApplication::activeWindow());
    if (!form)
        return {};
    return {form, controlOf(*form, windowOf(*form).top->focusWidget())};
}

void QtRuntime::activateWindow(Form& form)
{
    QWidget* top = windowOf(form).top;
    top->raise();
    top->activateWindow();
}

// The toolkit's message box, translated with the German texts of the
// toolkit, modal to the whole program, in front of its owner.
void QtRuntime::runMessageBox(std::string_view text, std::string_view title, Form* owner)
{
    QMessageBox box(QMessageBox::NoIcon, toQString(title), toQString(text), QMessageBox::Ok,
                    owner ? windowOf(*owner).top.data() : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// A disabled widget would be drawn grey; the gate only holds the input back.
void QtRuntime::blockInput(Form& form, bool blocked)
{
    m_gate->block(windowOf(form).top, blocked);
}

bool QtRuntime::takesInput(const Form& form) const
{
    const QWidget* top = windowOf(form).top;
    const QWidget* modal = QApplication::activeModalWidget();
    return !m_gate->blocks(top) && (!modal || modal == top);
}

void QtRuntime::announceStatus(Form& form, const ControlDescription& control, std::string_view text)
{
    // A notification that is shown anew is what screen readers speak without
    // moving the focus; it has no size, so nothing visible changes.
    Window& window = windowOf(form);
    if (!window.status) {
        window.status = new QWidget(window.client);
        window.status->setObjectName(QStringLiteral("status"));
        makeStatusNotifier(*window.status);
    }
    window.status->move(nativeControl(form, control)->geometry().topLeft());
    window.status->hide();
    window.status->setAccessibleName(toQString(text));
    window.status->show();
}

// Texts and states through the widgets' own properties.
bool QtRuntime::readSelected(const Form& form, const ControlDescription& control) const
{
    return static_cast<QRadioButton*>(nativeControl(form, control))->isChecked();
}

void QtRuntime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    QWidget* widget = nativeControl(form, control);
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(widget);
        label->setText(toQString(text));
        break;
    }
    case ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(shownAsIs(toQString(text)));
        break;
    default:
        static_cast<QAbstractButton*>(widget)->setText(toQString(text));
        break;
    }
}

void QtRuntime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    static_cast<QLineEdit*>(nativeControl(form, control))->setText(toQString(text));
}

void QtRuntime::writeWindowCaption(Form& form, std::string_view text)
{
    windowOf(form).top->setWindowTitle(toQString(text));
}

// The pictures are the toolkit's resources compiled into the program.
bool QtRuntime::hasPicture(PictureId picture) const
{
    return QFile::exists(picturePath(picture));
}

// The separator of the user's locale as the toolkit reads it from the
// environment (LC_NUMERIC, LC_ALL, LANG).
std::string QtRuntime::localeDecimalSeparator() const
{
    return QLocale::system().decimalPoint().toStdString();
}

} // namespace forms
