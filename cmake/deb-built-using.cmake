# Runs inside CPack once the .deb is made, for the statically linked program: adds the Built-Using
# field, which CPack doesn't write. Debian asks a package that carries other packages' code to name
# their sources at the versions linked in, so that the archive keeps those sources.
#
# What is linked in is found by asking the compiler where its static C and C++ libraries are, and
# dpkg whose they are: glibc's libc.a (and libm.a), and gcc's libstdc++.a, libgcc.a and
# libgcc_eh.a. The versions are those installed when the package is made, which is right as long
# as the build ran against the same ones.
set(_sources "")
foreach(_lib libc.a libm.a libstdc++.a libgcc.a libgcc_eh.a)
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
