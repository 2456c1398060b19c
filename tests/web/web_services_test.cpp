// SPDX-License-Identifier: MIT
// The system services of the page: nothing to read, nothing to find, nothing
// to start, and the System Information command ends in its message.
#include "no_registry.h"
#include "system_info_launcher.h"
#include "system_services.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

namespace {

TEST(WebServicesTest, APageFindsAndStartsNothing)
{
    const auto services = about::platformSystemServices();
    for (const std::string path : {"/", "/tmp", "index.html", "C:\\Windows\\System32\\msinfo32.exe"}) {
        EXPECT_FALSE(services->fileExists(path)) << path;
        EXPECT_THROW(services->startProgram(path), std::system_error) << path;
    }
}

TEST(WebServicesTest, SystemInformationEndsInItsMessageOnce)
{
    const auto services = about::platformSystemServices();
    std::vector<std::string> shown;
    about::startSysInfo(*services, [&](std::string_view text) { shown.emplace_back(text); });
    EXPECT_EQ(shown, std::vector<std::string>{std::string(about::kSysInfoUnavailable)});
}

} // namespace
