# SPDX-License-Identifier: MIT
# The back end on plain Win32 (cross-built with MinGW-w64, see the windows
# preset): what it builds for, and the build's set-up. Included twice by the
# top-level project: first only for the facts (with GRADOLUX_BACKEND_FACTS
# set), then, if it is the chosen one, to set up.

# The system it builds for (CMAKE_SYSTEM_NAME), the system services the
# About dialog starts programs and reads the registry with (about/), and the
# tests its build runs (under Wine, from the Linux build's Windows lane).
set(backend_system Windows)
set(backend_services win32)
set(backend_tests tests/wine)
if(GRADOLUX_BACKEND_FACTS)
    return()
endif()

# No Qt. The same commit gives the same bytes: no time stamp in the
# executable's header, no build folder in its code.
enable_language(RC)
# Every program of the build in one folder, as they would be installed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_link_options(-Wl,--no-insert-timestamp)
# The release program ships without its symbol table (the linker strips
# it: strip afterwards would stamp the header with the time again).
add_link_options($<$<CONFIG:Release>:-s>)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
# The installers and the MSI, built from this program.
set(backend_packages ${CMAKE_SOURCE_DIR}/cmake/windows_packages.cmake)
