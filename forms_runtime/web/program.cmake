# SPDX-License-Identifier: MIT
# The page: gradolux.js (the program, its WebAssembly inlined so that the
# page also opens from a folder without a server), started by web_main.cpp
# once gradolux-page.js has loaded the fonts; beside it index.html, the
# style sheet, the icon and the bundled faces, in ${CMAKE_BINARY_DIR}/page.
set(web_folder ${CMAKE_CURRENT_LIST_DIR})
set(GRADOLUX_PAGE ${CMAKE_BINARY_DIR}/page)
add_executable(Gradolux ${web_folder}/web_main.cpp)
target_link_libraries(Gradolux PRIVATE gradolux_startup gradolux_forms_web)
set_target_properties(Gradolux PROPERTIES OUTPUT_NAME gradolux RUNTIME_OUTPUT_DIRECTORY ${GRADOLUX_PAGE})
target_link_options(Gradolux PRIVATE
    -sSINGLE_FILE=1
    # Compiled from the inlined bytes at once, never fetched from a data:
    # address (which the page's own policy forbids).
    -sWASM_ASYNC_COMPILATION=0
    -sENVIRONMENT=web
    -sINCOMING_MODULE_JS_API=['preRun']
    "-sEXPORTED_RUNTIME_METHODS=['addRunDependency','removeRunDependency']")

# The faces the page draws every text in: Liberation Sans (Arial's metrics),
# cut down to the characters a German text can hold.
set(liberation /usr/share/fonts/truetype/liberation2)
set(page_characters "U+0020-007E,U+00A0-00FF,U+20AC,U+2013-2014,U+2018-201E,U+2022,U+2026")
set(page_files)
foreach(face IN ITEMS Regular Bold)
    if(face STREQUAL Regular)
        set(output ${GRADOLUX_PAGE}/gradolux-sans.woff2)
    else()
        set(output ${GRADOLUX_PAGE}/gradolux-sans-bold.woff2)
    endif()
    add_custom_command(OUTPUT ${output}
        COMMAND pyftsubset ${liberation}/LiberationSans-${face}.ttf --unicodes=${page_characters}
            --layout-features=kern --flavor=woff2 --output-file=${output}
        DEPENDS ${liberation}/LiberationSans-${face}.ttf
        COMMENT "Cutting Liberation Sans ${face} down to the page's characters")
    list(APPEND page_files ${output})
endforeach()
set(GRADOLUX_TITLE ${PROJECT_NAME})
configure_file(${web_folder}/page/index.html ${GRADOLUX_PAGE}/index.html @ONLY)
foreach(file IN ITEMS gradolux-page.js gradolux.css)
    configure_file(${web_folder}/page/${file} ${GRADOLUX_PAGE}/${file} COPYONLY)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/resources/icons/gradolux-32.png ${GRADOLUX_PAGE}/gradolux-32.png COPYONLY)
add_custom_target(gradolux_page_fonts ALL DEPENDS ${page_files})
