# Cross build for Linux with a Debian cross compiler (g++-${kadrimo_gnu_triplet});
# included by a toolchain file that sets CMAKE_SYSTEM_PROCESSOR and
# kadrimo_gnu_triplet. Its programs run under qemu-user with the
# compiler's own libraries (-L /usr/${kadrimo_gnu_triplet}).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${kadrimo_gnu_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${kadrimo_gnu_triplet}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${kadrimo_gnu_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
