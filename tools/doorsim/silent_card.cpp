// The silent sound card: mediastreamer's void source (sending silence) and void sink.
#include "tools/doorsim/silent_card.h"

#include <mediastreamer2/allfilters.h>
#include <mediastreamer2/msfactory.h>
#include <mediastreamer2/msfilter.h>
#include <mediastreamer2/msinterfaces.h>
#include <mediastreamer2/mssndcard.h>

namespace doorsim {
namespace {

MSFilter* CreateReader(MSSndCard* card) {
  MSFilter* f = ms_factory_create_filter(ms_snd_card_get_factory(card), MS_VOID_SOURCE_ID);
  // Without silence the source sends nothing, and a stream with nothing to send sends no RTP.
  bool_t silence = TRUE;
  if (f) ms_filter_call_method(f, MS_VOID_SOURCE_SEND_SILENCE, &silence);
  return f;
}

MSFilter* CreateWriter(MSSndCard* card) {
  return ms_factory_create_filter(ms_snd_card_get_factory(card), MS_VOID_SINK_ID);
}

void Detect(MSSndCardManager* manager);

MSSndCardDesc silentDesc = [] {
  MSSndCardDesc d{};
  d.driver_type = "Silent";
  d.detect = Detect;
  d.create_reader = CreateReader;
  d.create_writer = CreateWriter;
  return d;
}();

void Detect(MSSndCardManager* manager) {
  MSSndCard* card = ms_snd_card_new_with_name(&silentDesc, "silent");
  card->capabilities = MS_SND_CARD_CAP_CAPTURE | MS_SND_CARD_CAP_PLAYBACK;
  ms_snd_card_manager_add_card(manager, card);
}

}  // namespace

std::string RegisterSilentCard(_MSFactory* factory) {
  MSSndCardManager* manager = ms_factory_get_snd_card_manager(factory);
  ms_snd_card_manager_register_desc(manager, &silentDesc);
  // The id carries the device type the library puts in ("Silent Unknown: silent"): ask for it.
  for (const bctbx_list_t* item = ms_snd_card_manager_get_list(manager); item; item = item->next) {
    const auto* card = static_cast<const MSSndCard*>(item->data);
    if (card->desc == &silentDesc) return ms_snd_card_get_string_id(card);
  }
  return {};
}

}  // namespace doorsim
