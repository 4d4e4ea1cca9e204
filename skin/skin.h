// Loading and laying out the skin, and painting the skinned main window.
#pragma once

#include <string>

#include "platform/core/resources.h"
#include "platform/gui/drawing.h"
#include "state/display_record.h"

// The pieces' names: "<skin folder>/<name>.bmp" replaces the built-in piece of the same index.
extern const char* const NameBMP[kSkinPieces];

// The user's skin folder: "Skin" in the current folder, else "Skin" beside the settings file (a
// folder that may not exist: then every piece is the built-in one).
std::string SkinFolder();
// Loads the 27 pieces: "<name>.bmp" from the skin folder where it loads, else the built-in piece.
void InitSkin(HINSTANCE hinstance, HWND hwnd, t_Skin* skin);
// Sets every piece's size from its bitmap and its position for a client area of ClientWidth x ClientHeight.
void SkinBitmapPos(t_Skin* skin, int ClientHeight, int ClientWidth) EXCLUDES(SkinLock);
// The same for a caller that holds the skin lock.
void SkinBitmapPosLocked(t_Skin* skin, int ClientHeight, int ClientWidth) REQUIRES(SkinLock);

// Paints the whole window from the snapshot: outline, frame, buttons, lamp, title and, without video,
// the background and the connecting notice. Also shows the window.
void ShowMyWindow(HWND hwnd, t_ShowData SData);
// Repaints the title bar: the top edge right of the top-left corner, the title, the top-right corner.
void ShowTitle(HWND hwnd, t_ShowData SData) EXCLUDES(SkinLock);
// The same for a caller that holds the skin lock.
void ShowTitleLocked(HWND hwnd, t_ShowData SData) REQUIRES(SkinLock);
// Draws len_text bytes of text with the top-left corner of its cell at (x = posy, y = posx).
void ShowMyText(HDC hdc, const char* text, int len_text, int posx, int posy, COLORREF color);

// The background picture's file in the skin folder.
constexpr const char* kBackgroundPicture = "pozadi.jpg";
constexpr const char* kConnectingNotice = "Connecting, please wait...";
