// The main window's display record and the skin table it points to, shared by painting, pointer tracking,
// the window procedure and the video.
#pragma once

#include <atomic>

#include "platform/core/annotated_mutex.h"
#include "platform/core/records.h"
#include "platform/core/types.h"

constexpr int kSkinPieces = 27;

// The window's size until the settings are read, and the settings' default size.
constexpr int kDefaultClientWidth = 336;
constexpr int kDefaultClientHeight = 301;

// Piece indices; the button codes of the pointer tracking are the indices of the hovered looks.
enum SkinPiece : int {
  SKIN_L = 0,
  SKIN_R = 1,
  SKIN_T = 2,
  SKIN_B = 3,
  SKIN_TL = 4,
  SKIN_TR = 5,
  SKIN_BR = 6,
  SKIN_BL_OFF = 7,
  SKIN_BR_B1_UP = 8,
  SKIN_BR_B2_UP = 9,
  SKIN_BL_ON = 10,
  SKIN_BR_B1_OVER = 11,
  SKIN_BR_B2_OVER = 12,
  SKIN_BR_B1_DOWN = 13,
  SKIN_BR_B2_DOWN = 14,
  SKIN_TR_S = 15,
  SKIN_TR_M = 16,
  SKIN_TR_C = 17,
  SKIN_POZADI = 18,
  SKIN_BL_OVER = 19,
  SKIN_BL_DOWN = 20,
  SKIN_BR_B3_OVER = 21,
  SKIN_BR_B4_OVER = 22,
  SKIN_BR_B3_DOWN = 23,
  SKIN_BR_B4_DOWN = 24,
  SKIN_BR_B3_UP = 25,
  SKIN_BR_B4_UP = 26,
};

// The button code meaning "no button under the pointer" (the plain top-right corner).
constexpr int kNoButton = SKIN_TR;

// One skin piece. PosX is the row (y of the top edge) and PosY the column (x of the left edge).
struct t_Skin {
  const char* Name;
  HBITMAP ShBitmap;
  BITMAP SBitmap;
  std::int32_t PosX;
  std::int32_t PosY;
  std::int32_t Width;
  std::int32_t Height;
};

constexpr int kTitleSize = 64;

// The display state handed to painters: a snapshot, taken when the painting was asked for.
struct t_ShowData {
  std::int32_t ClientWidth;
  std::int32_t ClientHeight;
  std::int32_t Button;
  BOOL Kill_TCP;
  BOOL call;
  BOOL lin_call;
  char title[kTitleSize];
  t_Skin* Skin;
};

// The live display state of the main window. The video thread, the window thread and painters on
// other threads share it: flags are atomic, the title is copied under a lock, painters take snapshots.
class t_SharedShowData {
 public:
  explicit t_SharedShowData(t_Skin* skin) : Skin(skin) {}

  std::atomic<std::int32_t> ClientWidth{kDefaultClientWidth};
  std::atomic<std::int32_t> ClientHeight{kDefaultClientHeight};
  std::atomic<std::int32_t> Button{kNoButton};
  std::atomic<BOOL> Kill_TCP{TRUE};
  std::atomic<BOOL> call{FALSE};
  std::atomic<BOOL> lin_call{FALSE};
  t_Skin* const Skin;

  // Stores at most 63 bytes of text.
  void SetTitle(const char* text);
  operator t_ShowData() const;

 private:
  mutable Mutex titleMutex_;
  char title_[kTitleSize] GUARDED_BY(titleMutex_) = {};
};

// Guards the positions and sizes in the skin table: the layout rewrites them from whichever thread
// paints, and painters read them. Held by a painting from start to end. The painting's own parts (the
// layout, the title) take no second hold: they are called in their *Locked forms. It stays recursive
// for one re-entry that cannot be designed out: a painting on the window thread resizes and shows the
// window under its hold (the fit to the built-in background, ShowWindow), and the toolkit delivers the
// resulting size and paint messages at once, to the window procedure, which lays out and paints again.
// Letting go of the hold around those calls would let another painter see a half-made layout.
extern RecursiveMutex SkinLock;
inline RecursiveMutex& SkinMutex() RETURN_CAPABILITY(SkinLock) { return SkinLock; }

// Painters reach the table through t_ShowData::Skin too; those reads are theirs to lock.
extern t_Skin Skin[kSkinPieces] GUARDED_BY(SkinLock);
extern t_SharedShowData ShowData;

// The display record as a copy starts: the default size, no button, not connected, no call, no title.
void ResetShowData();
