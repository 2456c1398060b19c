// SPDX-License-Identifier: MIT
#pragma once

// Finds the System Information tool through two registry values, the full
// program path first and its folder second, and starts it without waiting;
// when it cannot be found or started, says so in one message.

#include "system_services.h"

#include <functional>
#include <string_view>

namespace about {

inline constexpr std::string_view kSysInfoKey = R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)";
inline constexpr std::string_view kSysInfoValue = "PATH";
inline constexpr std::string_view kSysInfoLocationKey = R"(SOFTWARE\Microsoft\Shared Tools Location)";
inline constexpr std::string_view kSysInfoLocationValue = "MSINFO";
inline constexpr std::string_view kSysInfoProgram = "\\MSINFO32.EXE";
inline constexpr std::string_view kSysInfoUnavailable = "Systeminformationen sind momentan nicht verfügbar";

// Every failure inside — no value readable, no program in the folder, a
// value without data, a program that cannot start — ends in the message.
void startSysInfo(SystemServices& services, const std::function<void(std::string_view)>& messageBox);

} // namespace about
