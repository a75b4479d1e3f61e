# Signs a Windows program or Windows Installer package in place with an
# Authenticode signature (Debian's osslsigncode), when the environment names
# a certificate and its key:
#
#   MERVALIN_SIGN_CERT            the certificate (PEM or DER), with its chain
#   MERVALIN_SIGN_KEY             its private key (PEM or DER, unencrypted)
#   MERVALIN_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamping service,
#                                 so that the signature outlives the certificate
#
#   cmake -D FILE=<file> [-D SAY_UNSIGNED=ON] -P Sign.cmake
#
# Without the certificate and key it signs nothing; SAY_UNSIGNED (the build
# of mervalin.exe, the first thing signed) says so. The signing time is the
# commit's, so that two signings of one build differ only in a time stamp
# that the service adds.
if(NOT DEFINED FILE)
    message(FATAL_ERROR "Sign.cmake: FILE must be given")
endif()
set(cert "$ENV{MERVALIN_SIGN_CERT}")
set(key "$ENV{MERVALIN_SIGN_KEY}")
if(cert STREQUAL "" OR key STREQUAL "")
    if(SAY_UNSIGNED)
        message(STATUS "Not signing the Windows programs and packages: "
            "MERVALIN_SIGN_CERT and MERVALIN_SIGN_KEY are not set")
    endif()
    return()
endif()
foreach(given cert key)
    if(NOT EXISTS "${${given}}")
        message(FATAL_ERROR "Sign.cmake: ${${given}} does not exist")
    endif()
endforeach()
find_program(osslsigncode osslsigncode NO_CACHE)
if(NOT osslsigncode)
    message(FATAL_ERROR "osslsigncode not found: install Debian's osslsigncode package")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
mervalin_source_date(${source_dir} seconds)
set(timestamp)
if(NOT "$ENV{MERVALIN_SIGN_TIMESTAMP_URL}" STREQUAL "")
    set(timestamp -ts "$ENV{MERVALIN_SIGN_TIMESTAMP_URL}")
endif()
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(
    COMMAND ${osslsigncode} sign -certs "${cert}" -key "${key}" -h sha256
            -n "Mervalin" -i "https://www.mervalin.example/" -time ${seconds} ${timestamp}
            -in "${FILE}" -out "${signed}"
    RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0 OR NOT EXISTS "${signed}")
    file(REMOVE "${signed}")
    message(FATAL_ERROR "Sign.cmake: osslsigncode could not sign ${FILE}")
endif()
file(RENAME "${signed}" "${FILE}")
message(STATUS "Signed ${FILE}")
