# 32-bit x86 Linux build with Debian's cross compiler, which installs beside
# the other cross compilers (multilib g++ -m32 would remove them).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(kadrimo_gnu_triplet i686-linux-gnu)
# SSE2 arithmetic: every double operation rounded to double, as on x86-64,
# instead of being kept in an x87 register with a wider exponent range.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-gnu.cmake)
