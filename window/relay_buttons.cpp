// The relay buttons: a release takes the last result's banner away, switches the relay on a worker and
// shows the hovered look again.
#include "door/relay_workers.h"
#include "state/display_record.h"
#include "visit_recording/visit_recording.h"
#include "window/button_actions.h"
#include "window/door_result.h"
#include "window/pointer.h"

void Relay1Released() {
  ClearDoorBanner();
  RelayPressedForVisit(1, StartRelay(1));
  DrawSkinPieceAt(SKIN_BR_B1_OVER, SKIN_BR_B1_UP);  // the pointer is still over it
}

void Relay2Released() {
  ClearDoorBanner();
  RelayPressedForVisit(2, StartRelay(2));
  DrawSkinPieceAt(SKIN_BR_B2_OVER, SKIN_BR_B2_UP);
}
