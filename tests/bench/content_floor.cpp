// SPDX-License-Identifier: MIT
// The content floor for the benchmark: Gradolux's splash and calculator as a
// plain Qt 6 Widgets program shows them — the same texts, fonts (the face
// that is drawn, at the same pixel sizes and weights), geometry, pictures and
// colours, read from the same window descriptions — and nothing of the forms
// run-time: no rules, no registry, no event filters, no screen-reader
// announcements, no translations. A key on the first window opens the
// calculator; its calculate button clears the verdict, evaluates the chosen
// options and shows R and the verdict, as the calculator does.

#include "application_properties.h"
#include "risk_evaluator.h"
#include "system_colours.h"
#include "units.h"
#include "window_descriptions.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <map>
#include <string>

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor colour(forms::StoredColour stored)
{
    const forms::Rgb rgb = forms::resolveColour(stored);
    return {rgb.red, rgb.green, rgb.blue};
}

QFont designFont(const forms::FontSpec& design)
{
    QFont made(QStringLiteral("Liberation Sans"));
    made.setPixelSize(forms::pointsToPixels(design.points));
    made.setWeight(static_cast<QFont::Weight>(design.weight));
    return made;
}

QRect pixels(const forms::TwipsRect& rect)
{
    return {forms::twipsToPixels(rect.left), forms::twipsToPixels(rect.top), forms::twipsToPixels(rect.width),
            forms::twipsToPixels(rect.height)};
}

Qt::Alignment alignment(forms::Alignment aligned)
{
    switch (aligned) {
    case forms::Alignment::Right:
        return Qt::AlignRight;
    case forms::Alignment::Centre:
        return Qt::AlignHCenter;
    case forms::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Every control of a description as a plain widget in `client`, by name.
std::map<std::string_view, QWidget*> buildControls(const forms::WindowDescription& description,
                                                   QWidget* client)
{
    std::map<std::string_view, QWidget*> widgets;
    for (const forms::ControlDescription& control : description.controls) {
        QWidget* parent = control.container.empty() ? client : widgets.at(control.container);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case forms::ControlKind::Label: {
            auto* label = new QLabel(text(control.text), parent);
            label->setAlignment(alignment(control.alignment) | Qt::AlignTop);
            label->setWordWrap(!control.autoSize);
            widget = label;
            break;
        }
        case forms::ControlKind::Frame:
            widget = new QGroupBox(text(control.text), parent);
            break;
        case forms::ControlKind::OptionButton:
            widget = new QRadioButton(text(control.text), parent);
            break;
        case forms::ControlKind::TextBox: {
            auto* edit = new QLineEdit(text(control.text), parent);
            edit->setAlignment(alignment(control.alignment) | Qt::AlignVCenter);
            widget = edit;
            break;
        }
        case forms::ControlKind::CommandButton:
            widget = new QPushButton(text(control.text), parent);
            break;
        case forms::ControlKind::Image:
        case forms::ControlKind::PictureBox: {
            auto* picture = new QLabel(parent);
            picture->setPixmap(QPixmap(QStringLiteral(":/pictures/") + text(control.picture) + ".png"));
            picture->setScaledContents(control.kind == forms::ControlKind::Image);
            widget = picture;
            break;
        }
        case forms::ControlKind::Line:
            widget = new QFrame(parent);
            break;
        }
        widget->setFont(designFont(control.font.value_or(description.font)));
        widget->setGeometry(pixels(control.rect));
        if (control.foreColour) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, colour(*control.foreColour));
            palette.setColor(QPalette::Text, colour(*control.foreColour));
            widget->setPalette(palette);
        }
        widgets[control.name] = widget;
    }
    return widgets;
}

void setLabel(QWidget* label, std::string_view caption)
{
    static_cast<QLabel*>(label)->setText(text(caption));
}

class Calculator : public QWidget
{
public:
    Calculator()
    {
        const forms::WindowDescription& description = resources::form1Description();
        setWindowTitle(text(description.caption));
        setFont(designFont(description.font));
        resize(forms::twipsToPixels(description.clientWidth), forms::twipsToPixels(description.clientHeight));
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, colour(*description.backColour));
        setPalette(palette);
        setAutoFillBackground(true);
        m_controls = buildControls(description, this);
        QObject::connect(static_cast<QPushButton*>(m_controls.at("Command1")), &QPushButton::clicked, this,
                         [this] { calculate(); });
        QObject::connect(static_cast<QPushButton*>(m_controls.at("Command2")), &QPushButton::clicked, qApp,
                         &QCoreApplication::quit);
        m_controls.at("Command1")->setFocus();
    }

private:
    void calculate()
    {
        setLabel(m_controls.at("Label2"), "");
        risk::Selection selection{};
        for (std::size_t i = 0; i < selection.size(); ++i)
            selection[i] =
                static_cast<QRadioButton*>(m_controls.at("Option" + std::to_string(i + 1)))->isChecked();
        const risk::RiskResult result = risk::RiskEvaluator::evaluate(
            m_factors, selection, QLocale::system().decimalPoint().toStdString());
        static_cast<QLineEdit*>(m_controls.at("Text1"))->setText(text(result.text));
        setLabel(m_controls.at("Label2"), result.verdict);
    }

    std::map<std::string_view, QWidget*> m_controls;
    risk::RiskFactors m_factors;
};

// A bare box with a raised border, as the splash is shown.
class FirstWindow : public QFrame
{
public:
    FirstWindow() : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    {
        const forms::WindowDescription& description = resources::splashDescription();
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(3);
        const QSize client(forms::twipsToPixels(description.clientWidth),
                           forms::twipsToPixels(description.clientHeight));
        setFixedSize(client + QSize(2 * frameWidth(), 2 * frameWidth()));
        auto* inside = new QWidget(this);
        inside->setGeometry(QRect(QPoint(frameWidth(), frameWidth()), client));
        inside->setFont(designFont(description.font));
        const auto controls = buildControls(description, inside);
        setLabel(controls.at("lblVersion"), resources::versionText());
        setLabel(controls.at("lblProductName"), resources::kApplication.title);
        // A label that follows its text takes its size; a right-aligned one keeps its right edge.
        for (const auto& [name, widget] : controls) {
            auto* label = qobject_cast<QLabel*>(widget);
            if (!label || label->wordWrap())
                continue;
            const int right = label->geometry().right();
            label->adjustSize();
            if (label->alignment() & Qt::AlignRight)
                label->move(right - label->width() + 1, label->y());
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().isEmpty())
            return;
        if (!m_calculator) {
            m_calculator = new Calculator;
            m_calculator->move(screen()->geometry().center() - m_calculator->rect().center());
        }
        m_calculator->show();
        m_calculator->activateWindow();
        hide();
    }

private:
    Calculator* m_calculator = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette palette;
    palette.setColor(QPalette::Window, colour(forms::systemColour(forms::sys::ButtonFace)));
    palette.setColor(QPalette::Button, colour(forms::systemColour(forms::sys::ButtonFace)));
    palette.setColor(QPalette::Base, colour(forms::systemColour(forms::sys::Window)));
    QApplication::setPalette(palette);
    FirstWindow first;
    first.move(first.screen()->geometry().center() - first.rect().center());
    first.show();
    first.activateWindow();
    return QApplication::exec();
}
