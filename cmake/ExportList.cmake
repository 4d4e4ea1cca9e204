# Writes the executable's dynamic list from the telephone module's dynamic symbols (cmake -P, with NM,
# MODULE and OUT): the executable exports only what the module names, never its copies of the toolkit's
# inline functions, which a library loaded with the module (a media plugin built on another major version
# of the toolkit) would otherwise bind to.
execute_process(COMMAND ${NM} -D --format=posix ${MODULE} OUTPUT_VARIABLE _symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "\n$" "" _symbols "${_symbols}")
string(REPLACE "\n" ";" _lines "${_symbols}")
set(_list "{\n")
foreach(_line ${_lines})
  string(REGEX REPLACE "[ @].*" "" _name "${_line}")
  if(_name MATCHES "^[A-Za-z_][A-Za-z0-9_.$]*$")
    string(APPEND _list "  ${_name};\n")
  endif()
endforeach()
string(APPEND _list "};\n")
file(WRITE ${OUT}.new "${_list}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
