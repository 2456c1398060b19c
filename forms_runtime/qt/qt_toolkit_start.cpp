// SPDX-License-Identifier: MIT
#include "qt_toolkit_start.h"

#include "application_properties.h"
#include "runtime.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace forms {
namespace {

// A folder that exists and in which no folder can be made, and a folder in it
// that cannot exist.
constexpr const char* kUnwritable = "/proc/self";
constexpr const char* kNowhere = "/proc/self/gradolux-no-runtime-folder";

// The toolkit's own handler, to pass messages on to and to restore; a message
// handler is a plain function, so it can only be reached from here.
QtMessageHandler g_toolkitHandler = nullptr; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

// While the toolkit starts: its complaints about the display it could not
// open, and about the runtime folder pointed to nowhere, are replaced by
// the one line of noDisplayMessage(); anything else passes on.
void startMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        const QByteArray line =
            ToolkitStart::noDisplayMessage(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"));
        std::fputs(line.constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    const QByteArrayView category(context.category ? context.category : "");
    if (category.startsWith("qt.qpa.") || message.startsWith(QLatin1String("QStandardPaths: ")))
        return;
    g_toolkitHandler(type, context, message);
}

} // namespace

ToolkitStart::ToolkitStart()
{
    // The toolkit looks for "flatpak-info" in the runtime folder to learn
    // whether it runs in a sandbox, and without XDG_RUNTIME_DIR it makes a
    // folder $TMPDIR/runtime-<user> for that (at the file-system root when
    // TMPDIR names a missing folder). A sandbox always sets the variable, so
    // without it the answer is no: while the toolkit starts, both point
    // where no folder can be made, and it finds nothing there.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        m_redirectedRuntimeDir = true;
        m_hadTemporaryDir = qEnvironmentVariableIsSet("TMPDIR");
        m_temporaryDir = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", kNowhere);
        qputenv("TMPDIR", kUnwritable);
    }
    g_toolkitHandler = qInstallMessageHandler(startMessages);
}

ToolkitStart::~ToolkitStart()
{
    qInstallMessageHandler(g_toolkitHandler);
    if (m_redirectedRuntimeDir) {
        qunsetenv("XDG_RUNTIME_DIR");
        if (m_hadTemporaryDir)
            qputenv("TMPDIR", m_temporaryDir);
        else
            qunsetenv("TMPDIR");
    }
}

QByteArray ToolkitStart::noDisplayMessage(const QByteArray& platform, const QByteArray& display)
{
    const std::string_view title = resources::kApplication.title;
    std::string line;
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        line =
            forms::displayFailureMessage(title, forms::DisplayFailure::NoConnection, platform.toStdString());
    else if (display.isEmpty())
        line = forms::displayFailureMessage(title, forms::DisplayFailure::NoDisplay, {});
    else
        line = forms::displayFailureMessage(title, forms::DisplayFailure::Unreachable, display.toStdString());
    return QByteArray::fromStdString(line);
}

} // namespace forms
