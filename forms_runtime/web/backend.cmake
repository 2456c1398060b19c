# SPDX-License-Identifier: MIT
# The back end in the browser (built with Emscripten, see the web preset):
# what it builds for, and the build's set-up. Included twice by the
# top-level project: first only for the facts (with GRADOLUX_BACKEND_FACTS
# set), then, if it is the chosen one, to set up.

# The system it builds for (CMAKE_SYSTEM_NAME), the system services the
# About dialog has there (about/: none), and the tests its build runs (the
# neutral unit tests as WebAssembly, from the Linux build's web lane).
set(backend_system Emscripten)
set(backend_services web)
set(backend_tests tests/web)
if(GRADOLUX_BACKEND_FACTS)
    return()
endif()

# -O2, not -O3: with Asyncify the page comes out smaller, and 3.1.6's
# JavaScript optimiser fails on the -O3 output.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
# C++ exceptions are caught, not turned into aborts; the same commit gives
# the same bytes.
add_compile_options(-fexceptions -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
add_link_options(-fexceptions)
# The page's zip, built from this program.
set(backend_packages ${CMAKE_SOURCE_DIR}/cmake/web_package.cmake)
