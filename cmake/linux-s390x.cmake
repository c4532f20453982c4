# IBM Z (Debian s390x) with g++-s390x-linux-gnu, tested under qemu-s390x: big-endian, so that
# the tests catch any assumption about byte order.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(WAITMS_TRIPLET s390x-linux-gnu)
set(WAITMS_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
