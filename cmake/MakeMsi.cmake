# Makes the Windows Installer package from packaging/windows/mervalin.wxs:
#
#   cmake -D WXS=mervalin.wxs -D FILES=<folder> -D VERSION=X.Y.Z -D OUTPUT=<file.msi>
#         -P MakeMsi.cmake
#
# FILES holds mervalin.exe, README.txt, LICENSE.txt and mervalin.ico. The
# target mervalin-msi runs this with the project's version; the deployment
# test runs it with a lower one, to have an older package to upgrade from.
#
# Debian's wixl (0.101) and msibuild (msitools) are looked up here, when the
# package is made, so that installing them after configuring is enough.
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
string(UUID product_code NAMESPACE ${CMAKE_MATCH_1} NAME "Mervalin ${VERSION}" TYPE SHA1 UPPER)

# G_DEBUG makes wixl stop at its first warning: it reports an attribute it
# does not know as a warning and goes on without it.
file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env G_DEBUG=fatal-warnings
            ${CMAKE_COMMAND} -D TOOL=wixl -D PACKAGE=wixl -P ${run_tool} --
            --arch x64 -D Version=${VERSION} -D ProductCode={${product_code}}
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
set(queries
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
    COMMAND ${msibuild} ${OUTPUT} -i ${codepage_dir}/_ForceCodepage.idt ${arguments}
    RESULT_VARIABLE status)
file(REMOVE_RECURSE ${codepage_dir})
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "MakeMsi.cmake: msibuild could not write the Bulgarian names into ${OUTPUT}")
endif()
message(STATUS "${OUTPUT}: Mervalin ${VERSION}, product code {${product_code}}")
