// SPDX-License-Identifier: MIT
#pragma once

// The About dialog: which program this is, what it is for, and that it is a
// beta version with an address for fault reports. Loaded afresh on every
// opening; "OK" (Enter, Escape) unloads it. "Systeminfo..." starts the
// System Information tool through StartSysInfo, which reads the registry
// with GetKeyValue.

#include "form.h"
#include "system_services.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace about {

class frmAbout final : public forms::Form
{
public:
    explicit frmAbout(forms::Runtime& runtime);

    const forms::WindowDescription& description() const override;

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();

    void StartSysInfo();
    bool GetKeyValue(std::uint32_t KeyRoot, std::string_view KeyName, std::string_view SubKeyRef,
                     std::string& KeyVal);

    // Replaces the platform's registry, file test and program starter.
    void useSystemServices(std::unique_ptr<SystemServices> services) { m_services = std::move(services); }

private:
    std::unique_ptr<SystemServices> m_services;
};

} // namespace about
