# IBM Z (Debian s390x) with g++-s390x-linux-gnu, tested under qemu-s390x: big-endian, so that
# the tests catch any assumption about byte order.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(WAITMS_TRIPLET s390x-linux-gnu)

# Compiled locales hold the byte order of the glibc that made them: a big-endian program reads none
# of the build machine's. The emulated machine gets its own, made big-endian in the build folder
# (the ones scripts/test makes for the build machine), and shown to the emulated program alone;
# a build without the tests needs none.
set(_locales ${CMAKE_BINARY_DIR}/locales-big-endian)
set(WAITMS_QEMU qemu-s390x -E LOCPATH=${_locales})
get_property(_trying GLOBAL PROPERTY IN_TRY_COMPILE)
set(_untested OFF)
if(DEFINED BUILD_TESTING AND NOT BUILD_TESTING)
  set(_untested ON)
endif()
foreach(_locale C.UTF-8 en_US.UTF-8 de_DE.UTF-8 ru_RU.UTF-8 ru_RU.CP1251 zh_HK.BIG5-HKSCS
    ta_IN.TSCII yi_US.CP1255)
  if(_trying OR _untested OR EXISTS ${_locales}/${_locale}/LC_CTYPE)
    continue()
  endif()
  file(MAKE_DIRECTORY ${_locales})
  string(REGEX MATCHALL "[^.]+" _parts ${_locale})  # name, charset
  list(GET _parts 0 _name)
  list(GET _parts 1 _charset)
  # Status 1 may mean warnings alone (-c: write the locale all the same).
  execute_process(OUTPUT_QUIET ERROR_QUIET
    COMMAND localedef --big-endian -c -i ${_name} -f ${_charset} ${_locales}/${_locale})
  if(NOT EXISTS ${_locales}/${_locale}/LC_CTYPE)
    message(FATAL_ERROR "localedef could not make ${_locale} big-endian")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
