# 32-bit ARM with hardware floating point (Debian armhf, ARMv7) with g++-arm-linux-gnueabihf,
# tested under qemu-arm.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(WAITMS_TRIPLET arm-linux-gnueabihf)
set(WAITMS_QEMU qemu-arm)
# A 64-bit time_t and file offsets, as on the 64-bit machines: stat and friends then never fail
# with EOVERFLOW on a file system with 64-bit inode numbers, and no time overflows in 2038.
set(CMAKE_C_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
