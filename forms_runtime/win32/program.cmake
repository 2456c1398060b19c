# SPDX-License-Identifier: MIT
# Gradolux.exe: the windows on the Win32 back end, started by win32_main.cpp,
# with the version record, the icon group and the application manifest.
# Included by the top-level project once the resources are known.
set(win32_folder ${CMAKE_CURRENT_LIST_DIR})
configure_file(${win32_folder}/win32_program.rc.in ${CMAKE_BINARY_DIR}/gradolux_program.rc @ONLY)
set(GRADOLUX_PROGRAM_RC ${CMAKE_BINARY_DIR}/gradolux_program.rc)
add_executable(Gradolux WIN32 ${win32_folder}/win32_main.cpp ${GRADOLUX_PROGRAM_RC})
set_source_files_properties(${GRADOLUX_PROGRAM_RC} PROPERTIES OBJECT_DEPENDS "${GRADOLUX_ICO};${GRADOLUX_MANIFEST}")
target_link_libraries(Gradolux PRIVATE gradolux_startup gradolux_forms_win32)
target_link_options(Gradolux PRIVATE -municode)
add_dependencies(Gradolux gradolux_windows_icon)
install(TARGETS Gradolux RUNTIME DESTINATION .)
