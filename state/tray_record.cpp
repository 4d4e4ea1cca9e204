// The tray icon's record, shared with the video reader, which changes its tip.
#include "state/tray_record.h"

Mutex TrayRecordLock;
NOTIFYICONDATA nid;
