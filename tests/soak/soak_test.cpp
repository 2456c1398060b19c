// SPDX-License-Identifier: MIT
// Endurance: thousands of calculations with changing options, hundreds of
// About dialogs opened, painted and closed, a storm of keys on the splash,
// and text of any length and any Unicode in the result box. Exactly one main
// window throughout, results always right, and resident memory that stops
// growing. It runs in a real X server with the accessibility bridge on
// (run_in_x_session.sh); the sanitizer build runs it too, where
// LeakSanitizer checks the end.

#include "form1.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "qt_runtime.h"
#include "risk_evaluator.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

namespace {

// Resident memory of this process in KiB, from /proc/self/status.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif

// Resident memory may grow by less than 2 MiB from `before` (KiB) over a
// stretch of work; the sanitizer's own bookkeeping makes the figure
// meaningless in the sanitizer build.
void checkGrowth(long before, const char* over)
{
    const long growth = residentKiB() - before;
    qInfo("resident memory grew by %ld KiB over %s", growth, over);
    if (!kSanitized)
        QVERIFY2(growth < 2048, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
}

} // namespace

class SoakTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<forms::QtRuntime> m_runtime;

    main_window::Form1& mainWindow() { return m_runtime->form<main_window::Form1>(); }
    QWidget* control(const forms::Form& form, const QString& name)
    {
        return m_runtime->controlNamed(form, name.toStdString());
    }
    void click(const forms::Form& form, const QString& name)
    {
        QTest::mouseClick(control(form, name), Qt::LeftButton);
    }
    int topLevels(const QString& name)
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += widget->objectName() == name;
        return count;
    }
    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        m_runtime = std::make_unique<forms::QtRuntime>("Gradolux");
        m_runtime->setExitHandler([](int) {});
        auto& splash = m_runtime->form<startup::frmSplash>();
        m_runtime->show(splash);
        QWidget* box = m_runtime->window(splash);
        // A storm of keys: the first opens the main window, every other one
        // finds it there.
        for (int i = 0; i < 500; ++i)
            QTest::keyClick(box, Qt::Key(Qt::Key_A + i % 26));
        QCOMPARE(topLevels(QStringLiteral("Form1")), 1);
        QVERIFY(!box->isVisible());
        QVERIFY(m_runtime->window(mainWindow())->isVisible());
    }
    void cleanupTestCase() { m_runtime.reset(); }

    void manyCalculationsWithChangingOptions()
    {
        auto& form = mainWindow();
        auto* result = qobject_cast<QLineEdit*>(control(form, QStringLiteral("Text1")));
        auto* verdict = qobject_cast<QLabel*>(control(form, QStringLiteral("Label2")));
        const float a[] = {1, 3, 7, 15, 40, 100};
        const float h[] = {0.5f, 1, 2, 3, 6, 10};
        const float w[] = {0.2f, 0.5f, 1, 3, 6, 10};
        QRandomGenerator random(20261208);
        long before = 0;
        for (int press = 0; press < 2000; ++press) {
            const int ia = random.bounded(6), ih = random.bounded(6), iw = random.bounded(6);
            click(form, QStringLiteral("Option%1").arg(1 + ia));
            click(form, QStringLiteral("Option%1").arg(7 + ih));
            click(form, QStringLiteral("Option%1").arg(13 + iw));
            click(form, QStringLiteral("Command1"));
            const float r = static_cast<float>(double(h[ih]) * a[ia] * w[iw]);
            QCOMPARE(result->text(), QString::fromStdString(risk::formatRisk(r, ".")));
            QCOMPARE(verdict->text(), QString::fromUtf8(risk::verdictText(*risk::riskBand(r)).data()));
            if (press == 200)
                before = residentKiB();
        }
        QCOMPARE(topLevels(QStringLiteral("Form1")), 1);
        checkGrowth(before, "1800 calculations");
    }

    void aboutDialogOpenedAndClosedManyTimes()
    {
        auto& form = mainWindow();
        long before = 0;
        for (int cycle = 1; cycle <= 300; ++cycle) {
            click(form, QStringLiteral("Command3"));
            auto& about = m_runtime->form<about::frmAbout>();
            QVERIFY(QTest::qWaitForWindowExposed(m_runtime->window(about)));
            QCOMPARE(qobject_cast<QLabel*>(control(about, QStringLiteral("lblVersion")))->text(),
                     QStringLiteral("Version 1.3.0"));
            // Painted as the user sees it, then closed.
            m_runtime->window(about)->repaint();
            click(about, QStringLiteral("cmdOK"));
            QVERIFY(!m_runtime->isLoaded<about::frmAbout>());
            settle();
            if (cycle == 20)
                before = residentKiB();
        }
        QCOMPARE(topLevels(QStringLiteral("frmAbout")), 0);
        QCOMPARE(topLevels(QStringLiteral("Form1")), 1);
        checkGrowth(before, "About dialogs 20 to 300");
    }

    void anyTextInTheResultBoxNeverDisturbsTheNextCalculation_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("a number") << QStringLiteral("99999");
        QTest::newRow("emoji and joiners") << QStringLiteral("👩‍🔬🏳️‍🌈 ⚠️ 🔥");
        QTest::newRow("right to left") << QStringLiteral("خطر \u202Eمرتفع\u202C שלום");
        QTest::newRow("combining marks")
            << QStringLiteral("Z\u0351\u036B\u0343\u036A\u0302\u036B\u033D\u034F\u0334");
        QTest::newRow("control characters") << QStringLiteral("\u0000\t\r\n\u001B\u007F\uFEFF\uFFFF");
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + QChar(0xDFFF);
        QTest::newRow("a megabyte") << QString(1 << 20, QChar(u'Ä'));
    }

    void anyTextInTheResultBoxNeverDisturbsTheNextCalculation()
    {
        QFETCH(QString, typed);
        auto& form = mainWindow();
        auto* result = qobject_cast<QLineEdit*>(control(form, QStringLiteral("Text1")));
        for (const char* option : {"Option2", "Option8", "Option17"})
            click(form, QString::fromLatin1(option));
        result->setFocus();
        result->selectAll();
        if (typed.size() < 100) {
            // Typed key by key, each key delivering one code point as its text.
            for (const char32_t point : typed.toUcs4())
                QTest::sendKeyEvent(QTest::Click, result, Qt::Key_unknown, QString::fromUcs4(&point, 1),
                                    Qt::NoModifier);
        } else {
            result->insert(typed); // pasted
        }
        click(form, QStringLiteral("Command1"));
        QCOMPARE(result->text(), QStringLiteral("18"));
        QCOMPARE(qobject_cast<QLabel*>(control(form, QStringLiteral("Label2")))->text(),
                 QString::fromUtf8(risk::verdictText(risk::RiskBand::Low).data()));
    }
};

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
