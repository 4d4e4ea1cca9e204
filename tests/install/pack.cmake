# Packs the build tree BUILD as a Debian package into the empty folder OUT. gzip instead of xz: the
# package's content is what the tests look at, and xz would take most of the time.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G DEB -B ${OUT} -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip
  WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${_rc}")
endif()
