# The end-to-end suite's cases (tests/e2e/cases.txt) as tests of one window:
# e2e.WINDOW.CASE for each case that window has, and e2e.WINDOW.monkey.
#
#   mervalin_end_to_end(WINDOW COMMAND PREFIX... ARGUMENTS ARGUMENT...)
#
# Each test runs PREFIX CASE ARGUMENTS: PREFIX starts the window's driver,
# ARGUMENTS are the runner and what the driver needs. PROPERTIES are set on
# every test.
function(mervalin_end_to_end window)
    cmake_parse_arguments(PARSE_ARGV 1 e2e "" "" "COMMAND;ARGUMENTS;PROPERTIES")
    set(cases_file ${PROJECT_SOURCE_DIR}/tests/e2e/cases.txt)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${cases_file})
    file(STRINGS ${cases_file} headers REGEX "^case ")
    set(tests)
    foreach(header IN LISTS headers)
        string(REGEX REPLACE " +" ";" words "${header}")
        list(POP_FRONT words keyword case)
        list(FILTER words EXCLUDE REGEX "^(locale|contrast)=")
        if(words AND NOT window IN_LIST words)
            continue()
        endif()
        add_test(NAME e2e.${window}.${case} COMMAND ${e2e_COMMAND} ${case} ${e2e_ARGUMENTS})
        list(APPEND tests e2e.${window}.${case})
    endforeach()
    # 2,000 random events of every kind the window has; the seed is printed.
    add_test(NAME e2e.${window}.monkey
        COMMAND ${e2e_COMMAND} monkey --events 2000 ${e2e_ARGUMENTS})
    set_tests_properties(${tests} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 ${e2e_PROPERTIES})
    set_tests_properties(e2e.${window}.monkey PROPERTIES TIMEOUT 900 ${e2e_PROPERTIES})
endfunction()
