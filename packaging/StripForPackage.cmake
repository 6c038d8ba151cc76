# Run by CPack on the staged files before it packs them: strips every ELF file as Debian's
# dh_strip does (debugging symbols, and the .comment and .note sections that only name the
# compiler); a shared library loses its unneeded symbols too.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
    if(IS_SYMLINK "${file}")
        continue()
    endif()
    file(READ "${file}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        continue()
    endif()
    set(options --remove-section=.comment --remove-section=.note)
    if(file MATCHES "\\.so$")
        list(APPEND options --strip-unneeded)
    endif()
    execute_process(COMMAND "${CPACK_QUIBSUM_STRIP_PROGRAM}" ${options} "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
