# Runs inside CPack once the .deb is made, for the statically linked program: adds the Built-Using
# field, which CPack doesn't write. Debian asks a package that carries other packages' code to name
# their sources at the versions linked in, so that the archive keeps those sources.
#
# What is linked in is found by asking the compiler where its static C and C++ libraries are, and
# dpkg whose they are: glibc's libc.a (and libm.a), and gcc's libstdc++.a, libgcc.a and
# libgcc_eh.a. The versions are those installed when the package is made, which is right as long
# as the build ran against the same ones.
#
# A cross compiler's libraries come in packages of other sources (cross-toolchain-base,
# gcc-12-cross), which hold the recipe only: they take the code from glibc's and gcc's sources
# and name those in their own Built-Using. So both are named: the package's source, for the
# recipe, and from its Built-Using the source of the library's code (not its binutils or linux,
# whose code is linked in nowhere).
if(NOT CPACK_GENERATOR STREQUAL "DEB")  # an .rpm has no such field
  return()
endif()
set(_sources "")
foreach(_lib_origin libc.a:glibc libm.a:glibc libstdc++.a:gcc-[0-9]+ libgcc.a:gcc-[0-9]+
    libgcc_eh.a:gcc-[0-9]+)
  string(REGEX REPLACE ":.*" "" _lib "${_lib_origin}")
  string(REGEX REPLACE ".*:" "" _origin "${_lib_origin}")
  execute_process(COMMAND "${CPACK_WAITMS_CXX_COMPILER}" -print-file-name=${_lib}
    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}")  # the compiler doesn't know it: not linked in
    continue()
  endif()
  file(REAL_PATH "${_path}" _path)
  execute_process(COMMAND dpkg-query -S "${_path}"
    OUTPUT_VARIABLE _owner RESULT_VARIABLE _result OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "No package owns ${_path}, which the program links statically: "
      "Built-Using can't name its source")
  endif()
  string(REGEX REPLACE ": .*" "" _package "${_owner}")  # "libc6-dev:amd64: /usr/lib/..."
  execute_process(COMMAND dpkg-query -W "-f=\${source:Package} (= \${source:Version})" "${_package}"
    OUTPUT_VARIABLE _source COMMAND_ERROR_IS_FATAL ANY)
  list(APPEND _sources "${_source}")
  if(NOT _source MATCHES "^${_origin} ")
    execute_process(COMMAND dpkg-query -W "-f=\${Built-Using}" "${_package}"
      OUTPUT_VARIABLE _built_from COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "(^|, )${_origin} \\(= [^)]+\\)" _code "${_built_from}")
    string(REGEX REPLACE "^, " "" _code "${_code}")
    if(NOT _code)
      message(FATAL_ERROR "${_package}, which holds ${_path}, names no ${_origin} source in its "
        "Built-Using (\"${_built_from}\"): Built-Using can't name where the code comes from")
    endif()
    list(APPEND _sources "${_code}")
  endif()
endforeach()
list(REMOVE_DUPLICATES _sources)
list(SORT _sources)
list(JOIN _sources ", " _built_using)

# dpkg-deb takes the package apart and puts it together again with the field added; the files and
# their checksums stay as they were.
foreach(_deb IN LISTS CPACK_PACKAGE_FILES)
  set(_dir "${_deb}.d")
  file(REMOVE_RECURSE "${_dir}")
  execute_process(COMMAND dpkg-deb -R "${_deb}" "${_dir}" COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${_dir}/DEBIAN/control" _control)
  string(STRIP "${_control}" _control)  # CPack ends it with an empty line, which would end the stanza
  file(WRITE "${_dir}/DEBIAN/control" "${_control}\nBuilt-Using: ${_built_using}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b "${_dir}" "${_deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${_dir}")
endforeach()
