// Loading a shared module at run time: its symbols resolved at once and kept to itself.
#pragma once

#include <string>

// Opens the module at path (every undefined symbol resolved now, from the program first; its own symbols
// not offered to modules opened later) and returns the address of symbol in it. nullptr, with the
// system's reason in *error, when the file is missing, is no module, lacks a symbol it needs or lacks
// symbol. A module once opened stays: the libraries it brings start threads and register exit handlers.
void* OpenModuleSymbol(const std::string& path, const char* symbol, std::string* error);
