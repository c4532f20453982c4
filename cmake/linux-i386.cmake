# 32-bit x86 (Debian i386) with g++-i686-linux-gnu, tested under qemu-i386 (as on any machine: the
# tests then run the same way for every architecture).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WAITMS_TRIPLET i686-linux-gnu)
set(WAITMS_QEMU qemu-i386)
set(WAITMS_32_BIT ON)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
