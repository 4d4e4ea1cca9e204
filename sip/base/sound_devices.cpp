// Listing the sound cards through a media factory of its own, with or without a telephone.
#include "sip/base/sound_devices.h"

#include <mediastreamer2/msfactory.h>
#include <mediastreamer2/mssndcard.h>

std::vector<std::string> SoundDeviceNames() {
  std::vector<std::string> names;
  MSFactory* factory = ms_factory_new_with_voip();
  if (factory == nullptr) return names;
  MSSndCardManager* manager = ms_factory_get_snd_card_manager(factory);
  for (const bctbx_list_t* it = ms_snd_card_manager_get_list(manager); it != nullptr; it = it->next) {
    const char* id = ms_snd_card_get_string_id(static_cast<MSSndCard*>(it->data));
    if (id != nullptr) names.emplace_back(id);
  }
  ms_factory_destroy(factory);
  return names;
}
