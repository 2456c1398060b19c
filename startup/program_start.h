// SPDX-License-Identifier: MIT
#pragma once

// How Gradolux starts, the same on every back end: no code of its own runs
// before the first window, the splash, is loaded and shown; while it waits
// for the user's key, the run-time may get the calculator, the window that
// comes next, ready.

namespace forms {
class Runtime;
}

namespace startup {

void startProgram(forms::Runtime& runtime);

} // namespace startup
