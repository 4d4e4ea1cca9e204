// The skin table, its piece names, and the main window's display record.
#include <cstring>

#include "skin/skin_types.h"

const char* const NameBMP[kSkinPieces] = {
    "l",          "r",          "t",          "b",          "tl",         "tr",         "br",
    "bl_off",     "br_b1_up",   "br_b2_up",   "bl_on",      "br_b1_over", "br_b2_over", "br_b1_down",
    "br_b2_down", "tr_s",       "tr_m",       "tr_c",       "pozadi",     "bl_over",    "bl_down",
    "br_b3_over", "br_b4_over", "br_b3_down", "br_b4_down", "br_b3_up",   "br_b4_up"};

t_Skin Skin[kSkinPieces];
t_SharedShowData ShowData(Skin);

std::recursive_mutex& SkinMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

void t_SharedShowData::SetTitle(const char* text) {
  std::lock_guard lock(titleMutex_);
  std::memset(title_, 0, sizeof title_);
  if (text != nullptr) std::strncpy(title_, text, sizeof title_ - 1);
}

t_SharedShowData::operator t_ShowData() const {
  t_ShowData s{};
  s.ClientWidth = ClientWidth;
  s.ClientHeight = ClientHeight;
  s.Button = Button;
  s.Kill_TCP = Kill_TCP;
  s.call = call;
  s.lin_call = lin_call;
  {
    std::lock_guard lock(titleMutex_);
    std::memcpy(s.title, title_, sizeof s.title);
  }
  s.Skin = Skin;
  return s;
}
