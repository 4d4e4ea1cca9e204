// Built-in resources (skin bitmaps, icon, sounds) addressed by numeric id, like a program module's resources.
#pragma once

#include <cstddef>

struct ResourceEntry {
  int id;
  const unsigned char* data;
  std::size_t size;
};

// The program module: the table of its built-in resources. g_hInstance points at one.
struct ModuleResources {
  const ResourceEntry* entries;
  std::size_t count;
};
using HINSTANCE = const ModuleResources*;

// The resource with this id, or nullptr.
const ResourceEntry* FindResource(HINSTANCE module, int id);
