# Runs an outside tool that is looked up when it is needed, at build or test
# time, rather than when the project is configured: a build folder configured
# before the tool was installed still finds it, and one configured with it
# does not keep a path that has since gone.
#
#   cmake -D TOOL=makensis -D PACKAGE=nsis [-D SKIP_WHEN_MISSING=ON]
#         -P RunTool.cmake -- ARGUMENT...
#
# A missing tool is an error naming the Debian package to install. With
# SKIP_WHEN_MISSING, a test prints "SKIPPED: ..." instead and succeeds, for
# its SKIP_REGULAR_EXPRESSION, except in CI (CI=true), where every tool the
# tests need must be there.
if(NOT TOOL OR NOT PACKAGE)
    message(FATAL_ERROR "RunTool.cmake: TOOL and PACKAGE must be given")
endif()

# The tool's arguments are whatever follows "--", which CMake leaves alone.
set(arguments)
set(after_separator OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
    if(after_separator)
        list(APPEND arguments "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} STREQUAL "--")
        set(after_separator ON)
    endif()
endforeach()

# No cache in script mode, so every run looks afresh.
find_program(tool_path ${TOOL} NO_CACHE)
if(NOT tool_path)
    if(SKIP_WHEN_MISSING AND NOT "$ENV{CI}" STREQUAL "true")
        message("SKIPPED: ${TOOL} is not installed (Debian package ${PACKAGE})")
        return()
    endif()
    message(FATAL_ERROR "${TOOL} not found: install Debian's ${PACKAGE} package")
endif()

execute_process(COMMAND ${tool_path} ${arguments} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} failed (${status})")
endif()
