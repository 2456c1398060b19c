# SPDX-License-Identifier: MIT
# The page's package, made from the built page on demand (scripts/package-web):
#   cmake --build --preset web --target web_package
set(package_source ${PROJECT_SOURCE_DIR}/resources/web)
configure_file(${package_source}/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/LIESMICH.txt @ONLY)
add_custom_target(web_package
    COMMAND bash ${package_source}/make_package.sh ${PROJECT_VERSION} ${GRADOLUX_PAGE}
        ${CMAKE_BINARY_DIR}/LIESMICH.txt ${CMAKE_BINARY_DIR}/packages
    DEPENDS Gradolux gradolux_page_fonts
    COMMENT "Making the page's zip"
    VERBATIM)
