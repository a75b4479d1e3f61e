# CPack runs this (CPACK_PRE_BUILD_SCRIPTS) once it has installed the files
# it packs and before it packs them: every file gets the commit's time, so
# that the ZIPs and the .deb of one commit are the same bytes.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDate.cmake)
mervalin_source_date(${CPACK_MERVALIN_SOURCE_DIR} seconds)
mervalin_set_times(${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${seconds})
