// Choosing the audio codecs door units speak.
#include "sip/base/door_codecs.h"

#include <array>
#include <string_view>

namespace {

struct Codec {
  std::string_view mime;
  int rate;  // as the library names it: G.722 by its RTP clock, 8000
};

constexpr std::array<Codec, 4> kDoorCodecs{{{"opus", 48000}, {"G722", 8000}, {"PCMU", 8000}, {"PCMA", 8000}}};

bool IsDoorCodec(const LinphonePayloadType* type) {
  const char* mime = linphone_payload_type_get_mime_type(type);
  if (mime == nullptr) return false;
  for (const Codec& codec : kDoorCodecs)
    if (codec.mime == mime && codec.rate == linphone_payload_type_get_clock_rate(type)) return true;
  return false;
}

}  // namespace

void KeepDoorCodecs(LinphoneCore* core) {
  // The others (speex, G.729, GSM, L16...) only lengthen the offer, and a phone that picked one of them
  // would make the call depend on a codec no unit was tried with.
  bctbx_list_t* types = linphone_core_get_audio_payload_types(core);
  for (bctbx_list_t* it = types; it != nullptr; it = it->next) {
    auto* type = static_cast<LinphonePayloadType*>(it->data);
    linphone_payload_type_enable(type, IsDoorCodec(type) ? TRUE : FALSE);
  }
  bctbx_list_free_with_data(types, reinterpret_cast<bctbx_list_free_func>(linphone_payload_type_unref));
}
