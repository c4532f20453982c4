# Runs inside CPack, after the files are staged: gzips the man page and the changelog the way
# Debian's tools do (best compression, no name or time stamp in the header).
file(GLOB_RECURSE _docs
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(_doc IN LISTS _docs)
  execute_process(COMMAND gzip -9nf "${_doc}" RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "gzip ${_doc} failed")
  endif()
endforeach()
