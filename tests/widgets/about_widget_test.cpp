// SPDX-License-Identifier: MIT
// The About dialog as Qt builds it: its texts and places, one instance that
// loads afresh after closing, the keys that close it, Alt+S and the message
// box of the System Information launcher.

#include "form1.h"
#include "frm_about.h"
#include "in_memory_registry.h"
#include "qt_runtime.h"

#include <QAbstractButton>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using about::frmAbout;

namespace {

int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

// Records what the launcher starts; the registry names an existing program.
class RecordingServices final : public about::SystemServices
{
public:
    explicit RecordingServices(std::vector<std::string>& started) : m_started(started)
    {
        const std::string path = "C:\\Tools\\MSINFO32.EXE";
        m_registry.setValue(about::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                            {about::kRegSz, {path.begin(), path.end()}});
    }
    about::RegistryBacking& registry() override { return m_registry; }
    bool fileExists(const std::string&) override { return true; }
    void startProgram(const std::string& path) override { m_started.push_back(path); }

private:
    about::InMemoryRegistry m_registry;
    std::vector<std::string>& m_started;
};

} // namespace

class AboutWidgetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<forms::QtRuntime> m_runtime;

    main_window::Form1& mainWindow() { return m_runtime->form<main_window::Form1>(); }
    frmAbout& dialog() { return m_runtime->form<frmAbout>(); }
    QWidget* top() { return m_runtime->window(dialog()); }
    // A control by name, an element of the line array as "Line1(element)".
    QWidget* control(const char* name)
    {
        const QString text = QString::fromUtf8(name);
        if (!text.endsWith(u')'))
            return m_runtime->controlNamed(dialog(), name);
        const qsizetype open = text.indexOf(u'(');
        return m_runtime->controlNamed(dialog(), text.left(open).toStdString(),
                                       text.mid(open + 1, text.size() - open - 2).toInt());
    }
    QString text(const char* name) { return qobject_cast<QLabel*>(control(name))->text(); }
    int aboutWindows()
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += widget->objectName() == QLatin1String("frmAbout") &&
                     !widget->testAttribute(Qt::WA_WState_Hidden);
        return count;
    }
    void open()
    {
        mainWindow().Command3_Click();
        QVERIFY(QTest::qWaitForWindowActive(top()));
    }

private slots:
    void init()
    {
        m_runtime = std::make_unique<forms::QtRuntime>("Gradolux");
        m_runtime->setExitHandler([](int) {});
        m_runtime->show(mainWindow());
    }
    void cleanup() { m_runtime.reset(); }

    void textsAfterLoad()
    {
        open();
        QCOMPARE(top()->windowTitle(), QStringLiteral("Info zu Gradolux"));
        QCOMPARE(text("lblTitle"), QStringLiteral("Gradolux"));
        QCOMPARE(text("lblVersion"), QStringLiteral("Version 1.3.0"));
        QCOMPARE(
            text("lblDescription"),
            QStringLiteral("Dieses Programm dient zur Gradolux gemäß der 3-F (CEL) Methode und kann in allen "
                           "Bereichen des ArbeitnehmerInnenschutzes angewendet werden."));
        QVERIFY(
            text("lblDisclaimer")
                .startsWith("ACHTUNG! Bei dieser Version handelt es sich um eine BETA-Version. Fehler melden "
                            "Sie bitte an: "));
        QVERIFY(text("lblDisclaimer").contains(QRegularExpression(": \\S+@\\S+$")));
        QCOMPARE(qobject_cast<QPushButton*>(control("cmdSysInfo"))->text(), QStringLiteral("&Systeminfo..."));
    }

    void placesAndFonts_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("cmdOK") << QRect(4245, 2625, 1260, 345) << 11;
        QTest::newRow("cmdSysInfo") << QRect(4260, 3075, 1245, 345) << 11;
        QTest::newRow("lblDescription") << QRect(1080, 1125, 3885, 1170) << 11;
        QTest::newRow("lblTitle") << QRect(1050, 240, 3885, 480) << 18;
        QTest::newRow("lblVersion") << QRect(1080, 780, 3885, 225) << 11;
        QTest::newRow("lblDisclaimer") << QRect(240, 2640, 3870, 825) << 11;
        // The picture box sizes itself to its 32-pixel icon and its sunken border.
        QTest::newRow("picIcon") << QRect(240, 240, 540, 540) << 11;
        // The etched separator: grey, 1 pixel, over white, 2 pixels.
        QTest::newRow("Line1(1)") << QRect(90, 2445, 5654 - 90, 15) << 11;
        QTest::newRow("Line1(0)") << QRect(105, 2460, 5654 - 105, 30) << 11;
    }

    void placesAndFonts()
    {
        QFETCH(QRect, twips);
        QFETCH(int, pixelSize);
        QWidget* widget = control(QTest::currentDataTag());
        QVERIFY(widget);
        QCOMPARE(widget->geometry(),
                 QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        QCOMPARE(widget->font().pixelSize(), pixelSize);
    }

    // Its place and its kind (no taskbar entry) are the back-end contract's.
    void window()
    {
        open();
        QCOMPARE(top()->size(), QSize(px(5730), px(3555)));
        const Qt::WindowFlags flags = top()->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(top()->minimumSize(), top()->maximumSize());
        QVERIFY(!top()->parentWidget());
        QCOMPARE(m_runtime->controlNamed(dialog(), "Line1", 1)->palette().color(QPalette::Window),
                 QColor(128, 128, 128));
        QCOMPARE(m_runtime->controlNamed(dialog(), "Line1", 0)->palette().color(QPalette::Window),
                 QColor(255, 255, 255));
    }

    void focusStartsOnOkAndFollowsTheTabIndex()
    {
        open();
        QCOMPARE(QApplication::focusWidget(), control("cmdOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("picIcon"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control("cmdSysInfo"));
    }

    void oneDialogThatLoadsAfreshAfterClosing()
    {
        open();
        frmAbout* first = &dialog();
        m_runtime->setCaption(*first, "lblVersion", "geändert");
        mainWindow().Command3_Click();
        QCOMPARE(&dialog(), first);
        QCOMPARE(text("lblVersion"), QStringLiteral("geändert")); // shown again, not reloaded
        QCOMPARE(aboutWindows(), 1);

        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
        QVERIFY(!m_runtime->isLoaded<frmAbout>());
        open();
        QCOMPARE(text("lblVersion"), QStringLiteral("Version 1.3.0"));
        QTRY_COMPARE(aboutWindows(), 1);
    }

    void keysThatClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("closes");
        const auto row = [](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers, const char* focus,
                            bool closes) {
            QTest::newRow(name) << int(key) << int(modifiers) << focus << closes;
        };
        row("escape on OK", Qt::Key_Escape, Qt::NoModifier, "cmdOK", true);
        row("escape on Systeminfo", Qt::Key_Escape, Qt::NoModifier, "cmdSysInfo", true);
        row("escape on the picture", Qt::Key_Escape, Qt::NoModifier, "picIcon", true);
        row("enter on OK", Qt::Key_Return, Qt::NoModifier, "cmdOK", true);
        row("enter on the picture", Qt::Key_Return, Qt::NoModifier, "picIcon", true);
        row("keypad enter on the picture", Qt::Key_Enter, Qt::KeypadModifier, "picIcon", true);
        row("shift+enter on the picture", Qt::Key_Return, Qt::ShiftModifier, "picIcon", true);
        row("keypad enter on OK", Qt::Key_Enter, Qt::KeypadModifier, "cmdOK", true);
        row("enter on Systeminfo runs it", Qt::Key_Return, Qt::NoModifier, "cmdSysInfo", false);
        row("keypad enter on Systeminfo runs it", Qt::Key_Enter, Qt::KeypadModifier, "cmdSysInfo", false);
    }

    void keysThatClose()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(bool, closes);
        open();
        std::vector<std::string> started;
        dialog().useSystemServices(std::make_unique<RecordingServices>(started));
        control(qPrintable(focus))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_runtime->isLoaded<frmAbout>(), !closes);
        QCOMPARE(started.size(), closes ? 0u : 1u);
    }

    // As on the platform, exactly one button shows the default border: the
    // focused one, or OK while no button has the focus.
    void defaultBorderFollowsTheFocus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("marked");
        QTest::newRow("OK") << "cmdOK"
                            << "cmdOK";
        QTest::newRow("the picture") << "picIcon"
                                     << "cmdOK";
        QTest::newRow("Systeminfo") << "cmdSysInfo"
                                    << "cmdSysInfo";
    }

    void defaultBorderFollowsTheFocus()
    {
        QFETCH(QString, focus);
        QFETCH(QString, marked);
        open();
        control("cmdSysInfo")->setFocus();
        control(qPrintable(focus))->setFocus();
        for (const char* name : {"cmdOK", "cmdSysInfo"})
            QCOMPARE(qobject_cast<QPushButton*>(control(name))->isDefault(), marked == QLatin1String(name));
    }

    void titleBarCloseUnloads()
    {
        open();
        top()->close();
        QVERIFY(!m_runtime->isLoaded<frmAbout>());
        QVERIFY(m_runtime->window(mainWindow())->isVisible());
    }

    void systeminfoStartsTheTool()
    {
        open();
        std::vector<std::string> started;
        dialog().useSystemServices(std::make_unique<RecordingServices>(started));
        // Alt+S is its access key (pressed for real in the end-to-end tests).
        auto* button = qobject_cast<QPushButton*>(control("cmdSysInfo"));
        QCOMPARE(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(started, std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});
        QVERIFY(m_runtime->isLoaded<frmAbout>());
    }

    void withoutTheToolAModalMessageSaysSo()
    {
        open();
        QString title, message;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool modal = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            message = box->text();
            icon = box->icon();
            modal = box->isModal();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            box->accept();
        });
        // Returns once the box is closed.
        QTest::mouseClick(control("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Gradolux"));
        QCOMPARE(message, QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
        QCOMPARE(buttons, QStringList{"OK"});
        QCOMPARE(icon, QMessageBox::NoIcon);
        QVERIFY(modal);
        QVERIFY(m_runtime->isLoaded<frmAbout>());
    }

    void endingTheProgramTakesTheDialogWithIt()
    {
        open();
        QList<int> exits;
        m_runtime->setExitHandler([&exits](int exitCode) { exits.append(exitCode); });
        mainWindow().Command2_Click();
        QCOMPARE(exits, QList<int>{0});
        QVERIFY(!top()->isVisible());
    }
};

QTEST_MAIN(AboutWidgetTest)
#include "about_widget_test.moc"
