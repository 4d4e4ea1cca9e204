// Listing the sound cards through a media factory of its own, with or without a telephone.
#include "sip/base/sound_devices.h"

#include <mediastreamer2/msfactory.h>
#include <mediastreamer2/mssndcard.h>

std::vector<std::string> SoundDeviceNames() {
  std::vector<std::string> names;
  // Without the media plugins: they bring no sound card, and the packaged one maps a second GUI toolkit
  // into the process for good.
  MSFactory* factory = ms_factory_new();
  if (factory == nullptr) return names;
  ms_factory_init_voip(factory);
  MSSndCardManager* manager = ms_factory_get_snd_card_manager(factory);
  for (const bctbx_list_t* it = ms_snd_card_manager_get_list(manager); it != nullptr; it = it->next) {
    const char* id = ms_snd_card_get_string_id(static_cast<MSSndCard*>(it->data));
    if (id != nullptr) names.emplace_back(id);
  }
  ms_factory_destroy(factory);
  return names;
}
