# Debian's hardening flags (what `dpkg-buildflags` gives with hardening=+all) on every build,
# so that the programs tested are the programs packaged: a stack protector, format checks,
# position-independent executables, a read-only relocation table resolved at start, and
# checked string and memory functions where the code is optimised (glibc warns about
# _FORTIFY_SOURCE without optimisation, and it hides faults from the sanitizers). Stack clash
# and control-flow protection come on top; the programs carry the control-flow marks only
# where the C library's start files have them too (not yet in Debian 12).
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection -Wformat
                    -Werror=format-security)
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize" AND NOT QUIBSUM_FUZZ)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
