// SPDX-License-Identifier: MIT
// The toolkit's floor for the benchmark: a bare Qt 6 Widgets program with the
// same windows as Gradolux — a borderless first window of the splash's size
// and number of controls; on a key, a second window of the calculator's size
// and number of controls; a button whose click sets a red label text — and
// nothing else: no descriptions, no style or palette, no translations.

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

QWidget* makeCalculator()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Floor calculator"));
    window->resize(671, 579);
    auto* title = new QLabel(QStringLiteral("Bewerten und Beurteilen von Risiken"), window);
    title->setGeometry(0, 8, 673, 25);
    const QRect frames[] = {{16, 40, 641, 177}, {16, 224, 281, 169}, {304, 224, 353, 169}};
    for (const QRect& rect : frames) {
        auto* frame = new QGroupBox(QStringLiteral("Skala"), window);
        frame->setGeometry(rect);
        for (int i = 0; i < 6; ++i)
            (new QRadioButton(QStringLiteral("Option %1").arg(i + 1), frame))
                ->setGeometry(8, 24 + 24 * i, 260, 17);
    }
    (new QLabel(QStringLiteral("R = A * H * W"), window))->setGeometry(16, 408, 281, 25);
    (new QLabel(QStringLiteral("Ergebnis"), window))->setGeometry(288, 408, 281, 17);
    (new QLineEdit(window))->setGeometry(576, 400, 73, 25);
    auto* verdict = new QLabel(window);
    verdict->setGeometry(16, 448, 641, 57);
    verdict->setWordWrap(true);
    verdict->setStyleSheet(QStringLiteral("color: red"));
    (new QLabel(QStringLiteral("(c)"), window))->setGeometry(56, 520, 177, 17);
    auto* calculate = new QPushButton(QStringLiteral("B&erechnen"), window);
    calculate->setGeometry(400, 520, 257, 25);
    QObject::connect(calculate, &QPushButton::clicked, verdict, [verdict] {
        verdict->setText(
            QStringLiteral("In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO."));
    });
    (new QPushButton(QStringLiteral("Programminfo"), window))->setGeometry(96, 544, 89, 25);
    auto* quit = new QPushButton(QStringLiteral("Programm Be&enden"), window);
    quit->setGeometry(400, 552, 257, 25);
    QObject::connect(quit, &QPushButton::clicked, qApp, &QCoreApplication::quit);
    return window;
}

class FirstWindow : public QWidget
{
public:
    FirstWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    {
        resize(498, 289);
        auto* frame = new QGroupBox(this);
        frame->setGeometry(13, 7, 472, 270);
        for (int i = 0; i < 9; ++i)
            (new QLabel(QStringLiteral("Zeile %1").arg(i), frame))->setGeometry(10, 10 + 28 * i, 300, 20);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().isEmpty())
            return;
        if (!m_calculator) {
            m_calculator = makeCalculator();
            m_calculator->move(screen()->availableGeometry().center() - m_calculator->rect().center());
        }
        m_calculator->show();
        m_calculator->activateWindow();
        hide();
    }

private:
    QWidget* m_calculator = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    FirstWindow first;
    first.move(first.screen()->availableGeometry().center() - first.rect().center());
    first.show();
    first.activateWindow();
    return QApplication::exec();
}
