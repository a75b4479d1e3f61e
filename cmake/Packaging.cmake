# What is installed, and the packages made from it:
#
#   Linux    cmake --install puts the program, its desktop file, icons,
#            AppStream metainfo and documents under GNUInstallDirs paths;
#            `cpack -G DEB` in the build folder makes mervalin_<version>_<arch>.deb.
#   Windows  `cpack -G ZIP` in the build folder makes the portable ZIP and
#            the target mervalin-msi the Windows Installer package (wixl), for
#            the build's architecture (windows: x64, windows-x86: x86); the
#            64-bit build's target mervalin-installer makes the one NSIS
#            installer (makensis), which carries both programs and so needs
#            the windows-x86 build's mervalin.exe too.
#   Web      `cpack -G ZIP` in the build folder makes mervalin-<version>-web.zip:
#            the single page mervalin.html and the web app's folder web-app/.
#
# Everything goes into the one install component "mervalin", and only that
# component is packaged: test programs, benchmarks, mervalin-replay and the
# static libraries are never installed. The packages are written to
# <build>/packages. scripts/test-packages builds, checks and installs them.
#
# Every package of one commit is the same bytes wherever and whenever it is
# made: the files get the commit's time before they are packed
# (cmake/SourceDate.cmake). The Windows programs are stripped when they are
# linked and signed right after (cmake/Sign.cmake); the packages take them
# as they are, since stripping again would break the signature.

if(NOT TARGET mervalin)
    # A build without the window (the fuzz preset) has nothing to package.
    return()
endif()

include(GNUInstallDirs)

set(MERVALIN_APP_ID example.mervalin.Mervalin)
set(MERVALIN_HOMEPAGE https://www.mervalin.example/)
set(MERVALIN_MAINTAINER "The Mervalin developers <developers@mervalin.example>")
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(MERVALIN_WINDOWS_ARCH x86)
    else()
        set(MERVALIN_WINDOWS_ARCH x64)
    endif()
    # The portable folder: the program, its read-me and the licence, side by
    # side. The read-me is kept with CR LF and a byte-order mark in the
    # repository; the licence is given CR LF here.
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
        @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS mervalin RUNTIME DESTINATION . COMPONENT mervalin)
    install(FILES ${packaging_dir}/windows/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
        DESTINATION . COMPONENT mervalin)
elseif(EMSCRIPTEN)
    # The page a teacher hands out, and the folder a school puts on its web
    # server, with the licence beside them.
    install(FILES ${MERVALIN_WEB_PAGE} DESTINATION . COMPONENT mervalin)
    install(DIRECTORY ${MERVALIN_WEB_APP}/ DESTINATION web-app COMPONENT mervalin)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt
        COMPONENT mervalin)
else()
    install(TARGETS mervalin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT mervalin)
    install(FILES ${packaging_dir}/linux/${MERVALIN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT mervalin)
    install(FILES ${packaging_dir}/linux/${MERVALIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT mervalin)

    # The icon in every size that assets/ renders, and its SVG source for
    # any other size. A new rendering in assets/ must be added here too.
    set(icon_sizes 16 24 32 48 64 128 256)
    file(GLOB rendered_icons RELATIVE ${PROJECT_SOURCE_DIR}/assets
        ${PROJECT_SOURCE_DIR}/assets/icon-*.png)
    foreach(size IN LISTS icon_sizes)
        list(REMOVE_ITEM rendered_icons icon-${size}.png)
        install(FILES ${PROJECT_SOURCE_DIR}/assets/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${MERVALIN_APP_ID}.png COMPONENT mervalin)
    endforeach()
    if(rendered_icons)
        message(FATAL_ERROR "cmake/Packaging.cmake does not install ${rendered_icons}")
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MERVALIN_APP_ID}.svg COMPONENT mervalin)

    # CMAKE_INSTALL_DOCDIR names the project (Mervalin); Debian's folder is
    # named after the package.
    install(FILES ${PROJECT_SOURCE_DIR}/docs/ръководство.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                  ${packaging_dir}/linux/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mervalin COMPONENT mervalin)
endif()

# ---------------------------------------------------------------------------
# CPack: one package holding just the component above.
set(CPACK_PACKAGE_NAME mervalin)
set(CPACK_PACKAGE_VENDOR "${MERVALIN_VENDOR}")
set(CPACK_PACKAGE_CONTACT "${MERVALIN_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${MERVALIN_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drills the relative weight of fifteen metals")
set(CPACK_PACKAGE_DESCRIPTION
    "Mervalin is a small physics exercise for Bulgarian pupils. The pupil picks
a metal in one list and a relative weight in another, and the program says at
once whether they belong together.

For a correct pairing it shows the metal's melting point and a short
description, and works out the volume and the mass of a cube of side a and of
a ball of diameter d for a size from 1 to 10. The window and its texts are in
Bulgarian; numbers follow the user's regional settings.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGE_CHECKSUM SHA256)
if(NOT WIN32)
    set(CPACK_STRIP_FILES ON)
endif()
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_MERVALIN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageTimes.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageTimes.cmake)

set(CPACK_COMPONENTS_ALL mervalin)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)

if(WIN32 OR EMSCRIPTEN)
    set(CPACK_GENERATOR ZIP)
    if(WIN32)
        set(CPACK_PACKAGE_FILE_NAME mervalin-${PROJECT_VERSION}-windows-${MERVALIN_WINDOWS_ARCH})
    else()
        set(CPACK_PACKAGE_FILE_NAME mervalin-${PROJECT_VERSION}-web)
    endif()
    set(CPACK_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
    # The ZIP unpacks into one folder named after itself.
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MERVALIN_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SECTION education)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MERVALIN_HOMEPAGE})
    # The libraries, found by dpkg-shlibdeps (dpkg-dev). Qt's platform
    # plugins, which the program loads at run time, come with libqt6gui6.
    # The window's font is Times New Roman; Liberation Serif has its
    # metrics, and fontconfig stands it in.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)

# ---------------------------------------------------------------------------
# The Windows packages: the program's files installed into a folder of their
# own for each (as CPack does it), then packed there.
if(WIN32)
    set(installer_tool_args
        -D SOURCE_DIR=${PROJECT_SOURCE_DIR} -D VERSION=${PROJECT_VERSION}
        -D "VENDOR=${MERVALIN_VENDOR}" -D "COPYRIGHT=${MERVALIN_COPYRIGHT}")
    set(package_inputs mervalin ${packaging_dir}/windows/README.txt
        ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt ${PROJECT_SOURCE_DIR}/assets/mervalin.ico
        ${PROJECT_SOURCE_DIR}/cmake/SourceDate.cmake ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake)

    # The Windows installer, made by NSIS from packaging/windows/mervalin.nsi
    # in the 64-bit build, with the 32-bit build's program beside this one:
    #   cmake --build --preset windows-x86 --target mervalin
    #   cmake --build --preset windows --target mervalin-installer
    # MERVALIN_X86_BUILD_DIR names the 32-bit build's folder. makensis is
    # looked for when the installer is made, so that installing nsis after
    # configuring is enough.
    if(MERVALIN_WINDOWS_ARCH STREQUAL x64)
        set(MERVALIN_X86_BUILD_DIR ${PROJECT_BINARY_DIR}-x86 CACHE PATH
            "The windows-x86 build whose mervalin.exe the installer carries beside this build's")
        set(installer ${CPACK_PACKAGE_DIRECTORY}/mervalin-${PROJECT_VERSION}-setup.exe)
        set(staging ${PROJECT_BINARY_DIR}/installer-files)
        add_custom_command(OUTPUT ${installer}
            COMMAND ${CMAKE_COMMAND} -E rm -rf ${staging}
            COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --component mervalin
                    --prefix ${staging}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CPACK_PACKAGE_DIRECTORY}
            COMMAND ${CMAKE_COMMAND} ${installer_tool_args}
                    -D FILES=${staging} -D X86_PROGRAM=${MERVALIN_X86_BUILD_DIR}/ui/win32/mervalin.exe
                    -D NSI=${packaging_dir}/windows/mervalin.nsi -D OUTPUT=${installer}
                    -P ${PROJECT_SOURCE_DIR}/cmake/MakeInstaller.cmake
            DEPENDS ${package_inputs} ${packaging_dir}/windows/mervalin.nsi
                    ${PROJECT_SOURCE_DIR}/cmake/MakeInstaller.cmake
            COMMENT "Making the installer ${installer}"
            VERBATIM)
        add_custom_target(mervalin-installer DEPENDS ${installer})
    endif()

    # The Windows Installer package for schools' deployment tools, made by
    # Debian's wixl from packaging/windows/mervalin.wxs, for this build's
    # architecture:
    #   cmake --build --preset windows --target mervalin-msi
    # The same files again, in a folder of their own, so that the two
    # targets can be made at once; with the icon, which wixl takes from
    # there too.
    if(MERVALIN_WINDOWS_ARCH STREQUAL x64)
        set(msi ${CPACK_PACKAGE_DIRECTORY}/mervalin-${PROJECT_VERSION}.msi)
    else()
        set(msi ${CPACK_PACKAGE_DIRECTORY}/mervalin-${PROJECT_VERSION}-x86.msi)
    endif()
    set(msi_staging ${PROJECT_BINARY_DIR}/msi-files)
    add_custom_command(OUTPUT ${msi}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${msi_staging}
        COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --component mervalin
                --prefix ${msi_staging}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/assets/mervalin.ico ${msi_staging}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CPACK_PACKAGE_DIRECTORY}
        COMMAND ${CMAKE_COMMAND} ${installer_tool_args} -D WXS=${packaging_dir}/windows/mervalin.wxs
                -D FILES=${msi_staging} -D VERSION=${PROJECT_VERSION}
                -D ARCH=${MERVALIN_WINDOWS_ARCH} -D OUTPUT=${msi}
                -P ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake
        DEPENDS ${package_inputs} ${packaging_dir}/windows/mervalin.wxs
                ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake
        COMMENT "Making the Windows Installer package ${msi}"
        VERBATIM)
    add_custom_target(mervalin-msi DEPENDS ${msi})
endif()

# ---------------------------------------------------------------------------
# Quick checks of the packaging files that need no package built: one version
# everywhere, and exactly the expected files installed.
if(MERVALIN_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME packaging.versions
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/packaging/check_versions.py
                --version ${PROJECT_VERSION}
                --metainfo ${packaging_dir}/linux/${MERVALIN_APP_ID}.metainfo.xml
                --changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                --readme ${packaging_dir}/windows/README.txt
                --winget ${packaging_dir}/windows/winget)
    add_test(NAME packaging.install
        COMMAND ${CMAKE_COMMAND}
                -DBUILD_DIR=${PROJECT_BINARY_DIR}
                -DEXPECTED=${PROJECT_SOURCE_DIR}/tests/packaging/linux-files.txt
                -DWORK_DIR=${PROJECT_BINARY_DIR}/packaging-install-test
                -P ${PROJECT_SOURCE_DIR}/tests/packaging/check_install.cmake)
    # The validators are looked for when the tests run; without them the
    # tests are skipped, except in CI.
    add_test(NAME packaging.desktop_file
        COMMAND ${CMAKE_COMMAND} -D TOOL=desktop-file-validate -D PACKAGE=desktop-file-utils
                -D SKIP_WHEN_MISSING=ON -P ${PROJECT_SOURCE_DIR}/cmake/RunTool.cmake --
                ${packaging_dir}/linux/${MERVALIN_APP_ID}.desktop)
    # Hints (such as two main categories) are fine; warnings and errors not.
    set_tests_properties(packaging.desktop_file PROPERTIES
        FAIL_REGULAR_EXPRESSION ": (warning|error): " SKIP_REGULAR_EXPRESSION "SKIPPED: ")
    add_test(NAME packaging.metainfo
        COMMAND ${CMAKE_COMMAND} -D TOOL=appstreamcli -D PACKAGE=appstream
                -D SKIP_WHEN_MISSING=ON -P ${PROJECT_SOURCE_DIR}/cmake/RunTool.cmake --
                validate --no-net --explain ${packaging_dir}/linux/${MERVALIN_APP_ID}.metainfo.xml)
    set_tests_properties(packaging.metainfo PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED: ")
endif()
