// The core's configuration text.
#include "sip/base/core_config.h"

std::string CoreConfigText() {
  // Without these the library opens sqlite files under the home folder, and its start fails where that
  // folder is missing.
  return "[storage]\n"
         "uri=null\n"
         "call_logs_db_uri=null\n"
         "zrtp_secrets_db_uri=null\n"
         "friends_db_uri=null\n"
         "[misc]\n"
         // Without a call log database the library keeps every past call in memory, with no limit;
         // the telephone never reads them.
         "history_max_size=0\n"
         "uuid=0\n"
         "version_check_url_root=\n"
         "[sip]\n"
         "use_ipv6=0\n"
         "[video]\n"
         "automatically_initiate=0\n"
         "automatically_accept=0\n"
         "capture=0\n"
         "display=0\n"
         "[sound]\n"
         "local_ring=\n"
         "remote_ring=\n";
}
