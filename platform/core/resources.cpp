// Lookup of built-in resources by id.
#include "platform/core/resources.h"

const ResourceEntry* FindResource(HINSTANCE module, int id) {
  if (module == nullptr) return nullptr;
  for (std::size_t i = 0; i < module->count; ++i)
    if (module->entries[i].id == id) return &module->entries[i];
  return nullptr;
}
