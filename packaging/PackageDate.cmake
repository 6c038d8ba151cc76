# Read by CPack before it packs: every time stamp in the package is the last commit's (outside
# a git checkout, the newest changelog entry's), unless SOURCE_DATE_EPOCH already says, so that
# two packages of one commit are the same file.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_QUIBSUM_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        execute_process(COMMAND date -d "${CPACK_QUIBSUM_CHANGELOG_DATE}" +%s
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
