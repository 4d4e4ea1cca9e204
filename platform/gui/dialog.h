// Dialogs as their procedures see them: made from a template, controls addressed by id, commands by id.
#pragma once

#include <string>

#include "platform/core/messages.h"
#include "platform/core/resources.h"

constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// A dialog procedure: handles WM_INITDIALOG (lParam = the creator's parameter) and WM_COMMAND
// (LOWORD(wParam) = the control id; the close box, Escape and Enter arrive as IDCANCEL and IDOK).
using DLGPROC = LRESULT (*)(HWND hwndDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog handles are local to a copy: numbered from kFirstDialogHandle, above every process id and
// below HWND_BROADCAST, so they never name a copy's main window.
constexpr HWND kFirstDialogHandle = 0x40000000;
bool IsDialogHandle(HWND hwnd);

// Window thread only. The template is the module's dialog template with this resource number
// (its caption, style, font and controls are data in resources/). The dialog carries icon 101 and,
// like every template here, stays on top (DS_SYSMODAL). It stays above its owner (the main window, or the
// dialog it belongs to) as long as it is open, whatever the owner does; a minimised main window leaves it
// on the screen.
// Modeless: returns the dialog's handle (0 on failure); WM_INITDIALOG has run when it returns.
HWND CreateDialogParamA(HINSTANCE module, int resource, HWND owner, DLGPROC proc, LPARAM param);
// Modal: returns EndDialog's result, or -1 if the dialog could not be made. While it runs, the
// owner takes no input; sent messages (bus, other threads' waiting sends) are still handled.
LRESULT DialogBoxParamA(HINSTANCE module, int resource, HWND owner, DLGPROC proc, LPARAM param);
// Ends (and for a modeless dialog, destroys) the dialog, from any thread; FALSE for a handle that is
// not open.
BOOL EndDialog(HWND hwndDlg, LRESULT result);
// Whether the handle names a dialog that is open.
BOOL IsDialogOpen(HWND hwndDlg);

// Controls by id, and the caption, from any thread (another thread's call runs on the window thread and
// waits for it, at most 2 s). Texts are the program's narrow texts; GetDlgItemTextA copies at most max-1
// characters and a terminating zero and returns the count copied.
BOOL SetDlgItemTextA(HWND hwndDlg, int id, const char* text);
UINT GetDlgItemTextA(HWND hwndDlg, int id, char* text, int max);
// EM_REPLACESEL (lParam = const char*) inserts the text at the caret of an edit control.
// Also: EM_SETREADONLY (wParam TRUE/FALSE); BM_GETCHECK and BM_SETCHECK (BST_CHECKED/BST_UNCHECKED);
// CB_ADDSTRING (lParam = const char*; returns the new index), CB_RESETCONTENT, CB_GETCOUNT,
// CB_SETCURSEL (wParam = index; returns it, or CB_ERR), CB_GETCURSEL (CB_ERR for none),
// CB_GETLBTEXTLEN and CB_GETLBTEXT (wParam = index, lParam = a buffer of at least CB_GETLBTEXTLEN + 1
// bytes; returns the length or CB_ERR), CB_SETDROPPEDWIDTH (wParam = pixels). 0 for anything else.
LRESULT SendDlgItemMessageA(HWND hwndDlg, int id, UINT message, WPARAM wParam, LPARAM lParam);
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_ERR = -1;
// A picture list (window thread only; another thread's call is refused): LVM_INSERTITEMA (lParam = a
// PictureListRow; appends the row and returns its index), LVM_GETITEMCOUNT, LVM_DELETEITEM (wParam =
// index), LVM_DELETEALLITEMS, LVM_GETSELECTIONMARK (-1 for none), LVM_SETSELECTIONMARK (lParam = index,
// -1 for none; not announced). A picture control: STM_SETIMAGE (lParam = a picture file's path, null
// or "" to clear; TRUE when the file could be shown).
struct PictureListRow {
  const char* text;     // one line or several, separated by '\n'
  const char* picture;  // the thumbnail's file, null or "" for none
  BOOL standOut;        // drawn bold and red, for rows that want attention
};
constexpr UINT LVM_GETITEMCOUNT = 0x1004;
constexpr UINT LVM_INSERTITEMA = 0x1007;
constexpr UINT LVM_DELETEITEM = 0x1008;
constexpr UINT LVM_DELETEALLITEMS = 0x1009;
constexpr UINT LVM_GETSELECTIONMARK = 0x1042;
constexpr UINT LVM_SETSELECTIONMARK = 0x1043;
constexpr UINT STM_SETIMAGE = 0x0172;
// The notification in HIWORD(wParam) of WM_COMMAND: a button or check box clicked, a drop-down list's
// choice changed by the user (not by CB_SETCURSEL), a picture list's row chosen by the user.
constexpr UINT BN_CLICKED = 0;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT LBN_SELCHANGE = 1;
// A check box's state (BST_CHECKED/BST_UNCHECKED), through BM_GETCHECK and BM_SETCHECK.
UINT IsDlgButtonChecked(HWND hwndDlg, int id);
BOOL CheckDlgButton(HWND hwndDlg, int id, UINT check);
// Whether the user may use the control (FALSE greys it out); returns whether it was disabled before.
BOOL EnableDlgItem(HWND hwndDlg, int id, BOOL enable);
// A dialog's caption; for the main window's handle, the main window's text.
BOOL SetWindowTextA(HWND hwndDlg, const char* text);
// Window thread. The next open dialog after `after` (0: from the first, oldest first) whose class and
// caption match (null matches any); 0 when there is none. Every dialog, message boxes included, is of
// the dialog class; parent must be 0 (the desktop).
constexpr const char* kDialogClass = "#32770";
HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName);

// Message boxes: the owner's copy shows a modal box; returns the button pressed (IDOK...). Escape and the
// close box give IDCANCEL, or IDOK for a box without Cancel. Also written to stderr. Called off the
// window thread, the box is shown by the window thread and the caller waits until it is answered.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;  // "Yes" and "No"; Escape and the close box answer IDNO
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_TASKMODAL = 0x2000;
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
// The id of a message box's text, for SetDlgItemTextA.
constexpr int kMessageBoxTextId = 0xFFFF;

// Sound: a WAV file by name, or the module's WAV resource by number (SND_RESOURCE, name =
// the number as produced by MAKEINTRESOURCE), looped and asynchronous; a null name stops it.
// Returns TRUE when the sound was started (or stopped); no sound device is not an error.
constexpr DWORD SND_ASYNC = 0x0001;
constexpr DWORD SND_LOOP = 0x0008;
constexpr DWORD SND_FILENAME = 0x00020000;
constexpr DWORD SND_RESOURCE = 0x00040004;
inline const char* MAKEINTRESOURCE(int id) {
  return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}
BOOL PlaySoundA(const char* name, HINSTANCE module, DWORD flags);
