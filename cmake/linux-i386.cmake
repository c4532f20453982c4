# 32-bit x86 (Debian i386) with g++-i686-linux-gnu, tested under qemu-i386 (as on any machine: the
# tests then run the same way for every architecture).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WAITMS_TRIPLET i686-linux-gnu)
set(WAITMS_QEMU qemu-i386)
# A 64-bit time_t and file offsets, as on the 64-bit machines: stat and friends then never fail
# with EOVERFLOW on a file system with 64-bit inode numbers, and no time overflows in 2038.
set(CMAKE_C_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
