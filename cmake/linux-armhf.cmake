# 32-bit ARM with hardware floating point (Debian armhf, ARMv7) with g++-arm-linux-gnueabihf,
# tested under qemu-arm.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(WAITMS_TRIPLET arm-linux-gnueabihf)
set(WAITMS_QEMU qemu-arm)
set(WAITMS_32_BIT ON)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
