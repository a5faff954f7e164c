# 64-bit ARM Linux build with Debian's cross compiler. Doubles are IEEE
# doubles there too; -ffp-contract=off (every build's) keeps the compiler
# from fusing the product into a multiply-add, which ARM has and rounds once.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(kadrimo_gnu_triplet aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross-gnu.cmake)
