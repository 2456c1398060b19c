// SPDX-License-Identifier: MIT
// The main window as Qt builds it: every control at its place with its font,
// the exclusive groups, the calculation, focus and tab order, and the end.

#include "form1.h"
#include "frm_splash.h"
#include "qt_runtime.h"
#include "risk_evaluator.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <memory>

using main_window::Form1;

namespace {

int px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

QString verdict(risk::RiskBand band)
{
    return QString::fromStdString(std::string(risk::verdictText(band)));
}

} // namespace

class Form1WidgetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<forms::QtRuntime> m_runtime;
    QList<int> m_exits;

    Form1& form() { return m_runtime->form<Form1>(); }
    QWidget* top() { return m_runtime->window(form()); }
    template <class W> W* control(const char* name)
    {
        auto* widget = qobject_cast<W*>(m_runtime->controlNamed(form(), name));
        if (!widget)
            qFatal("no control %s of the expected kind", name);
        return widget;
    }
    void click(const char* button) { QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton); }

private slots:
    void init()
    {
        m_exits.clear();
        m_runtime = std::make_unique<forms::QtRuntime>("Gradolux");
        m_runtime->setExitHandler([this](int exitCode) { m_exits.append(exitCode); });
    }
    void cleanup() { m_runtime.reset(); }

    void windowProperties()
    {
        QCOMPARE(top()->windowTitle(),
                 QStringLiteral("Bewerten und Beurteilen von Risiken nach der CEL-Methode"));
        QCOMPARE(top()->size(), QSize(px(10065), px(8685)));
        QCOMPARE(top()->palette().color(QPalette::Window), QColor(212, 208, 200));
        QVERIFY(top()->windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(top()->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!top()->windowIcon().isNull());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("alignment");

        const auto row = [](const char* name, const char* kind, const char* container, QRect twips,
                            const char* face, double points, bool bold,
                            Qt::Alignment alignment = Qt::AlignLeft) {
            QTest::newRow(name) << kind << container << twips << face << points << bold << int(alignment);
        };
        row("Label4", "QLabel", "", {0, 120, 10095, 375}, "Arial", 14.25, false, Qt::AlignHCenter);
        row("Frame1", "QGroupBox", "", {240, 600, 9615, 2655}, "Arial", 8.25, true);
        row("Option1", "QRadioButton", "Frame1", {120, 360, 5895, 255}, "Arial", 8.25, false);
        row("Option2", "QRadioButton", "Frame1", {120, 600, 8535, 495}, "Arial", 8.25, false);
        row("Option3", "QRadioButton", "Frame1", {120, 1080, 8175, 255}, "Arial", 8.25, false);
        row("Option4", "QRadioButton", "Frame1", {120, 1440, 8775, 255}, "Arial", 8.25, false);
        row("Option5", "QRadioButton", "Frame1", {120, 1800, 8655, 255}, "Arial", 8.25, false);
        row("Option6", "QRadioButton", "Frame1", {120, 2160, 7335, 255}, "Arial", 8.25, false);
        row("Frame2", "QGroupBox", "", {240, 3360, 4215, 2535}, "Arial", 8.25, true);
        row("Option7", "QRadioButton", "Frame2", {120, 360, 3975, 255}, "Arial", 8.25, false);
        row("Option8", "QRadioButton", "Frame2", {120, 720, 3255, 255}, "Arial", 8.25, false);
        row("Option9", "QRadioButton", "Frame2", {120, 1080, 3375, 255}, "Arial", 8.25, false);
        row("Option10", "QRadioButton", "Frame2", {120, 1440, 3135, 255}, "Arial", 8.25, false);
        row("Option11", "QRadioButton", "Frame2", {120, 1800, 3015, 255}, "Arial", 8.25, false);
        row("Option12", "QRadioButton", "Frame2", {120, 2160, 3975, 255}, "Arial", 8.25, false);
        row("Frame3", "QGroupBox", "", {4560, 3360, 5295, 2535}, "Arial", 8.25, true);
        row("Option13", "QRadioButton", "Frame3", {120, 360, 3615, 375}, "Arial", 8.25, false);
        row("Option14", "QRadioButton", "Frame3", {120, 696, 3615, 375}, "Arial", 8.25, false);
        row("Option15", "QRadioButton", "Frame3", {120, 1032, 4935, 375}, "Arial", 8.25, false);
        row("Option16", "QRadioButton", "Frame3", {120, 1368, 3615, 375}, "Arial", 8.25, false);
        row("Option17", "QRadioButton", "Frame3", {120, 1704, 3615, 375}, "Arial", 8.25, false);
        row("Option18", "QRadioButton", "Frame3", {120, 2040, 3615, 375}, "Arial", 8.25, false);
        row("Label5", "QLabel", "", {240, 6120, 4215, 375}, "Arial", 15.75, true, Qt::AlignHCenter);
        row("Label1", "QLabel", "", {4320, 6120, 4215, 255}, "Arial", 9.75, true, Qt::AlignRight);
        row("Text1", "QLineEdit", "", {8640, 6000, 1095, 375}, "Arial", 9.75, true, Qt::AlignHCenter);
        row("Label2", "QLabel", "", {240, 6720, 9615, 855}, "Arial Unicode MS", 9.75, true, Qt::AlignHCenter);
        row("Label3", "QLabel", "", {840, 7800, 2655, 255}, "Arial", 8.25, false, Qt::AlignHCenter);
        row("Command1", "QPushButton", "", {6000, 7800, 3855, 375}, "MS Sans Serif", 8.25, false,
            Qt::AlignHCenter);
        row("Command3", "QPushButton", "", {1440, 8160, 1335, 375}, "Arial", 8.25, false, Qt::AlignHCenter);
        row("Command2", "QPushButton", "", {6000, 8280, 3855, 375}, "MS Sans Serif", 8.25, false,
            Qt::AlignHCenter);
    }

    void controls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, container);
        QFETCH(QRect, twips);
        QFETCH(QString, face);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(int, alignment);

        QWidget* widget = m_runtime->controlNamed(form(), QTest::currentDataTag());
        QVERIFY(widget);
        QVERIFY2(widget->inherits(kind.toLatin1()), widget->metaObject()->className());
        QCOMPARE(widget->parentWidget()->objectName(),
                 container.isEmpty() ? QStringLiteral("Form1") : container);
        QCOMPARE(widget->geometry(),
                 QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        // The design's face where it is installed; else its stand-in, with
        // Arial's metrics, so texts fit their rectangles.
        const QString drawn = QFontDatabase::hasFamily(face) ? face : QStringLiteral("Liberation Sans");
        QCOMPARE(widget->font().family(), drawn);
        QCOMPARE(QFontInfo(widget->font()).family(), drawn);
        QCOMPARE(widget->font().pixelSize(), int(std::lround(points * 96 / 72)));
        QCOMPARE(widget->font().weight(), bold ? QFont::Bold : QFont::Normal);

        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
            QVERIFY(label->wordWrap());
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QCOMPARE(int(edit->alignment() & Qt::AlignHorizontal_Mask), alignment);
        }
    }

    void textsAndColours()
    {
        QCOMPARE(control<QLabel>("Label1")->text(),
                 QStringLiteral("Rechnerisches Ergebnis für das Risiko \"R\""));
        QCOMPARE(control<QLabel>("Label5")->text(), QStringLiteral("R = A * H * W"));
        QCOMPARE(control<QPushButton>("Command1")->text(), QStringLiteral("B&erechnen"));
        QCOMPARE(control<QPushButton>("Command2")->text(), QStringLiteral("Programm Be&enden"));
        QCOMPARE(control<QPushButton>("Command3")->text(), QStringLiteral("Programminfo"));
        QCOMPARE(control<QGroupBox>("Frame1")->title(), QStringLiteral("A = Auswirkung (Schadensausmaß)"));
        QCOMPARE(
            control<QRadioButton>("Option3")->text(),
            QStringLiteral(
                " ERNSTE  Auswirkung, z.B. bleibende Invalidität, Schaden von 70.000 - 700.000 €, A = 7"));
        QCOMPARE(control<QLineEdit>("Text1")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(control<QLabel>("Label2")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(control<QLineEdit>("Text1")->text().isEmpty());
        QVERIFY(control<QLabel>("Label2")->text().isEmpty());
        QVERIFY(!control<QLineEdit>("Text1")->isReadOnly());
        for (int i = 1; i <= 18; ++i)
            QVERIFY(!control<QRadioButton>(qPrintable(QStringLiteral("Option%1").arg(i)))->isChecked());
    }

    void theToolkitSpeaksGerman()
    {
        // The text box's context menu and the message box's buttons.
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Rückgängig"));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "Select All"), QStringLiteral("Alles auswählen"));
    }

    void groupsAreExclusiveEachInItsFrame()
    {
        m_runtime->show(form());
        QVERIFY(QTest::qWaitForWindowExposed(top()));
        click("Option8");
        click("Option14");
        click("Option3");
        click("Option5");
        QStringList checked;
        for (int i = 1; i <= 18; ++i) {
            const QString name = QStringLiteral("Option%1").arg(i);
            if (control<QRadioButton>(qPrintable(name))->isChecked())
                checked << name;
        }
        QCOMPARE(checked, (QStringList{"Option5", "Option8", "Option14"}));
    }

    void calculation_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("band");
        QTest::newRow("nothing selected") << QStringList{} << "0" << int(risk::RiskBand::NoSelection);
        QTest::newRow("typical use") << QStringList{"Option8", "Option2", "Option17"} << "18"
                                     << int(risk::RiskBand::Low);
        QTest::newRow("seventy") << QStringList{"Option3", "Option12", "Option15"} << "70"
                                 << int(risk::RiskBand::High);
        QTest::newRow("largest") << QStringList{"Option6", "Option12", "Option18"} << "10000"
                                 << int(risk::RiskBand::Stop);
    }

    void calculation()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, text);
        QFETCH(int, band);
        m_runtime->show(form());
        QVERIFY(QTest::qWaitForWindowExposed(top()));
        for (const QString& option : options)
            click(qPrintable(option));
        control<QLineEdit>("Text1")->setText(QStringLiteral("von Hand"));
        click("Command1");
        QCOMPARE(control<QLineEdit>("Text1")->text(), text);
        QCOMPARE(control<QLabel>("Label2")->text(), verdict(static_cast<risk::RiskBand>(band)));
    }

    void theDecimalSeparatorFollowsTheLocale()
    {
        QLocale::setDefault(QLocale::c()); // QLocale::system() follows LC_ALL of the test
        m_runtime->show(form());
        for (const char* option : {"Option1", "Option7", "Option13"})
            click(option);
        click("Command1");
        QCOMPARE(control<QLineEdit>("Text1")->text(), QString("0") + QLocale::system().decimalPoint() + "1");
    }

    void focusStartsOnCommand1AndFollowsTheTabIndex()
    {
        m_runtime->show(form());
        QVERIFY(QTest::qWaitForWindowActive(top()));
        QCOMPARE(QApplication::focusWidget(), control<QWidget>("Command1"));

        QStringList order;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        // Within a frame the focus stops once, on the option the tab index names first.
        QCOMPARE(order, (QStringList{"Command2", "Text1", "Option3", "Option7", "Option13", "Command3"}));
    }

    // Alt+E is shared by "Berechnen" and "Programm Beenden": each press moves
    // the focus to the other one, from wherever it is, and presses neither.
    void aSharedAccessKeyMovesTheFocusAndPressesNothing()
    {
        m_runtime->show(form());
        QVERIFY(QTest::qWaitForWindowActive(top()));
        const auto pressAltE = [](int times) {
            QStringList order;
            for (int i = 0; i < times; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
                order << QApplication::focusWidget()->objectName();
            }
            return order;
        };
        control<QWidget>("Command1")->setFocus();
        QCOMPARE(pressAltE(3), (QStringList{"Command2", "Command1", "Command2"}));
        // From a control after both in the tab order, the search wraps round.
        control<QWidget>("Option3")->setFocus();
        QCOMPARE(pressAltE(2), (QStringList{"Command1", "Command2"}));
        QVERIFY(m_exits.isEmpty());
        QCOMPARE(control<QLabel>("Label2")->text(), QString());
    }

    void command2EndsEverythingWithoutClosingSteps()
    {
        auto& splash = m_runtime->form<startup::frmSplash>();
        m_runtime->show(splash);
        splash.Form_KeyPress(U' ');
        QVERIFY(top()->isVisible());
        click("Command2");
        QCOMPARE(m_exits, QList<int>{0});
        QVERIFY(!top()->isVisible());
        QVERIFY(!m_runtime->window(splash)->isVisible());
        QVERIFY2(m_runtime->isLoaded<Form1>(), "nothing was unloaded");
    }

    void closingTheMainWindowEndsTheProgram()
    {
        auto& splash = m_runtime->form<startup::frmSplash>();
        m_runtime->show(splash);
        splash.Frame1_Click();
        QVERIFY2(!top()->close(), "the run-time takes the close itself");
        QCOMPARE(m_exits, QList<int>{0});
        QVERIFY(!top()->isVisible());
    }

    void controlsStayPutWhenTheWindowIsMaximized()
    {
        m_runtime->show(form());
        const QRect before = control<QWidget>("Command2")->geometry();
        top()->showMaximized();
        top()->resize(300, 200);
        QCOMPARE(control<QWidget>("Command2")->geometry(), before);
    }
};

QTEST_MAIN(Form1WidgetTest)
#include "form1_widget_test.moc"
