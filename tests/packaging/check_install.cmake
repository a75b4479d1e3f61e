# Installs the whole build, every component, into a fresh folder and checks
# that exactly the expected files arrive: the program and its desktop files,
# and no test program, benchmark, tool or library.
#
#   cmake -DBUILD_DIR=... -DEXPECTED=linux-files.txt -DWORK_DIR=... -P check_install.cmake
foreach(variable BUILD_DIR EXPECTED WORK_DIR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "check_install.cmake: ${variable} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}
    RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install ${BUILD_DIR} failed: ${status}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${WORK_DIR} ${WORK_DIR}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected REGEX "^[^#]" ENCODING UTF-8)
list(SORT expected)

set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
foreach(path IN LISTS missing)
    message("missing: ${path}")
endforeach()
foreach(path IN LISTS extra)
    message("not expected: ${path}")
endforeach()
if(missing OR extra)
    message(FATAL_ERROR "The install differs from ${EXPECTED}")
endif()

execute_process(COMMAND test -x ${WORK_DIR}/bin/mervalin RESULT_VARIABLE not_executable)
if(not_executable)
    message(FATAL_ERROR "bin/mervalin is not executable")
endif()
list(LENGTH installed count)
message("${count} files installed, as expected")
file(REMOVE_RECURSE ${WORK_DIR})
