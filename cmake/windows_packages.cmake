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

add_custom_target(windows_packages
    COMMAND bash ${packages_source}/make_packages.sh ${PROJECT_VERSION} $<TARGET_FILE:Gradolux> ${GRADOLUX_ICO}
        ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LIESMICH.txt ${packages_source}/installer.nsi
        ${CMAKE_BINARY_DIR}/gradolux.wxs ${GRADOLUX_MSI_PACKAGE_CODE} ${GRADOLUX_WINDOWS_PACKAGES}
    DEPENDS Gradolux gradolux_windows_icon
    COMMENT "Making the Windows zip, installer and MSI"
    VERBATIM)
