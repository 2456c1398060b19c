// SPDX-License-Identifier: MIT
// The splash window as Qt builds it: a bare bordered box without title bar or
// taskbar entry, its labels, and the keys and clicks that pass on to the main
// window.

#include "form1.h"
#include "frm_splash.h"
#include "qt_runtime.h"
#include "window_descriptions.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QTest>

#include <cmath>
#include <memory>

using startup::frmSplash;

namespace {

int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

} // namespace

class SplashWidgetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<forms::QtRuntime> m_runtime;

    frmSplash& splash() { return m_runtime->form<frmSplash>(); }
    QWidget* top() { return m_runtime->window(splash()); }
    QWidget* control(const char* name) { return m_runtime->controlNamed(splash(), name); }
    bool mainWindowShown()
    {
        return m_runtime->isLoaded<main_window::Form1>() &&
               m_runtime->window(m_runtime->form<main_window::Form1>())->isVisible();
    }

private slots:
    void init()
    {
        m_runtime = std::make_unique<forms::QtRuntime>("Gradolux");
        m_runtime->setExitHandler([](int) {});
        m_runtime->show(splash());
        QVERIFY(QTest::qWaitForWindowExposed(top()));
    }
    void cleanup() { m_runtime.reset(); }

    // Without title bar or taskbar entry, and centred: the back-end
    // contract checks both on every back end; here the border.
    void aBareBoxWithABorder()
    {
        QVERIFY(top()->windowTitle().isEmpty());
        QWidget* client = top()->findChild<QWidget*>(QStringLiteral("client"));
        QVERIFY(client);
        QCOMPARE(client->size(), QSize(px(7380), px(4245)));
        QVERIFY(top()->width() > client->width()); // the border lies around the client area
    }

    void controls_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("text");

        const auto row = [](const char* name, const char* container, QRect twips, double points, bool bold,
                            Qt::Alignment alignment, const char* text) {
            QTest::newRow(name) << container << twips << points << bold << int(alignment)
                                << QString::fromUtf8(text);
        };
        // Geometry as stored; the labels that follow their text are checked apart.
        row("Frame1", "client", {150, 60, 7080, 4050}, 8.25, false, Qt::AlignLeft, "");
        row("lblLicenseTo", "Frame1", {120, 240, 6855, 255}, 8.25, false, Qt::AlignRight, "");
        row("lblCompanyProduct", "Frame1", {1680, 720, 105, 435}, 18, true, Qt::AlignLeft, "");
        row("Image1", "Frame1", {480, 1440, 1440, 1320}, 8.25, false, Qt::AlignLeft, "");
        row("lblPlatform", "Frame1", {2880, 1800, 2865, 360}, 15.75, true, Qt::AlignRight,
            "für Win 98/2000/XP");
        row("lblCopyright", "Frame1", {2760, 2760, 3255, 255}, 8.25, false, Qt::AlignLeft,
            "© 2026 Die Gradolux-Entwickler");
        row("lblCompany", "Frame1", {3480, 3120, 1215, 255}, 8.25, false, Qt::AlignLeft, "Gradolux-Team");
        row("lblWarning", "Frame1", {150, 3660, 6855, 195}, 8.25, false, Qt::AlignHCenter,
            "Bitte eine Taste Drücken um zum Programm zu gelangen!");
    }

    void controls()
    {
        QFETCH(QString, container);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(int, alignment);
        QFETCH(QString, text);

        QWidget* widget = control(QTest::currentDataTag());
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), container);
        const QRect design(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
        const auto* label = qobject_cast<QLabel*>(widget);
        if (label && resources::splashDescription().find(QTest::currentDataTag())->autoSize) {
            // A label that follows its text fits it from the start, at its design edge.
            QCOMPARE(widget->size(), label->sizeHint());
            QCOMPARE(widget->y(), design.y());
            if (int(label->alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignRight)
                QCOMPARE(widget->geometry().right(), design.right());
            else
                QCOMPARE(widget->x(), design.x());
        } else {
            QCOMPARE(widget->geometry(), design);
        }
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
            // Arial where it is installed, else its stand-in with Arial's metrics.
            const QString drawn = QFontDatabase::hasFamily(QStringLiteral("Arial"))
                                      ? QStringLiteral("Arial")
                                      : QStringLiteral("Liberation Sans");
            QCOMPARE(label->font().family(), drawn);
            QCOMPARE(QFontInfo(label->font()).family(), drawn);
            QCOMPARE(label->font().pixelSize(), int(std::lround(points * 96 / 72)));
            QCOMPARE(label->font().weight(), bold ? QFont::Bold : QFont::Normal);
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
            QCOMPARE(label->text(), text);
        }
    }

    void loadFillsVersionAndTitle()
    {
        auto* version = qobject_cast<QLabel*>(control("lblVersion"));
        auto* product = qobject_cast<QLabel*>(control("lblProductName"));
        QCOMPARE(version->text(), QStringLiteral("Version 1.3.0"));
        QCOMPARE(product->text(), QStringLiteral("Gradolux"));
        QCOMPARE(product->font().pixelSize(), 32);
        QCOMPARE(version->font().pixelSize(), 16); // their sizes following the text are the contract's
    }

    void imageShowsTheIconStretched()
    {
        auto* image = qobject_cast<QLabel*>(control("Image1"));
        QVERIFY(!image->pixmap().isNull());
        QVERIFY(image->hasScaledContents());
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text"); // what the key types, as the platform reports it
        QTest::addColumn<bool>("passes");
        const auto row = [](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers,
                            const QString& text, bool passes) {
            QTest::newRow(name) << int(key) << int(modifiers) << text << passes;
        };
        row("letter", Qt::Key_A, Qt::NoModifier, "a", true);
        row("backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", true);
        row("tab", Qt::Key_Tab, Qt::NoModifier, "\t", true);
        row("control combination", Qt::Key_A, Qt::ControlModifier, "\x01", true);
        row("AltGr character on X11", Qt::Key_At, Qt::GroupSwitchModifier, "@", true);
        row("AltGr character as Control+Alt", Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@", true);
        row("delete", Qt::Key_Delete, Qt::NoModifier, "\x7f", false);
        row("keypad delete", Qt::Key_Delete, Qt::KeypadModifier, "\x7f", false);
        row("access key", Qt::Key_E, Qt::AltModifier, "e", false);
        row("control and alt without a character", Qt::Key_A, Qt::ControlModifier | Qt::AltModifier, "\x01",
            false);
        QTest::newRow("capital letter")
            << int(Qt::Key_Q) << int(Qt::ShiftModifier) << QString("default") << true;
        QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::NoModifier) << QString("default") << true;
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << QString("default") << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << QString("default") << true;
        QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << QString("default") << true;
        QTest::newRow("shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << QString("default")
                                     << false;
        QTest::newRow("control alone")
            << int(Qt::Key_Control) << int(Qt::ControlModifier) << QString("default") << false;
        QTest::newRow("arrow") << int(Qt::Key_Left) << int(Qt::NoModifier) << QString("default") << false;
        QTest::newRow("function key")
            << int(Qt::Key_F1) << int(Qt::NoModifier) << QString("default") << false;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << QString("default")
                                   << false;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, passes);
        if (text == QLatin1String("default"))
            QTest::keyClick(top(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        else
            QTest::sendKeyEvent(QTest::Click, top(), Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(mainWindowShown(), passes);
        QCOMPARE(top()->isVisible(), !passes);
        QVERIFY(m_runtime->isLoaded<frmSplash>());
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("passes");
        QTest::newRow("frame surface") << "Frame1" << true;
        QTest::newRow("warning label") << "lblWarning" << false;
        QTest::newRow("version label") << "lblVersion" << false;
        QTest::newRow("product label") << "lblProductName" << false;
        QTest::newRow("image") << "Image1" << false;
        QTest::newRow("window margin") << "client" << false;
    }

    void clicks()
    {
        QFETCH(QString, target);
        QFETCH(bool, passes);
        QWidget* widget =
            target == "client" ? top()->findChild<QWidget*>(target) : control(qPrintable(target));
        // The frame's surface below the image, where no label lies; the window's margin left of the frame.
        const QPoint where = target == "Frame1"   ? QPoint(px(300), px(3000))
                             : target == "client" ? QPoint(px(60), px(2000))
                                                  : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, where);
        QCOMPARE(mainWindowShown(), passes);
    }

    void closingTheOnlyWindowEndsTheProgram()
    {
        QList<int> exits;
        m_runtime->setExitHandler([&exits](int exitCode) { exits.append(exitCode); });
        QWidget* window = top();
        window->close(); // as the window manager would, e.g. on Alt+F4
        QCOMPARE(exits, QList<int>{0});
        QVERIFY(!m_runtime->isLoaded<frmSplash>());
        QVERIFY(!window->isVisible());
    }

    void aSecondTriggerFindsTheSameMainWindow()
    {
        QTest::keyClick(top(), Qt::Key_A);
        main_window::Form1* first = &m_runtime->form<main_window::Form1>();
        splash().Frame1_Click();
        QCOMPARE(&m_runtime->form<main_window::Form1>(), first);
        QCOMPARE(QApplication::topLevelWidgets().count(), 2);
        QVERIFY(!top()->isVisible());
    }
};

QTEST_MAIN(SplashWidgetTest)
#include "splash_widget_test.moc"
