// SPDX-License-Identifier: MIT
#include "frm_about.h"

#include "application_properties.h"
#include "registry_reader.h"
#include "runtime.h"
#include "system_info_launcher.h"
#include "window_descriptions.h"

namespace about {

frmAbout::frmAbout(forms::Runtime& runtime) : Form(runtime), m_services(platformSystemServices())
{
    onClick("cmdOK", [this] { cmdOK_Click(); });
    onClick("cmdSysInfo", [this] { cmdSysInfo_Click(); });
}

const forms::WindowDescription& frmAbout::description() const
{
    return resources::aboutDescription();
}

void frmAbout::Form_Load()
{
    const std::string_view title = resources::kApplication.title;
    setWindowCaption("Info zu " + std::string(title));
    setCaption("lblVersion", resources::versionText());
    setCaption("lblTitle", title);
}

void frmAbout::cmdOK_Click()
{
    runtime().unload(*this);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    startSysInfo(*m_services, [this](std::string_view text) { runtime().messageBox(text); });
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, std::string_view KeyName, std::string_view SubKeyRef,
                           std::string& KeyVal)
{
    return about::GetKeyValue(m_services->registry(), KeyRoot, KeyName, SubKeyRef, KeyVal);
}

} // namespace about
