// SPDX-License-Identifier: MIT
#include "frm_splash.h"

#include "application_properties.h"
#include "form1.h"
#include "runtime.h"
#include "window_descriptions.h"

namespace startup {

frmSplash::frmSplash(forms::Runtime& runtime) : Form(runtime)
{
    onKeyPress([this](char32_t keyAscii) { Form_KeyPress(keyAscii); });
    onClick("Frame1", [this] { Frame1_Click(); });
}

const forms::WindowDescription& frmSplash::description() const
{
    return resources::splashDescription();
}

void frmSplash::Form_Load()
{
    setCaption("lblVersion", resources::versionText());
    setCaption("lblProductName", resources::kApplication.title);
}

void frmSplash::Form_KeyPress(char32_t /*keyAscii*/)
{
    openMainWindow();
}

void frmSplash::Frame1_Click()
{
    openMainWindow();
}

void frmSplash::openMainWindow()
{
    runtime().show(runtime().form<main_window::Form1>());
    runtime().hide(*this);
}

} // namespace startup
