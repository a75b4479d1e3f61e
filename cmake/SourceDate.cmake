# The time every package gives its files, so that two builds of one commit
# are the same bytes: SOURCE_DATE_EPOCH when the caller sets it, otherwise the
# time of the source folder's last commit, otherwise 1980-01-01, the oldest
# time a ZIP can hold. Included by the scripts that make the packages.
#
#   mervalin_source_date(SOURCE_DIR VARIABLE)     seconds since 1970, UTC
#   mervalin_set_times(FOLDER SECONDS)            every file and folder in it

function(mervalin_source_date source_dir variable)
    set(seconds 315532800)
    if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
        set(seconds $ENV{SOURCE_DATE_EPOCH})
    else()
        find_program(git git NO_CACHE)
        if(git)
            execute_process(COMMAND ${git} -C ${source_dir} log -1 --format=%ct
                OUTPUT_VARIABLE committed OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status ERROR_QUIET)
            if(status EQUAL 0 AND committed MATCHES "^[0-9]+$")
                set(seconds ${committed})
            endif()
        endif()
    endif()
    set(${variable} ${seconds} PARENT_SCOPE)
endfunction()

function(mervalin_set_times folder seconds)
    # touch -h: a link's own time, not its target's. Archives also store
    # local times (ZIP), so this process's time zone is UTC from here on.
    set(ENV{TZ} UTC)
    execute_process(COMMAND find ${folder} -exec touch -h -d @${seconds} {} +
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "could not set the times of the files in ${folder}")
    endif()
endfunction()
