// SPDX-License-Identifier: MIT
// The contract test's probe for the Qt back end: widgets read back through
// Qt, clicks and keys given through QTest. Runs headless; the resolution is
// 96 dpi times the scale factor the test runs with (QT_SCALE_FACTOR).

#include "backend_probe.h"
#include "qt_runtime.h"
#include "system_colours.h"
#include "units.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::uint32_t bgr(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

class QtProbe final : public BackendProbe
{
public:
    QtProbe() : m_runtime("Gradolux")
    {
        m_runtime.setExitHandler([this](int code) { m_exitCodes.push_back(code); });
    }

    forms::Runtime& runtime() override { return m_runtime; }
    int dpi() const override { return static_cast<int>(std::lround(96 * qApp->devicePixelRatio())); }
    std::vector<int> exitCodes() const override { return m_exitCodes; }

    forms::PixelRect controlRect(const forms::Form& form, std::string_view name, int index) override
    {
        const QWidget* widget = m_runtime.controlNamed(form, name, index);
        if (!widget)
            return {};
        return device(widget->geometry());
    }
    forms::PixelRect clientRect(const forms::Form& form) override
    {
        const QWidget* top = m_runtime.window(form);
        const auto* client = top->findChild<QWidget*>(QStringLiteral("client"));
        return device((client ? client : top)->rect());
    }
    ShownFont font(const forms::Form& form, std::string_view name) override
    {
        const QFont font = m_runtime.controlNamed(form, name)->font();
        return {static_cast<int>(std::lround(font.pixelSize() * qApp->devicePixelRatio())), font.weight()};
    }
    ShownColours colours(const forms::Form& form, std::string_view name, int index) override
    {
        // A widget paints its text in its foreground role; its surface in
        // its background role where it paints one itself (a text box's base,
        // a button's face, a filled background), else its container's shows.
        const QWidget* widget = m_runtime.controlNamed(form, name, index);
        const QColor text = widget->palette().color(widget->foregroundRole());
        const QWidget* surface = widget;
        while (surface->backgroundRole() == QPalette::Window && !surface->autoFillBackground() &&
               !surface->isWindow() && surface->parentWidget())
            surface = surface->parentWidget();
        return {bgr(surface->palette().color(surface->backgroundRole())), bgr(text)};
    }
    std::uint32_t systemColourValue(std::uint32_t index) override
    {
        const forms::Rgb rgb = forms::resolveColour(forms::systemColour(index));
        return bgr(QColor(rgb.red, rgb.green, rgb.blue));
    }
    std::string text(const forms::Form& form, std::string_view name) override
    {
        QWidget* widget = m_runtime.controlNamed(form, name);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text().toStdString(); // plain text, shown as it is
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            text = frame->title();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->text().toStdString();
        // A button's and a group box's access key mark is not shown; "&&" shows one "&".
        return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
            .remove(u'&')
            .replace(u'\x01', u'&')
            .toStdString();
    }
    std::string windowCaption(const forms::Form& form) override
    {
        return m_runtime.window(form)->windowTitle().toStdString();
    }
    bool visible(const forms::Form& form) override
    {
        const QWidget* top = m_runtime.window(form);
        return top && top->isVisible();
    }
    void click(const forms::Form& form, std::string_view name) override
    {
        QTest::mouseClick(m_runtime.controlNamed(form, name), Qt::LeftButton);
    }
    void space(const forms::Form& form, std::string_view focus) override
    {
        key(form, forms::KeyStroke::Key::Other, focus);
        QTest::keyClick(m_runtime.window(form)->windowHandle(), Qt::Key_Space);
    }
    void key(const forms::Form& form, forms::KeyStroke::Key key, std::string_view focus) override
    {
        QWidget* top = m_runtime.window(form);
        top->activateWindow();
        if (!QTest::qWaitForWindowActive(top))
            ADD_FAILURE() << "the window did not become active";
        if (!focus.empty())
            m_runtime.controlNamed(form, focus)->setFocus();
        QWidget* target = top->focusWidget() ? top->focusWidget() : top;
        switch (key) {
        case forms::KeyStroke::Key::Return:
            QTest::keyClick(target, Qt::Key_Return);
            break;
        case forms::KeyStroke::Key::Enter:
            QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
            break;
        case forms::KeyStroke::Key::Escape:
            QTest::keyClick(target, Qt::Key_Escape);
            break;
        case forms::KeyStroke::Key::Delete:
            QTest::keyClick(target, Qt::Key_Delete);
            break;
        case forms::KeyStroke::Key::Up:
            QTest::keyClick(target, Qt::Key_Up);
            break;
        case forms::KeyStroke::Key::Down:
            QTest::keyClick(target, Qt::Key_Down);
            break;
        case forms::KeyStroke::Key::Left:
            QTest::keyClick(target, Qt::Key_Left);
            break;
        case forms::KeyStroke::Key::Right:
            QTest::keyClick(target, Qt::Key_Right);
            break;
        case forms::KeyStroke::Key::Other:
            break;
        }
    }

    void mouseAt(const forms::Form& form, int leftTwips, int topTwips, bool down) override
    {
        // To the widget under the point, as the mouse's events go.
        QWidget* top = m_runtime.window(form);
        auto* client = top->findChild<QWidget*>(QStringLiteral("client"));
        QWidget* area = client ? client : top;
        const QPoint point(forms::twipsToPixels(leftTwips), forms::twipsToPixels(topTwips));
        QWidget* target = area->childAt(point);
        if (!target)
            target = area;
        if (down)
            QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(area, point));
        else
            QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(area, point));
    }
    void typeText(const forms::Form& form, std::u32string_view text) override
    {
        key(form, forms::KeyStroke::Key::Other, "");
        QWidget* top = m_runtime.window(form);
        for (const char32_t character : text) {
            const QString typed = QString::fromUcs4(&character, 1);
            QTest::sendKeyEvent(QTest::Click, top->focusWidget() ? top->focusWidget() : top,
                                character == U' ' ? Qt::Key_Space : Qt::Key_unknown, typed, Qt::NoModifier);
        }
    }
    void closeFrame(const forms::Form& form) override { m_runtime.window(form)->close(); }
    forms::PixelRect outerRect(const forms::Form& form) override
    {
        return device(m_runtime.window(form)->frameGeometry());
    }
    forms::PixelRect screenRect() override { return device(QGuiApplication::primaryScreen()->geometry()); }
    forms::PixelPoint clientOrigin(const forms::Form& form) override
    {
        const QWidget* top = m_runtime.window(form);
        const auto* client = top->findChild<QWidget*>(QStringLiteral("client"));
        const forms::PixelRect origin =
            device(QRect((client ? client : top)->mapToGlobal(QPoint(0, 0)), QSize()));
        return {origin.left, origin.top};
    }
    bool hasTitleBar(const forms::Form& form) override
    {
        // The window manager draws a title bar for every window that does not forbid it.
        const Qt::WindowFlags flags = m_runtime.window(form)->windowFlags();
        return !flags.testFlag(Qt::FramelessWindowHint) && (flags & Qt::WindowType_Mask) != Qt::SplashScreen;
    }
    bool hasTaskbarEntry(const forms::Form& form) override
    {
        // Tool windows and splash screens are left out of the taskbar.
        const Qt::WindowType type = m_runtime.window(form)->windowType();
        return type != Qt::Tool && type != Qt::SplashScreen && !m_runtime.window(form)->parentWidget();
    }
    void typeLetter(const forms::Form& form, char32_t letter, bool alt, std::string_view focus) override
    {
        key(form, forms::KeyStroke::Key::Other, focus);
        // Through the window system, as a keyboard types: shortcuts see it too.
        QTest::keyClick(m_runtime.window(form)->windowHandle(),
                        static_cast<Qt::Key>(Qt::Key_A + (letter - U'a')),
                        alt ? Qt::AltModifier : Qt::NoModifier);
    }
    void tab(const forms::Form& form) override
    {
        QWidget* top = m_runtime.window(form);
        QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, Qt::Key_Tab);
    }
    void backTab(const forms::Form& form) override
    {
        QWidget* top = m_runtime.window(form);
        QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, Qt::Key_Backtab, Qt::ShiftModifier);
    }
    std::string focused(const forms::Form& form) override
    {
        const QWidget* focus = m_runtime.window(form)->focusWidget();
        return focus && focus->objectName() != QStringLiteral("client") ? focus->objectName().toStdString()
                                                                        : std::string();
    }
    bool active(const forms::Form& form) override
    {
        // The window system activates a window in its own time.
        return QTest::qWaitForWindowActive(m_runtime.window(form), 5000);
    }
    bool takesInput(const forms::Form& form) override { return m_runtime.takesInput(form); }
    std::function<bool()> watchNativeWindow(const forms::Form& form) override
    {
        const QPointer<QWidget> top = m_runtime.window(form);
        return [top] {
            // A widget is deleted once the event loop gets to it.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return !top.isNull();
        };
    }
    std::string accessibleName(const forms::Form& form, std::string_view control) override
    {
        QWidget* widget = control.empty() ? m_runtime.window(form) : m_runtime.controlNamed(form, control);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name).toStdString() : std::string();
    }
    void listenForAnnouncements() override
    {
        m_listener = std::make_unique<AnnouncementListener>();
        qApp->installEventFilter(m_listener.get());
    }
    std::vector<std::string> heardAnnouncements() override
    {
        QCoreApplication::processEvents();
        return m_listener ? m_listener->heard : std::vector<std::string>{};
    }
    std::string userNumber() override { return QLocale::system().toString(1.5).toStdString(); }
    void duringNextMessageBox(std::function<void()> during) override
    {
        // The box runs an event loop of its own, which runs the timer.
        m_boxWatch = std::make_unique<QTimer>();
        m_boxWatch->setInterval(10);
        QObject::connect(m_boxWatch.get(), &QTimer::timeout, m_boxWatch.get(),
                         [timer = m_boxWatch.get(), during = std::move(during)] {
                             auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                             if (!box || !box->isVisible())
                                 return;
                             timer->stop();
                             during();
                             box->button(QMessageBox::Ok)->click();
                         });
        m_boxWatch->start();
    }
    TextMeasure measureText(const forms::Form& form, std::string_view name) override
    {
        QWidget* widget = m_runtime.controlNamed(form, name);
        const QFontMetrics metrics(widget->font());
        const QString shown = QString::fromStdString(text(form, name));
        int room = widget->width();
        if (auto* option = qobject_cast<QRadioButton*>(widget))
            room -= option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option) +
                    option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option);
        const QRect wrapped = metrics.boundingRect(QRect(0, 0, room, 100000), Qt::TextWordWrap, shown);
        const double ratio = qApp->devicePixelRatio();
        const auto scale = [ratio](int value) { return static_cast<int>(std::lround(value * ratio)); };
        return {.width = scale(metrics.horizontalAdvance(shown)),
                // Lines are a line spacing apart; the last has no leading below it.
                .lines =
                    shown.isEmpty()
                        ? 0
                        : std::max(1, static_cast<int>(std::lround(static_cast<double>(wrapped.height()) /
                                                                   metrics.lineSpacing()))),
                .lineHeight = scale(metrics.lineSpacing()),
                .roomWidth = scale(room),
                .roomHeight = scale(widget->height())};
    }

private:
    static forms::PixelRect device(const QRect& logical)
    {
        const double ratio = qApp->devicePixelRatio();
        const auto scale = [ratio](int value) { return static_cast<int>(std::lround(value * ratio)); };
        return {scale(logical.x()), scale(logical.y()), scale(logical.width()), scale(logical.height())};
    }

    // What the toolkit tells a reader when a widget is shown (the show
    // event of the accessibility bridge, which a headless run has not got):
    // the name of each notification shown anew.
    class AnnouncementListener final : public QObject
    {
    public:
        std::vector<std::string> heard;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show && watched->isWidgetType())
                if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(watched);
                    accessible && accessible->role() == QAccessible::Notification)
                    heard.push_back(accessible->text(QAccessible::Name).toStdString());
            return false;
        }
    };

    forms::QtRuntime m_runtime;
    std::unique_ptr<AnnouncementListener> m_listener;
    std::vector<int> m_exitCodes;
    std::unique_ptr<QTimer> m_boxWatch; // waits for the next message box
};

} // namespace

std::unique_ptr<BackendProbe> makeBackendProbe()
{
    return std::make_unique<QtProbe>();
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    std::printf("the windows are laid out at %d dpi\n", makeBackendProbe()->dpi());
    return RUN_ALL_TESTS();
}
