// Driving this copy's dialogs without a person, for tests (they run on the offscreen platform too):
// what is open and what it shows, typing, clicks and keys as a user makes them. Window thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/dialog_template.h"
#include "platform/gui/dialog.h"

namespace dialog_driver {

struct ControlView {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  std::string text;                         // a drop-down list's: its chosen entry
  int x = 0, y = 0, width = 0, height = 0;  // pixels in the dialog's client area
  bool enabled = false, visible = false;
  bool readOnly = false, password = false;  // edits
  bool checked = false;                     // check boxes
  bool isDefault = false;                   // push buttons
  std::vector<std::string> items;           // drop-down lists
  int currentIndex = -1;
};

struct DialogView {
  HWND handle = 0;
  int resource = 0;  // the template's number; 0 for a message box
  std::string caption;
  bool modal = false, visible = false, onTop = false, hasIcon = false;
  long long iconKey = 0;                    // the same for dialogs that show the same icon
  int x = 0, y = 0, width = 0, height = 0;  // the client area on the screen
  int baseUnitX = 0, baseUnitY = 0;         // of the dialog's font, in pixels
  std::vector<ControlView> controls;        // in template order
};

// The open dialogs (message boxes included), oldest first.
std::vector<HWND> OpenDialogs();
// The newest open dialog made from this template (0 for message boxes), or 0.
HWND FindDialog(int resource);
bool Describe(HWND dialog, DialogView* view);
// The text of the first control with this id ("" when there is none).
std::string ControlText(HWND dialog, int id);

// Typing into an edit field at its caret, key by key: a read-only field or a digits-only one refuses
// what it would refuse from a person. False when there is no such edit.
bool Type(HWND dialog, int id, const std::string& text);
// A click on a push button or check box (nothing for a disabled one); false when there is none.
bool Click(HWND dialog, int id);
// Picking an entry of a drop-down list as a person does; false when there is no such entry.
bool Choose(HWND dialog, int id, int index);
enum class Key { Enter, Escape, Space };
// A key pressed while the dialog has the keyboard: it goes to the control that has the focus.
bool Press(HWND dialog, Key key);
// The close box of the caption.
bool CloseBox(HWND dialog);

// Whether this copy's main window takes input (it does not while a modal dialog over it runs).
bool MainWindowTakesInput();

// Called on the window thread each time a dialog has opened, from the loop that serves it (inside a
// modal dialog's own loop): how a test answers a modal dialog. Empty to remove it.
void OnDialogOpened(std::function<void(HWND)> hook);

}  // namespace dialog_driver
