// Loading and laying out the skin, and painting the skinned main window.
#pragma once

#include "platform/core/resources.h"
#include "platform/gui/drawing.h"
#include "state/display_record.h"

// The pieces' names: "Skin/<name>.bmp" replaces the built-in piece of the same index.
extern const char* const NameBMP[kSkinPieces];

// Loads the 27 pieces: "Skin/<name>.bmp" from the current folder where it loads, else the built-in piece.
void InitSkin(HINSTANCE hinstance, HWND hwnd, t_Skin* skin);
// Sets every piece's size from its bitmap and its position for a client area of ClientWidth x ClientHeight.
void SkinBitmapPos(t_Skin* skin, int ClientHeight, int ClientWidth);

// Paints the whole window from the snapshot: outline, frame, buttons, lamp, title and, without video,
// the background and the connecting notice. Also shows the window.
void ShowMyWindow(HWND hwnd, t_ShowData SData);
// Repaints the title bar: the top edge right of the top-left corner, the title, the top-right corner.
void ShowTitle(HWND hwnd, t_ShowData SData);
// Draws len_text bytes of text with the top-left corner of its cell at (x = posy, y = posx).
void ShowMyText(HDC hdc, const char* text, int len_text, int posx, int posy, COLORREF color);

constexpr const char* kBackgroundPicture = "Skin/pozadi.jpg";
constexpr const char* kConnectingNotice = "Connecting, please wait...";
