// Bitmaps and drawing on the window's surface: device contexts, copies of bitmaps, text.
// Any thread may draw; the GUI thread shows what was drawn.
#pragma once

#include <memory>

#include "platform/core/records.h"
#include "platform/core/resources.h"
#include "platform/core/types.h"

// A BMP file at its natural size, or nullptr when it is missing, unreadable or absurdly large.
HBITMAP LoadImageFromFile(const char* path);
// A built-in bitmap (any image format the resource holds), or nullptr.
HBITMAP LoadBitmapResource(HINSTANCE module, int id);
// Fills width, height and bit depth; returns sizeof(BITMAP), or 0 for a null bitmap.
int GetObject(const HBITMAP& bitmap, int size, BITMAP* out);
void DeleteObject(HBITMAP& bitmap);

// A new 32-bit top-down bitmap (pixels 0x00RRGGBB) whose rows the caller fills through bits/pitch
// before sharing it. nullptr when the size is not sane.
std::shared_ptr<Bitmap> CreateDIBSection(int width, int height, void** bits, int* pitch);

struct DeviceContext;
using HDC = DeviceContext*;

// A drawing handle on the window's surface. The same thread may hold several; other threads wait.
// Releasing the last one shows what was drawn.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// Copies a w x h block of the bitmap from (sx, sy) to (x, y); clipped to the surface.
BOOL BitBlt(HDC hdc, int x, int y, int w, int h, const HBITMAP& source, int sx, int sy);
// The whole bitmap at (x, y), at its own size.
BOOL DrawState(HDC hdc, const HBITMAP& bitmap, int x, int y);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
int SetBkMode(HDC hdc, int mode);
// len bytes of text with the cell's top-left corner at (x, y), in the window's default font.
// Bytes that form valid UTF-8 are read as UTF-8, anything else as Latin-1.
BOOL TextOut(HDC hdc, int x, int y, const char* text, int len);
// The width and height of len bytes of text (read as TextOut reads them) in the window's default font.
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int len, SIZE* size);
// Darkens a w x h block of the surface at (x, y) to keepPercent of its brightness: a picture that is
// no longer live, a band under text over a picture.
BOOL DimRect(HDC hdc, int x, int y, int w, int h, int keepPercent);
