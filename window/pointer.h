// Pointer tracking of the skinned window: drag and resize areas, the button under the pointer, pressed looks.
#pragma once

#include <cstdint>

#include "platform/core/messages.h"
#include "state/display_record.h"

// A pointer position as the messages carry it: two signed 16-bit halves, x low, y high.
struct POINTS {
  std::int16_t x, y;
};
constexpr POINTS MAKEPOINTS(LPARAM lParam) {
  return POINTS{static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
}

// The hit test of the main window: the top bar drags it, the bottom-right corner resizes it.
// lParam is the pointer's screen position.
LRESULT MyNCHitTest(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Whether cur (client coordinates) lies in the piece's hot rectangle: inside it, without its first
// column and row and its last 5 columns and rows.
BOOL OverBMP(t_Skin s, POINTS cur);
// The button code under the pointer (lParam in client coordinates); redraws the looks when it changed.
int MyMouseMove(WPARAM wParam, LPARAM lParam);
// Draws the pressed look of the button But, where it has one.
void MyLButtonDown(int But);
// Draws skin piece `piece` at the place of piece `place` on the main window, at once.
void DrawSkinPieceAt(int piece, int place);
