# Read by cpack before it makes the package. Every member of the package carries the time of the
# last commit as its date (SOURCE_DATE_EPOCH, unless the caller set it), so that two builds of
# one commit, in whatever folders, give the same package byte for byte. Outside a git checkout
# the dates are those of the packaging.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(
        COMMAND git -C ${CPACK_BREVIK_SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE last_commit_time
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE status
        ERROR_QUIET)
    if(status EQUAL 0 AND last_commit_time MATCHES "^[0-9]+$")
        set(ENV{SOURCE_DATE_EPOCH} ${last_commit_time})
    endif()
endif()
