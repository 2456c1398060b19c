// SPDX-License-Identifier: MIT
#pragma once

// What has to be settled around the toolkit's own start, before any window
// exists: that it writes nothing on its way up, and that a missing display
// ends the program with one clear German line and exit code 1 instead of
// the toolkit's abort.

#include <QByteArray>

namespace forms {

class ToolkitStart
{
public:
    // Call before the QApplication is made.
    ToolkitStart();
    // Call once the QApplication stands: restores the environment and the
    // toolkit's usual message output.
    ~ToolkitStart();
    ToolkitStart(const ToolkitStart&) = delete;
    ToolkitStart& operator=(const ToolkitStart&) = delete;

    // The one line printed when the toolkit cannot open its display.
    static QByteArray noDisplayMessage(const QByteArray& platform, const QByteArray& display);

private:
    bool m_redirectedRuntimeDir = false;
    bool m_hadTemporaryDir = false;
    QByteArray m_temporaryDir;
};

} // namespace forms
