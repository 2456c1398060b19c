// SPDX-License-Identifier: MIT
// Gradolux in the browser starts with its splash window once the page's
// fonts are loaded (gradolux-page.js holds the start back until then); the
// run-time lives on with the page, its events coming from the page.
#include "application_properties.h"
#include "program_start.h"
#include "web_runtime.h"

#include <string>

int main()
{
    static forms::WebRuntime runtime{std::string(resources::kApplication.title)};
    startup::startProgram(runtime);
    return 0;
}
