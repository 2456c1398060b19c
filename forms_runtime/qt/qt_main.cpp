// SPDX-License-Identifier: MIT
// Gradolux starts with its splash window; nothing of its own runs before it.

#include "application_properties.h"
#include "program_start.h"
#include "qt_runtime.h"
#include "qt_toolkit_start.h"

#include <QApplication>

#include <memory>
#include <string>

int main(int argc, char* argv[])
{
    // Without a session bus there is no one to talk to; keep the D-Bus
    // library from starting one, which would write into the home folder.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    auto toolkitStart = std::make_unique<forms::ToolkitStart>();
    QApplication application(argc, argv);
    toolkitStart.reset();
    QApplication::setApplicationName(QString::fromUtf8(
        resources::kApplication.title.data(), static_cast<qsizetype>(resources::kApplication.title.size())));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(resources::kApplication.major)
                                            .arg(resources::kApplication.minor)
                                            .arg(resources::kApplication.revision));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/application-icon.png")));
    // The windows manage their own lifetime: a hidden window is still loaded.
    QApplication::setQuitOnLastWindowClosed(false);

    forms::QtRuntime runtime{std::string(resources::kApplication.title)};
    startup::startProgram(runtime);
    // An error while loading the splash has ended the run before the event loop.
    if (runtime.hasEnded())
        return runtime.exitCode();
    return QApplication::exec();
}
