# SPDX-License-Identifier: MIT
# The Windows packages, made from Gradolux.exe on demand (scripts/package-windows):
#   cmake --build --preset windows --target windows_packages
set(packages_source ${PROJECT_SOURCE_DIR}/resources/windows/packages)
set(GRADOLUX_WINDOWS_PACKAGES ${CMAKE_BINARY_DIR}/packages)
configure_file(${packages_source}/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/LIESMICH.txt @ONLY)
add_custom_target(windows_packages
    COMMAND bash ${packages_source}/make_packages.sh ${PROJECT_VERSION} $<TARGET_FILE:Gradolux> ${GRADOLUX_ICO}
        ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LIESMICH.txt ${packages_source}/installer.nsi
        ${GRADOLUX_WINDOWS_PACKAGES}
    DEPENDS Gradolux gradolux_windows_icon
    COMMENT "Making the Windows zip and installer"
    VERBATIM)
