# Cross build for i386 (32-bit, little-endian), run under qemu.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CROSS_TRIPLE i686-linux-gnu)
set(CROSS_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
