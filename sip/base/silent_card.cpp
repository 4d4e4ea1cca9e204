// The silent sound card: a mediastreamer card whose reader sends silence and whose writer drops what it
// gets. Never an ALSA null device: that one made the process grow without bound during a call.
#include "sip/base/silent_card.h"

#include <mediastreamer2/allfilters.h>
#include <mediastreamer2/msfactory.h>
#include <mediastreamer2/msfilter.h>
#include <mediastreamer2/msinterfaces.h>
#include <mediastreamer2/mssndcard.h>

namespace {

MSFilter* CreateReader(MSSndCard* card) {
  MSFilter* source = ms_factory_create_filter(ms_snd_card_get_factory(card), MS_VOID_SOURCE_ID);
  // Without silence the source sends nothing, and a stream with nothing to send sends no RTP.
  if (source != nullptr) {
    bool_t silence = TRUE;
    ms_filter_call_method(source, MS_VOID_SOURCE_SEND_SILENCE, &silence);
  }
  return source;
}

MSFilter* CreateWriter(MSSndCard* card) {
  return ms_factory_create_filter(ms_snd_card_get_factory(card), MS_VOID_SINK_ID);
}

void Detect(MSSndCardManager* manager);

MSSndCardDesc g_silentDesc = [] {
  MSSndCardDesc desc{};
  desc.driver_type = "Silent";
  desc.detect = Detect;
  desc.create_reader = CreateReader;
  desc.create_writer = CreateWriter;
  return desc;
}();

void Detect(MSSndCardManager* manager) {
  MSSndCard* card = ms_snd_card_new_with_name(&g_silentDesc, "silence");
  if (card == nullptr) return;
  card->capabilities = MS_SND_CARD_CAP_CAPTURE | MS_SND_CARD_CAP_PLAYBACK;
  ms_snd_card_manager_add_card(manager, card);
}

// Whether a card other than ours can do what caps asks for.
bool HasCard(MSSndCardManager* manager, unsigned caps) {
  for (const bctbx_list_t* it = ms_snd_card_manager_get_list(manager); it != nullptr; it = it->next) {
    auto* card = static_cast<MSSndCard*>(it->data);
    if (card->desc != &g_silentDesc && (ms_snd_card_get_capabilities(card) & caps) == caps) return true;
  }
  return false;
}

MSSndCardManager* CardsOf(LinphoneCore* core) {
  return ms_factory_get_snd_card_manager(linphone_core_get_ms_factory(core));
}

// The silent card's id as the library names it ("Silent Unknown: silence"), or "" when the core has none.
std::string SilentCardId(MSSndCardManager* manager) {
  for (const bctbx_list_t* it = ms_snd_card_manager_get_list(manager); it != nullptr; it = it->next) {
    auto* card = static_cast<MSSndCard*>(it->data);
    if (card->desc == &g_silentDesc) return ms_snd_card_get_string_id(card);
  }
  return "";
}

}  // namespace

std::string AddSilentCard(LinphoneCore* core) {
  MSSndCardManager* manager = CardsOf(core);
  if (manager == nullptr) return "";
  ms_snd_card_manager_register_desc(manager, &g_silentDesc);
  linphone_core_reload_sound_devices(core);
  return SilentCardId(manager);
}

void UseSoundDevices(LinphoneCore* core, const std::string& capture, const std::string& playback) {
  if (!capture.empty()) linphone_core_set_capture_device(core, capture.c_str());
  if (!playback.empty()) linphone_core_set_playback_device(core, playback.c_str());
  MSSndCardManager* manager = CardsOf(core);
  const std::string silent = manager == nullptr ? "" : SilentCardId(manager);
  if (silent.empty()) return;
  linphone_core_set_capture_device(core, silent.c_str());
  linphone_core_set_playback_device(core, silent.c_str());
}

void AddSilentCardWhereNeeded(LinphoneCore* core) {
  MSSndCardManager* manager = CardsOf(core);
  if (manager == nullptr) return;
  if (HasCard(manager, MS_SND_CARD_CAP_CAPTURE) && HasCard(manager, MS_SND_CARD_CAP_PLAYBACK)) return;
  AddSilentCard(core);
}
