# SPDX-License-Identifier: MIT
# The Windows packages, made from Gradolux.exe on demand (scripts/package-windows):
#   cmake --build --preset windows --target windows_packages
set(packages_source ${PROJECT_SOURCE_DIR}/resources/windows/packages)
set(GRADOLUX_WINDOWS_PACKAGES ${CMAKE_BINARY_DIR}/packages)
configure_file(${packages_source}/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/LIESMICH.txt @ONLY)

# The MSI's product and package codes follow from the version: a new one for
# each version, the same for every build of one version.
# The upgrade code stays the same for the product's whole life.
set(GRADOLUX_MSI_UPGRADE_CODE 6C0F3E2A-8B61-4C57-9E0D-3A4B5C6D7E81)
set(msi_namespace ${GRADOLUX_MSI_UPGRADE_CODE})
string(UUID GRADOLUX_MSI_PRODUCT_CODE NAMESPACE ${msi_namespace} NAME "product ${PROJECT_VERSION}" TYPE SHA1 UPPER)
string(UUID GRADOLUX_MSI_PACKAGE_CODE NAMESPACE ${msi_namespace} NAME "package ${PROJECT_VERSION}" TYPE SHA1 UPPER)
configure_file(${packages_source}/gradolux.wxs.in ${CMAKE_BINARY_DIR}/gradolux.wxs @ONLY)
# For the Windows lane, which makes the packages again, signed.
file(WRITE ${CMAKE_BINARY_DIR}/msi_package_code.txt "${GRADOLUX_MSI_PACKAGE_CODE}\n")
file(WRITE ${CMAKE_BINARY_DIR}/msi_upgrade_code.txt "${GRADOLUX_MSI_UPGRADE_CODE}\n")

# The MSI's custom action, which refuses an uninstall while Gradolux runs: a
# DLL that Windows Installer loads, self-contained like the program.
add_library(gradolux_msi_guard MODULE ${packages_source}/msi_guard.cpp)
set_target_properties(gradolux_msi_guard PROPERTIES PREFIX "" OUTPUT_NAME msi_guard)
target_link_libraries(gradolux_msi_guard PRIVATE msi advapi32)
target_link_options(gradolux_msi_guard PRIVATE -static)

# The installer's helper that cancels the deletions an earlier uninstall left
# for the next start of Windows in the installation folder.
add_library(gradolux_pending_operations STATIC ${packages_source}/pending_operations.cpp)
target_include_directories(gradolux_pending_operations PUBLIC ${packages_source})
add_executable(cancel_pending_deletes WIN32 ${packages_source}/cancel_pending_deletes.cpp)
target_link_libraries(cancel_pending_deletes PRIVATE gradolux_pending_operations)
target_link_options(cancel_pending_deletes PRIVATE -municode)

add_custom_target(windows_packages
    COMMAND bash ${packages_source}/make_packages.sh ${PROJECT_VERSION} $<TARGET_FILE:Gradolux> ${GRADOLUX_ICO}
        ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LIESMICH.txt ${packages_source}/installer.nsi
        ${CMAKE_BINARY_DIR}/gradolux.wxs ${GRADOLUX_MSI_PACKAGE_CODE} ${GRADOLUX_MSI_UPGRADE_CODE}
        $<TARGET_FILE:gradolux_msi_guard> $<TARGET_FILE:cancel_pending_deletes> ${GRADOLUX_WINDOWS_PACKAGES}
    DEPENDS Gradolux gradolux_windows_icon gradolux_msi_guard cancel_pending_deletes
    COMMENT "Making the Windows zip, installer and MSI"
    VERBATIM)
