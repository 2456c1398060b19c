// SPDX-License-Identifier: MIT
#pragma once

// The splash window: the first window the user sees. It names the program and
// its version and waits, without a timer, for a key that types a character or
// a click on its frame; then it opens the main window and hides itself. It
// stays loaded, hidden, for the rest of the run.

#include "form.h"

namespace startup {

class frmSplash final : public forms::Form
{
public:
    explicit frmSplash(forms::Runtime& runtime);

    const forms::WindowDescription& description() const override;

    void Form_Load() override;
    void Form_KeyPress(char32_t keyAscii);
    void Frame1_Click();

private:
    void openMainWindow();
};

} // namespace startup
