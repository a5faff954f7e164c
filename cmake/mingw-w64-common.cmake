# GoogleTest needs the C compiler too, and std::mutex, which only the
# posix-threads flavour of MinGW-w64's GCC provides; its winpthread library
# is linked in statically like the rest of the runtime. The plain name is
# the fallback where the flavours are not installed side by side.
find_program(CMAKE_C_COMPILER NAMES ${kadrimo_mingw_triplet}-gcc-posix ${kadrimo_mingw_triplet}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${kadrimo_mingw_triplet}-g++-posix ${kadrimo_mingw_triplet}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${kadrimo_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${kadrimo_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthread are linked in, so kadrimo.exe needs
# nothing beyond the DLLs every Windows has. The linker leaves out the time
# of the link, which would make every build's bytes differ.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
