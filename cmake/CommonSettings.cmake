# The interface target every module links: language level, warnings, sanitizers; and the module helper.
add_library(kestrova_common INTERFACE)
target_compile_features(kestrova_common INTERFACE cxx_std_20)
target_compile_options(kestrova_common INTERFACE -Wall -Wextra $<$<BOOL:${KESTROVA_WERROR}>:-Werror>)
target_include_directories(kestrova_common INTERFACE ${PROJECT_SOURCE_DIR})
set(CMAKE_CXX_EXTENSIONS OFF)
if(KESTROVA_THREAD_SAFETY)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The lock rules written as attributes (platform/core/annotated_mutex.h) are checked in every module.
    # Test code is left out (KESTROVA_TEST_CODE, set on tests/): a test is the window thread's stand-in
    # and sets the program's state directly between the steps it checks.
    define_property(TARGET PROPERTY KESTROVA_TEST_CODE INHERITED BRIEF_DOCS "test code" FULL_DOCS "test code")
    define_property(DIRECTORY PROPERTY KESTROVA_TEST_CODE INHERITED BRIEF_DOCS "test code" FULL_DOCS "test code")
    set(_tsa $<NOT:$<BOOL:$<TARGET_PROPERTY:KESTROVA_TEST_CODE>>>)
    target_compile_options(kestrova_common INTERFACE $<${_tsa}:-Wthread-safety> $<${_tsa}:-Werror=thread-safety>)
  else()
    message(WARNING "KESTROVA_THREAD_SAFETY needs clang; the lock annotations are not checked")
  endif()
endif()

if(KESTROVA_SANITIZE STREQUAL "address")
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(KESTROVA_SANITIZE STREQUAL "thread")
  set(_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT KESTROVA_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KESTROVA_SANITIZE must be empty, 'address' or 'thread'")
endif()
if(KESTROVA_FUZZ)
  # Coverage for libFuzzer in every library the fuzz targets link, with ASan and UBSan.
  set(_san -g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
endif()
if(_san)
  target_compile_options(kestrova_common INTERFACE ${_san})
  target_link_options(kestrova_common INTERFACE ${_san})
endif()

# Include lines that only some folders may have.
set(KESTROVA_TOOLKIT_INCLUDES "[<\"](Q[A-Za-z]+|qt[a-z]*/|xcb/|X11/)")
set(KESTROVA_APP_INCLUDES "\"app/")
set(KESTROVA_GUI_INCLUDES "\"platform/gui/|\"skin/|\"window/|\"resources/|[<\"](Q[A-Za-z]+|qt[a-z]*/|xcb/|X11/|FreeImage)")
set(KESTROVA_CURL_INCLUDES "\"platform/http/|[<\"]curl/")
set(KESTROVA_SYSTEM_INCLUDES "<(malloc\\.h|fcntl\\.h|unistd\\.h|sys/|dlfcn\\.h|pwd\\.h|signal\\.h|poll\\.h|dirent\\.h|spawn\\.h|netinet/|arpa/|netdb\\.h)")

# kestrova_module(NAME [EXCLUDE files...] [FORBID regex...]): a static library from every source in the
# current folder. No module but app/ includes app/ (it sits on top), no module but platform/gui
# includes the GUI toolkit or X11, and only platform/ includes the system's own headers (files,
# processes, sockets); FORBID adds what else the folder must not include.
function(kestrova_module name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;FORBID" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(_ex ${ARG_EXCLUDE})
    list(REMOVE_ITEM _src ${CMAKE_CURRENT_SOURCE_DIR}/${_ex})
  endforeach()
  add_library(${name} STATIC ${_src})
  target_link_libraries(${name} PUBLIC kestrova_common)
  set(_forbidden ${ARG_FORBID})
  if(NOT name STREQUAL "app")
    list(APPEND _forbidden "${KESTROVA_APP_INCLUDES}")
  endif()
  if(NOT name STREQUAL "platform_gui")
    list(APPEND _forbidden "${KESTROVA_TOOLKIT_INCLUDES}")
  endif()
  if(NOT name MATCHES "^platform")
    list(APPEND _forbidden "${KESTROVA_SYSTEM_INCLUDES}")
  endif()
  kestrova_forbid_includes("${_forbidden}" ${_src})
endfunction()

# Stops the configure step when one of the files includes what matches one of the patterns: the
# layering is checked on every configure, not left to review.
function(kestrova_forbid_includes patterns)
  foreach(_file ${ARGN})
    foreach(_pattern ${patterns})
      file(STRINGS ${_file} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*(${_pattern})")
      if(_hits)
        get_filename_component(_folder ${_file} DIRECTORY)
        file(RELATIVE_PATH _folder ${PROJECT_SOURCE_DIR} ${_folder})
        message(FATAL_ERROR "${_file}: ${_hits}\nFiles in ${_folder}/ may not include what matches ${_pattern}.")
      endif()
    endforeach()
  endforeach()
endfunction()
