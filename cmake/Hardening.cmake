# The hardening that Debian builds its packages with, the flags that
#   DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags
# gives on Debian 12 (the compiler makes position-independent executables by itself there):
# a canary on every function with arrays or addresses of locals, checked variants of the
# string and memory calls where the compiler knows the buffer's size, format strings that
# cannot be abused, and a relocation table that is resolved at start and then read-only.
# Off under the sanitizers, which check all of that themselves and more.
option(BREVIK_HARDEN "Build with Debian's hardening flags" ON)
if(NOT BREVIK_HARDEN OR BREVIK_SANITIZE)
    return()
endif()

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security -Wdate-time)
# The checked calls need the optimiser, and glibc warns about them without it.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
