# Installation and packages: a .deb and an .rpm from a Linux build, a .zip from the Windows one.
# All take their name and version from the project.

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_CONTACT "Korvane <waitms@korvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pause for at least a given number of milliseconds")
set(CPACK_STRIP_FILES ON)
set(WAITMS_HOMEPAGE "https://korvane.org/waitms")

# The licence that goes with the zip and the Linux tarballs (the packages have the copyright file):
# the project's own, from that file, then the notices of the code that is linked in statically.
file(READ ${PROJECT_SOURCE_DIR}/doc/copyright _copyright)
string(REGEX MATCH "\nCopyright: [^\n]*" _holder "${_copyright}")
string(REPLACE "\nCopyright:" "Copyright" _holder "${_holder}")
string(REGEX REPLACE ".*\nLicense: MIT\n" "" _mit "${_copyright}")
string(REPLACE "\n .\n" "\n\n" _mit "${_mit}")
string(REGEX REPLACE "(^|\n) " "\\1" _mit "${_mit}")
if(WIN32)
  set(_notices_file notices-windows.txt)
  set(WAITMS_LICENSE_FILE ${PROJECT_BINARY_DIR}/generated/LICENSE.txt)
  set(_newlines CRLF)  # for Notepad
else()
  set(_notices_file notices-linux.txt)
  set(WAITMS_LICENSE_FILE ${PROJECT_BINARY_DIR}/generated/LICENSE)
  set(_newlines UNIX)
endif()
file(READ ${PROJECT_SOURCE_DIR}/doc/${_notices_file} _notices)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS doc/copyright doc/${_notices_file})
file(CONFIGURE OUTPUT ${WAITMS_LICENSE_FILE} NEWLINE_STYLE ${_newlines} @ONLY CONTENT
  "waitms ${PROJECT_VERSION}, ${WAITMS_HOMEPAGE}\n\n${_holder}\n\n${_mit}\n${_notices}")

if(WIN32)
  # The two files a user copies, and a README with the line ends Notepad expects.
  install(TARGETS waitms waitms_support RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/doc/README.txt.in generated/README.txt @ONLY
    NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/generated/README.txt ${WAITMS_LICENSE_FILE} DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-win32")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  # The README of the tarball, which scripts/release makes of the program, the man page and this.
  configure_file(${PROJECT_SOURCE_DIR}/doc/README.linux.in generated/README @ONLY)
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
    # The same machine as rpm names it (armhf: ARMv7 with hardware floating point).
    set(_rpm_archs amd64:x86_64 arm64:aarch64 armhf:armv7hl i386:i686 s390x:s390x)
    list(FILTER _rpm_archs INCLUDE REGEX "^${_arch}:")
    string(REGEX REPLACE "^.*:" "" CPACK_RPM_PACKAGE_ARCHITECTURE "${_rpm_archs}")
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
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${WAITMS_HOMEPAGE})
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

  # The .rpm: waitms-<version>-1.<arch>.rpm, the same files under /usr as the .deb.
  set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
  set(CPACK_RPM_PACKAGE_RELEASE 1)
  set(CPACK_RPM_PACKAGE_LICENSE MIT)
  set(CPACK_RPM_PACKAGE_URL ${WAITMS_HOMEPAGE})
  set(CPACK_RPM_PACKAGE_SUMMARY "Pause for at least a given number of milliseconds")
  set(CPACK_RPM_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
  set(CPACK_PACKAGE_RELOCATABLE OFF)
  # The man page folders belong to the system (Fedora's filesystem package, for one).
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1)
  set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_SOURCE_DIR}/doc/rpm-changelog)
  # The same bytes from every build of one commit: times from SOURCE_DATE_EPOCH (the build time
  # and every file's), no host name, no build-id links beside the program, and a payload
  # compression whose output doesn't depend on the number of processors.
  set(CPACK_RPM_SPEC_MORE_DEFINE [=[
%define packager Korvane <waitms@korvane.org>
%define _buildhost reproducible
%define source_date_epoch_from_changelog 0
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none
%define _binary_payload w9.gzdio]=])
endif()

include(CPack)
