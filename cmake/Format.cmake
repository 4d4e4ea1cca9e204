# format: rewrites every C++ file of the project with clang-format and the root .clang-format;
# format-check: fails, naming the files, when one is not formatted (CI runs it).
find_program(CLANG_FORMAT NAMES clang-format clang-format-14)
if(NOT CLANG_FORMAT)
  message(STATUS "clang-format not found: no format targets")
  return()
endif()

set(_folders app bench platform resources skin state tests tools video window)
set(_globs)
foreach(_folder ${_folders})
  list(APPEND _globs ${PROJECT_SOURCE_DIR}/${_folder}/*.cpp ${PROJECT_SOURCE_DIR}/${_folder}/*.h)
endforeach()
file(GLOB_RECURSE _format_files CONFIGURE_DEPENDS ${_globs})

add_custom_target(format COMMAND ${CLANG_FORMAT} -i ${_format_files}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} COMMENT "Formatting the sources" VERBATIM)
add_custom_target(format-check COMMAND ${CLANG_FORMAT} --dry-run --Werror ${_format_files}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} COMMENT "Checking the sources' format" VERBATIM)
