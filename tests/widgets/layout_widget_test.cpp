// SPDX-License-Identifier: MIT
// Every text of every window fits the rectangle it was laid out for, so no
// text is cut off, at the scale factor the test runs with (QT_SCALE_FACTOR);
// and the windows scale as a whole, their fonts named by the family that
// draws them.

#include "form1.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "qt_runtime.h"
#include "risk_evaluator.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <memory>

class LayoutWidgetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<forms::QtRuntime> m_runtime;

    // Where the text of a control goes, and how it is laid out there.
    static QRect textArea(QWidget* widget, int& flags)
    {
        flags = Qt::TextShowMnemonic;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            flags |= int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            return label->contentsRect();
        }
        if (auto* option = qobject_cast<QRadioButton*>(widget)) {
            QStyleOptionButton style;
            style.initFrom(option);
            const QRect mark =
                option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
            const int left = mark.right() + 1 +
                             option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &style, option);
            flags |= Qt::TextWordWrap;
            return {left, 0, option->width() - left, option->height()};
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            flags |= Qt::AlignCenter;
            return button->rect().adjusted(4, 2, -4, -2);
        }
        return {};
    }

    static QString textOf(QWidget* widget)
    {
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text();
        return {};
    }

    void checkWindow(const forms::Form& form)
    {
        for (QWidget* widget : m_runtime->window(form)->findChildren<QWidget*>()) {
            const QString text = textOf(widget);
            if (text.trimmed().isEmpty())
                continue;
            int flags = 0;
            const QRect area = textArea(widget, flags);
            const QRect needed = widget->fontMetrics().boundingRect(area, flags, text);
            // The last line's descent may reach past the bottom: no glyph of
            // these texts goes below the baseline by more than that.
            const QRect allowed = area.adjusted(0, 0, 1, widget->fontMetrics().descent());
            QVERIFY2(allowed.contains(needed),
                     qPrintable(QStringLiteral("%1 '%2' needs %3x%4 at %5,%6, has %7x%8")
                                    .arg(widget->objectName(), text)
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(needed.x())
                                    .arg(needed.y())
                                    .arg(area.width())
                                    .arg(area.height())));
        }
    }

private slots:
    void init()
    {
        m_runtime = std::make_unique<forms::QtRuntime>("Gradolux");
        m_runtime->setExitHandler([](int) {});
    }
    void cleanup() { m_runtime.reset(); }

    void splashTextsFit() { checkWindow(m_runtime->form<startup::frmSplash>()); }
    void mainWindowTextsFit() { checkWindow(m_runtime->form<main_window::Form1>()); }
    void aboutTextsFit() { checkWindow(m_runtime->form<about::frmAbout>()); }

    // Every font names the family that draws it, not the design's face
    // ("Arial", "MS Sans Serif", "@Arial Unicode MS"), so that faces drawn by
    // one family share the toolkit's font engine for a size.
    void fontsNameTheFamilyThatDrawsThem()
    {
        const forms::Form* forms[] = {&m_runtime->form<startup::frmSplash>(),
                                      &m_runtime->form<main_window::Form1>(),
                                      &m_runtime->form<about::frmAbout>()};
        for (const forms::Form* form : forms) {
            for (QWidget* widget : m_runtime->window(*form)->findChildren<QWidget*>()) {
                const QFont font = widget->font();
                QVERIFY2(QFontInfo(font).family() == font.family(),
                         qPrintable(widget->objectName() + " asks for " + font.family() + ", drawn by " +
                                    QFontInfo(font).family()));
            }
        }
    }

    void everyVerdictFitsItsLabel()
    {
        auto& form = m_runtime->form<main_window::Form1>();
        for (int band = 0; band <= 5; ++band) {
            m_runtime->setCaption(form, "Label2", risk::verdictText(static_cast<risk::RiskBand>(band)));
            checkWindow(form);
        }
    }

    void windowsScaleAsAWhole()
    {
        auto& form = m_runtime->form<main_window::Form1>();
        QWidget* top = m_runtime->window(form);
        m_runtime->show(form);
        QVERIFY(QTest::qWaitForWindowExposed(top));
        const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
        QCOMPARE(top->devicePixelRatioF(), scale);
        // The same logical rectangles, drawn with scale times as many pixels.
        const QPixmap picture = top->grab();
        QCOMPARE(picture.size(), top->size() * scale);
        QCOMPARE(top->size(), QSize(671, 579));
    }
};

QTEST_MAIN(LayoutWidgetTest)
#include "layout_widget_test.moc"
