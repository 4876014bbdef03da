# Run by CPack on the staged tree, before it packs: every ELF file loses its
# symbols and the toolchain's .comment and .note sections, as the
# distribution strips its own binaries (the library keeps its dynamic symbols).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  set(how)
  if(file MATCHES "\\.so(\\.[0-9]+)*$")
    set(how --strip-unneeded)
  endif()
  execute_process(COMMAND "${CPACK_STROKEDESK_STRIP}" ${how} --remove-section=.comment --remove-section=.note "${file}"
    RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "strip failed on ${file}: ${err}")
  endif()
endforeach()
