// SPDX-License-Identifier: MIT
#include "program_start.h"

#include "frm_splash.h"
#include "runtime.h"
#include "window_descriptions.h"

namespace startup {

void startProgram(forms::Runtime& runtime)
{
    runtime.start<frmSplash>();
    runtime.prepare(resources::form1Description());
}

} // namespace startup
