# SPDX-License-Identifier: MIT
# The back end on Qt Widgets: what it builds for, and the toolkit's set-up.
# Included twice by the top-level project: first only for the facts (with
# GRADOLUX_BACKEND_FACTS set), then, if it is the chosen one, to set up.

# The system it builds for (CMAKE_SYSTEM_NAME), the system services the
# About dialog starts programs and reads settings with (about/), and the
# tests its build runs.
set(backend_system Linux)
set(backend_services posix)
set(backend_tests tests)
if(GRADOLUX_BACKEND_FACTS)
    return()
endif()

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets)
qt_standard_project_setup()
# What an installed Gradolux brings to a Linux desktop, and its Debian package.
set(backend_packages ${CMAKE_SOURCE_DIR}/resources/packaging)
