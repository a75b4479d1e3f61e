# Makes the Windows Installer package from packaging/windows/mervalin.wxs:
#
#   cmake -D WXS=mervalin.wxs -D FILES=<folder> -D VERSION=X.Y.Z -D OUTPUT=<file.msi>
#         [-D ARCH=x64|x86] [-D VENDOR=...] [-D SOURCE_DIR=<repository>]
#         -P MakeMsi.cmake
#
# FILES holds mervalin.exe, README.txt, LICENSE.txt and mervalin.ico, of the
# build for ARCH (x64 unless given). The target mervalin-msi runs this with
# the project's version; the deployment test runs it with a lower one, to
# have an older package to upgrade from.
#
# Two runs on the same files make the same bytes: the files and the
# database get the commit's time (cmake/SourceDate.cmake; wixl and msibuild
# write the current time into the package, so they run under Debian's
# faketime), and the package code, which wixl draws at random, is derived
# from the files. The package is signed once made (cmake/Sign.cmake).
#
# Debian's wixl (0.101), msibuild (msitools) and faketime are looked up here,
# when the package is made, so that installing them after configuring is
# enough.
if(NOT DEFINED ARCH)
    set(ARCH x64)
endif()
if(NOT DEFINED VENDOR)
    set(VENDOR "The Mervalin developers")
endif()
if(NOT DEFINED SOURCE_DIR)
    get_filename_component(SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
endif()
foreach(variable WXS FILES VERSION OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "MakeMsi.cmake: ${variable} must be given")
    endif()
endforeach()
get_filename_component(OUTPUT ${OUTPUT} ABSOLUTE)
get_filename_component(WXS ${WXS} ABSOLUTE)
set(run_tool ${CMAKE_CURRENT_LIST_DIR}/RunTool.cmake)

# One product code per version, the same in every build of it: Windows then
# sees two builds of one version as the same product (no second entry in
# Apps & features), and an administrator's detection rule holds for the
# version. Derived from the UpgradeCode, which never changes.
file(STRINGS ${WXS} upgrade_line REGEX "UpgradeCode=")
if(NOT upgrade_line MATCHES "UpgradeCode=\"{([0-9A-F-]+)}\"")
    message(FATAL_ERROR "MakeMsi.cmake: no UpgradeCode=\"{...}\" in ${WXS}")
endif()
set(upgrade_code ${CMAKE_MATCH_1})
if(ARCH STREQUAL x64)
    string(UUID product_code NAMESPACE ${upgrade_code} NAME "Mervalin ${VERSION}" TYPE SHA1 UPPER)
    set(wixl_arch x64)
    set(win64 yes)
    set(program_files ProgramFiles64Folder)
    set(template "x64;1033")
elseif(ARCH STREQUAL x86)
    string(UUID product_code NAMESPACE ${upgrade_code} NAME "Mervalin ${VERSION} x86"
        TYPE SHA1 UPPER)
    set(wixl_arch x86)
    set(win64 no)
    set(program_files ProgramFilesFolder)
    set(template "Intel;1033")
else()
    message(FATAL_ERROR "MakeMsi.cmake: ARCH is x64 or x86, not ${ARCH}")
endif()
# The package code names this very package: the same for the same files.
set(contents "")
foreach(name mervalin.exe README.txt LICENSE.txt mervalin.ico)
    file(SHA256 ${FILES}/${name} hash)
    string(APPEND contents " ${name}=${hash}")
endforeach()
string(UUID package_code NAMESPACE ${upgrade_code}
    NAME "Mervalin ${VERSION} ${ARCH}${contents}" TYPE SHA1 UPPER)

include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
mervalin_source_date(${SOURCE_DIR} seconds)
mervalin_set_times(${FILES} ${seconds})
set(ENV{SOURCE_DATE_EPOCH} ${seconds})
string(TIMESTAMP frozen_time "%Y-%m-%d %H:%M:%S" UTC)
find_program(faketime faketime NO_CACHE)
if(NOT faketime)
    message(FATAL_ERROR "faketime not found: install Debian's faketime package")
endif()
set(at_commit_time ${CMAKE_COMMAND} -E env TZ=UTC ${faketime} -f "${frozen_time}")

# G_DEBUG makes wixl stop at its first warning: it reports an attribute it
# does not know as a warning and goes on without it.
file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${at_commit_time} ${CMAKE_COMMAND} -E env G_DEBUG=fatal-warnings
            ${CMAKE_COMMAND} -D TOOL=wixl -D PACKAGE=wixl -P ${run_tool} --
            --arch ${wixl_arch} -D Version=${VERSION} -D ProductCode={${product_code}}
            -D Vendor=${VENDOR} -D Win64=${win64} -D ProgramFilesFolder=${program_files}
            -o ${OUTPUT} ${WXS}
    WORKING_DIRECTORY ${FILES}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${OUTPUT})
    message(FATAL_ERROR "MakeMsi.cmake: wixl did not make ${OUTPUT}")
endif()

# The Bulgarian names. The database gets the Cyrillic code page 1251, in
# which msibuild stores what it writes; Windows Installer reads every string
# through the database's code page, whatever the system's language. An
# UPDATE that matches no row changes nothing and still succeeds, so the
# deployment test reads each of these back.
set(codepage_dir ${OUTPUT}.codepage)
file(MAKE_DIRECTORY ${codepage_dir})
file(WRITE ${codepage_dir}/_ForceCodepage.idt "\r\n\r\n1251\t_ForceCodepage\r\n")
set(name "Мервалин")
set(description "Относително тегло на металите")
set(newer_installed
    "На компютъра вече има по-нова версия на ${name}. A newer version of Mervalin is already installed.")
set(setup_exe_installed
    "${name} вече е инсталиран за всички потребители от своя setup.exe. Първо го премахнете. \
Mervalin is already installed for all users by its setup.exe. Remove it first.")
# No semicolon in it: CMake would cut the list of queries there.
set(old_windows "Мервалин работи на Windows 7 със Service Pack 1 и по-нови версии, \
а на този компютър Windows е по-стар. \
Mervalin runs on Windows 7 with Service Pack 1 and later, and this computer has an older Windows.")
# The program's version in the File table, which wixl leaves empty: Windows
# Installer compares it with an installed file's, and inventories read it.
# Language 1026 is Bulgarian, as the program's VERSIONINFO says.
set(queries
    "UPDATE `File` SET `Version` = '${VERSION}.0', `Language` = '1026'
        WHERE `File` = 'mervalin.exe'"
    "UPDATE `LaunchCondition` SET `Description` = '${old_windows}'
        WHERE `Condition` = 'Installed OR VersionNT > 601 OR (VersionNT = 601 AND ServicePackLevel >= 1)'"
    "UPDATE `Property` SET `Value` = '${name}' WHERE `Property` = 'ProductName'"
    "UPDATE `Property` SET `Value` = '${description}. Лиценз: MIT (LICENSE.txt).'
        WHERE `Property` = 'ARPCOMMENTS'"
    "UPDATE `Shortcut` SET `Name` = 'MERVALIN|${name}', `Description` = '${description}'
        WHERE `Shortcut` = 'StartMenuShortcut'"
    "UPDATE `LaunchCondition` SET `Description` = '${newer_installed}'
        WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'"
    "UPDATE `LaunchCondition` SET `Description` = '${setup_exe_installed}'
        WHERE `Condition` = 'NOT SETUPEXEFOLDER OR Installed'")
set(arguments)
foreach(query IN LISTS queries)
    list(APPEND arguments -q "${query}")
endforeach()
# msibuild is looked up here rather than through RunTool.cmake: CMake 3.25
# refuses an argument "-i" anywhere on its command line, even after "--".
find_program(msibuild msibuild NO_CACHE)
if(NOT msibuild)
    message(FATAL_ERROR "msibuild not found: install Debian's msitools package")
endif()
execute_process(
    COMMAND ${at_commit_time} ${msibuild} ${OUTPUT} -i ${codepage_dir}/_ForceCodepage.idt ${arguments}
    RESULT_VARIABLE status)
if(status EQUAL 0)
    execute_process(
        COMMAND ${at_commit_time} ${msibuild} ${OUTPUT}
                -s "Mervalin ${VERSION}" "${VENDOR}" "${template}" "{${package_code}}"
        RESULT_VARIABLE status)
endif()
file(REMOVE_RECURSE ${codepage_dir})
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "MakeMsi.cmake: msibuild could not write the Bulgarian names into ${OUTPUT}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -D FILE=${OUTPUT} -P ${CMAKE_CURRENT_LIST_DIR}/Sign.cmake
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "MakeMsi.cmake: signing ${OUTPUT} failed")
endif()
message(STATUS "${OUTPUT}: Mervalin ${VERSION} ${ARCH}, product code {${product_code}}")
