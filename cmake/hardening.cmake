# Hardening that Linux distributions give their own packages: the C library's
# checked variants of string and memory functions where the compiler can see
# the buffer's size, and relocations resolved at start and then made
# read-only. Fortification needs the optimiser, so it is left out of builds
# without it, and out of sanitizer builds, whose own checks it would hide; a
# level already chosen by the caller's flags is kept.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE|-fsanitize")
        target_compile_definitions(kadrimo_options INTERFACE
            $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    endif()
    target_link_options(kadrimo_options INTERFACE LINKER:-z,relro,-z,now)
endif()
