# Makes the one Windows installer (setup.exe) from packaging/windows/mervalin.nsi:
#
#   cmake -D SOURCE_DIR=<repository> -D VERSION=X.Y.Z -D VENDOR=... -D COPYRIGHT=...
#         -D FILES=<folder> -D X86_PROGRAM=<32-bit mervalin.exe>
#         -D NSI=mervalin.nsi -D OUTPUT=<setup.exe> -P MakeInstaller.cmake
#
# FILES holds the 64-bit build's mervalin.exe, README.txt and LICENSE.txt;
# the 32-bit program goes beside them as x86/mervalin.exe. Every file gets
# the commit's time first (NSIS stores it), and the installer is signed once
# made (cmake/Sign.cmake). makensis is looked up here, when the installer is
# made.
foreach(variable SOURCE_DIR VERSION VENDOR COPYRIGHT FILES X86_PROGRAM NSI OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "MakeInstaller.cmake: ${variable} must be given")
    endif()
endforeach()
if(NOT EXISTS ${X86_PROGRAM})
    message(FATAL_ERROR "MakeInstaller.cmake: no ${X86_PROGRAM}: the installer carries the "
        "32-bit program too; build it first (cmake --preset windows-x86 && "
        "cmake --build --preset windows-x86 --target mervalin), or name its build folder "
        "with -D MERVALIN_X86_BUILD_DIR=...")
endif()
file(COPY ${X86_PROGRAM} DESTINATION ${FILES}/x86)
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
mervalin_source_date(${SOURCE_DIR} seconds)
mervalin_set_times(${FILES} ${seconds})

string(REPLACE "." ";" parts ${VERSION})
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)
file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -D TOOL=makensis -D PACKAGE=nsis
            -P ${CMAKE_CURRENT_LIST_DIR}/RunTool.cmake --
            -V2 -WX -INPUTCHARSET UTF8
            -DVERSION=${VERSION} -DVERSION_MAJOR=${major} -DVERSION_MINOR=${minor}
            -DVERSION_PATCH=${patch} "-DVENDOR=${VENDOR}" "-DCOPYRIGHT=${COPYRIGHT}"
            -DPROGRAM_X64=${FILES}/mervalin.exe -DPROGRAM_X86=${FILES}/x86/mervalin.exe
            -DREADME=${FILES}/README.txt -DLICENSE=${FILES}/LICENSE.txt
            -DICON=${SOURCE_DIR}/assets/mervalin.ico -DOUTFILE=${OUTPUT}
            ${NSI}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${OUTPUT})
    message(FATAL_ERROR "MakeInstaller.cmake: makensis did not make ${OUTPUT}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -D FILE=${OUTPUT} -P ${CMAKE_CURRENT_LIST_DIR}/Sign.cmake
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "MakeInstaller.cmake: signing ${OUTPUT} failed")
endif()
