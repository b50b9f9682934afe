# brevik_add_test(NAME SOURCES... [LIBS ...] [WINDOW])
# Builds one QtTest executable and registers it with ctest. Every test runs on Qt's offscreen
# platform, so no display is needed; WINDOW tests link the windows (brevik_ui, and so
# brevik_platform) as well as the core.
function(brevik_add_test name)
    cmake_parse_arguments(ARG "WINDOW" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE brevik_core Qt6::Test ${ARG_LIBS})
    if(ARG_WINDOW)
        target_link_libraries(${name} PRIVATE brevik_ui)
    endif()
    target_compile_definitions(
        ${name} PRIVATE BREVIK_SAMPLES_DIR="${BREVIK_SAMPLES_DIR}" BREVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                        BREVIK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0"
                                            TIMEOUT 300)
endfunction()
