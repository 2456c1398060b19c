// SPDX-License-Identifier: MIT
// Saves what an X server shows as a PNG: the whole screen, or a rectangle of it.
//   grab_screen OUT.png [X Y WIDTH HEIGHT]

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: grab_screen OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap pixmap = argc == 6 ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]),
                                                          std::atoi(argv[4]), std::atoi(argv[5]))
                                     : screen->grabWindow(0);
    if (pixmap.isNull() || !pixmap.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "grab_screen: could not grab or save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
