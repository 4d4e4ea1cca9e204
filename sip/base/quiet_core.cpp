// Making a core from the configuration text, shared by the telephone and the door simulator.
#include "sip/base/quiet_core.h"

#include <linphone/logging.h>

#include <cstdlib>

#include "sip/base/core_config.h"
#include "sip/base/door_codecs.h"

LinphoneCore* MakeQuietCore(const char* logVariable, int udpPort,
                            const std::function<void(LinphoneConfig*)>& adjust) {
  // The logging service is the library's one global.
  const char* wanted = std::getenv(logVariable);
  const bool verbose = wanted != nullptr && wanted[0] != '\0' && wanted[0] != '0';
  linphone_logging_service_set_log_level(linphone_logging_service_get(),
                                         verbose ? LinphoneLogLevelMessage : LinphoneLogLevelFatal);
  LinphoneFactory* factory = linphone_factory_get();
  // The packaged media plugins are video displays; the one Debian ships pulls a second GUI toolkit
  // (about 7.5 MB resident) into a program that shows no call video. Debian keeps /nonexistent absent
  // for good, so nothing is loaded from it.
  linphone_factory_set_msplugins_dir(factory, kNoMediaPlugins);
  LinphoneConfig* config = linphone_factory_create_config_from_string(factory, CoreConfigText().c_str());
  if (config == nullptr) return nullptr;
  if (adjust) adjust(config);
  LinphoneCore* core = linphone_factory_create_core_with_config_3(factory, config, nullptr);
  linphone_config_unref(config);
  if (core == nullptr) return nullptr;

  LinphoneTransports* transports = linphone_factory_create_transports(factory);
  linphone_transports_set_udp_port(transports, udpPort);
  linphone_transports_set_tcp_port(transports, 0);
  linphone_transports_set_tls_port(transports, 0);
  linphone_transports_set_dtls_port(transports, 0);
  linphone_core_set_transports(core, transports);
  linphone_transports_unref(transports);
  // Several telephones on one machine (other SIP programs, tests, simulated units): media ports are
  // picked freely.
  linphone_core_set_audio_port(core, -1);
  linphone_core_enable_video_capture(core, FALSE);
  linphone_core_enable_video_display(core, FALSE);
  KeepDoorCodecs(core);
  return core;
}
