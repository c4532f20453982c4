# 64-bit ARM (Debian arm64) with g++-aarch64-linux-gnu, tested under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(WAITMS_TRIPLET aarch64-linux-gnu)
set(WAITMS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
