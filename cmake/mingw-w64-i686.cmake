# Cross build for 32-bit Windows with MinGW-w64 as Debian packages it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(kadrimo_mingw_triplet i686-w64-mingw32)
# Every double operation rounded to double, as on x86-64, instead of being
# kept in an x87 register with a wider exponent range.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
