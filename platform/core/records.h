// The platform's records that the program's shared state holds: bitmap handles and the tray icon's record.
// Only their shape lives here; what works on them is in platform/gui (drawing.h, tray.h).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/core/types.h"

class Bitmap;
using HBITMAP = std::shared_ptr<const Bitmap>;

// A width and height in pixels.
struct SIZE {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

struct BITMAP {
  std::int32_t bmType, bmWidth, bmHeight, bmWidthBytes;
  std::uint16_t bmPlanes, bmBitsPixel;
  void* bmBits;
};

using HICON = const void*;

struct NOTIFYICONDATA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[64];
};

constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;
