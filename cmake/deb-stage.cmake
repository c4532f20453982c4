# Runs inside CPack, after the files are staged and before the .deb or .rpm is made of them.
# Debian wants the man page and the changelog gzipped the way its own tools do it (best
# compression, no name or time stamp in the header).
file(GLOB_RECURSE _docs
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(_doc IN LISTS _docs)
  execute_process(COMMAND gzip -9nf "${_doc}" RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "gzip ${_doc} failed")
  endif()
endforeach()

# The lintian override speaks of the package, not of an installed tree, so it goes into the .deb
# alone and never into a `cmake --install`.
if(CPACK_WAITMS_LINTIAN_OVERRIDES AND CPACK_GENERATOR STREQUAL "DEB")
  set(_dir "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides")
  file(COPY "${CPACK_WAITMS_LINTIAN_OVERRIDES}" DESTINATION "${_dir}"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  get_filename_component(_name "${CPACK_WAITMS_LINTIAN_OVERRIDES}" NAME)
  file(RENAME "${_dir}/${_name}" "${_dir}/${CPACK_PACKAGE_NAME}")
endif()

# Every staged file and folder takes the time that SOURCE_DATE_EPOCH gives, where it is set, so
# that two builds of one commit make the same package: rpm only brings later times down to it,
# and a file installed from the sources keeps the time it was checked out.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND find "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
    -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} + COMMAND_ERROR_IS_FATAL ANY)
endif()
