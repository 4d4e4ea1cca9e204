// Dialog templates as the program keeps them in resources/: a caption, a style, a font and controls
// placed in dialog units, read from a small line-based text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/types.h"

// Dialog styles.
constexpr DWORD DS_SYSMODAL = 0x0002;    // stays on top of every other window
constexpr DWORD DS_MODALFRAME = 0x0080;  // a dialog frame
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;  // a system menu with the close box

// Control styles.
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD CBS_SORT = 0x0100;

enum class ControlKind {
  Label,        // static text
  Icon,         // a standard icon (text names it: error, question, exclamation, information)
  Button,       // push button
  CheckBox,     // check box that toggles itself
  Edit,         // one-line edit field
  DropDown,     // drop-down list without an edit field
  GroupBox,     // a frame with a title
  HLine,        // etched horizontal line
  VLine,        // etched vertical line
  PictureList,  // a list of rows, each a thumbnail and text, one row selected at a time
  Picture,      // a picture from a file, scaled into the control keeping its proportions
};

// The id of controls that nobody addresses.
constexpr int kNoControlId = -1;

struct DialogControl {
  ControlKind kind = ControlKind::Label;
  int id = kNoControlId;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD style = 0;
};

struct DialogTemplate {
  std::string caption;
  DWORD style = 0;
  std::string fontName;
  int fontPoints = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units; the size is the client area's
  std::vector<DialogControl> controls;
};

// Limits a template must keep: larger values are refused as damaged data.
constexpr int kMaxDialogUnits = 4096;
constexpr std::size_t kMaxTemplateControls = 255;
constexpr std::size_t kMaxTemplateText = 255;

// Reads a template. On failure returns false and, when error is set, says which line and why.
bool ParseDialogTemplate(std::string_view text, DialogTemplate* out, std::string* error);
