# SPDX-License-Identifier: MIT
# gradolux: the windows on the Qt back end, started by qt_main.cpp after the
# toolkit's start (qt_toolkit_start.h). Included by the top-level project once
# the resources are known.
set(qt_folder ${CMAKE_CURRENT_LIST_DIR})
qt_add_executable(Gradolux WIN32 ${qt_folder}/qt_main.cpp ${qt_folder}/qt_toolkit_start.cpp
    ${qt_folder}/qt_toolkit_start.h)
target_link_libraries(Gradolux PRIVATE gradolux_startup gradolux_forms_qt gradolux_icons)
# Executables on Linux are named in lower case.
set_target_properties(Gradolux PROPERTIES OUTPUT_NAME gradolux)
install(TARGETS Gradolux RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
