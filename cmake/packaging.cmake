# Installation and packages: a .deb from the native build, a .zip from the Windows one. Both take
# their name and version from the project.

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_CONTACT "Korvane <waitms@korvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pause for an exact number of milliseconds")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # The two files a user copies, and a README with the line ends Notepad expects.
  install(TARGETS waitms waitms_support RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/doc/README.txt.in generated/README.txt @ONLY
    NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/generated/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win32")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  install(TARGETS waitms RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/generated/waitms.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/copyright ${PROJECT_SOURCE_DIR}/doc/changelog
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The target's architecture, from the compiler's triplet (aarch64-linux-gnu: arm64): a cross
  # build's is not the build machine's, which CPack would take.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
    OUTPUT_VARIABLE _triplet OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-architecture -t ${_triplet} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE _arch RESULT_VARIABLE _result OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_result EQUAL 0)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${_arch})
  elseif(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR
      "dpkg-architecture (package dpkg-dev) can't name the Debian architecture of ${_triplet}")
  endif()
  if(WAITMS_STATIC)
    # Nothing to depend on; instead Built-Using names the sources of the C and C++ libraries
    # linked in, and lintian is told that the static link is deliberate.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    set(CPACK_WAITMS_CXX_COMPILER ${CMAKE_CXX_COMPILER})
    set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb-built-using.cmake)
    set(CPACK_WAITMS_LINTIAN_OVERRIDES ${PROJECT_SOURCE_DIR}/doc/lintian-overrides)
  else()
    # dpkg-shlibdeps (dpkg-dev) turns the libraries the program links into Depends.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.org/waitms")
  set(CPACK_PACKAGE_DESCRIPTION [=[
waitms writes 'Waiting N ms... ', waits at least N milliseconds and writes
'Ok'. Scripts use it for a dependable pause: it never reads standard input,
never dies on a closed or broken standard output and never wakes early.
Its arguments, joined with single spaces, are read as one number with the
separators of the user's locale: a group separator may stand between any
two digits of the integer part (LC_ALL=en_US.UTF-8 waitms 1,5 waits
15 ms), and a fraction rounds to the nearest integer. Anything but a number
from 0 to 2147483647 shows the usage text, -1 a message of its own.]=])
  # The compressed documents, and the lintian override of a static build.
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb-stage.cmake)
endif()

include(CPack)
