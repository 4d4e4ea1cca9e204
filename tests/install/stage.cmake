# Installs the build tree BUILD with prefix /usr into the empty folder STAGE, as a package would.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
  RESULT_VARIABLE _rc OUTPUT_QUIET)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "the install into ${STAGE} failed: ${_rc}")
endif()
