# Shared by the Linux cross toolchains (linux-<arch>.cmake), which set WAITMS_TRIPLET (the GNU
# triplet of Debian's cross compiler), WAITMS_QEMU (the qemu-user program for that machine) and,
# for a 32-bit one, WAITMS_32_BIT.
set(CMAKE_SYSTEM_NAME Linux)
if(WAITMS_32_BIT)
  # A 64-bit time_t and file offsets, as on the 64-bit machines: stat and friends then never fail
  # with EOVERFLOW on a file system with 64-bit inode numbers, and no time overflows in 2038.
  set(CMAKE_C_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
  set(CMAKE_CXX_FLAGS_INIT "-D_TIME_BITS=64 -D_FILE_OFFSET_BITS=64")
endif()
set(CMAKE_C_COMPILER ${WAITMS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${WAITMS_TRIPLET}-g++)
# Debian's cross packages (libc6-dev-<arch>-cross, libstdc++-12-dev-<arch>-cross) install the
# target's headers and libraries under /usr/<triplet>.
set(CMAKE_FIND_ROOT_PATH /usr/${WAITMS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every program built here is linked statically, the tests as the shipped program, and runs under
# qemu-user. Dynamically linked, a test would take the cross sysroot's loader and the multiarch
# libc6:<arch> beside it, of another glibc build, and the two together can crash (s390x does).
# The multiarch libc6 is there for its gconv modules, which the static program loads at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WAITMS_QEMU})
