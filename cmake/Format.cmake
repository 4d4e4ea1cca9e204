# format: rewrites every C++ file of the project with clang-format and the root .clang-format;
# format-check: fails, naming the files, when one is not formatted (scripts/test runs it).
find_program(CLANG_FORMAT NAMES clang-format clang-format-14)
if(NOT CLANG_FORMAT)
  message(STATUS "clang-format not found: no format targets")
  return()
endif()

set(_folders app bench door platform resources settings sip skin state tests tools video window)
set(_globs)
foreach(_folder ${_folders})
  list(APPEND _globs ${PROJECT_SOURCE_DIR}/${_folder}/*.cpp ${PROJECT_SOURCE_DIR}/${_folder}/*.h)
endforeach()
file(GLOB_RECURSE _format_files CONFIGURE_DEPENDS ${_globs})
# The list goes through a file: a command line naming every source would fill the log of a failed check.
set(_list ${CMAKE_BINARY_DIR}/format_files.txt)
list(JOIN _format_files "\n" _text)
file(WRITE ${_list} "${_text}\n")

add_custom_target(format
  COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${CLANG_FORMAT} -DLIST=${_list} -DMODE=fix -P ${CMAKE_CURRENT_LIST_DIR}/RunFormat.cmake
  COMMENT "Formatting the sources" VERBATIM)
add_custom_target(format-check
  COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${CLANG_FORMAT} -DLIST=${_list} -DMODE=check -P ${CMAKE_CURRENT_LIST_DIR}/RunFormat.cmake
  COMMENT "Checking the sources' format" VERBATIM)
