// The program's basic vocabulary: flags, handles, message parameters and colours.
#pragma once

#include <cstdint>

using BOOL = int;
// Picture libraries may have defined these as macros already.
#ifndef TRUE
constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
constexpr BOOL FALSE = 0;
#endif

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window handle is the identity of a running copy: its process id (never 0 or 1),
// so that it can travel between copies in a 32-bit message value.
using HWND = std::uint32_t;
constexpr HWND HWND_NONE = 0;
// Every running copy's main window, the sender's own included. Above any process id (at most 2^22).
constexpr HWND HWND_BROADCAST = 0x7FFFFFFF;

// 0x00BBGGRR, as the colours are written in the program's constants.
using COLORREF = std::uint32_t;
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFF; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

constexpr std::uint16_t LOWORD(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
constexpr std::uint16_t HIWORD(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(unsigned lo, unsigned hi) {
  return static_cast<LPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
