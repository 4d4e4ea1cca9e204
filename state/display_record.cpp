// The skin table and the main window's display record.
#include "state/display_record.h"

#include <cstring>

t_Skin Skin[kSkinPieces];
t_SharedShowData ShowData(Skin);

// Constant-initialised and trivially destroyed: a painter may still hold it while the process ends.
RecursiveMutex SkinLock;

void ResetShowData() {
  ShowData.ClientWidth = kDefaultClientWidth;
  ShowData.ClientHeight = kDefaultClientHeight;
  ShowData.Button = kNoButton;
  ShowData.Kill_TCP = TRUE;
  ShowData.call = FALSE;
  ShowData.lin_call = FALSE;
  ShowData.SetTitle("");
}

void t_SharedShowData::SetTitle(const char* text) {
  Lock lock(titleMutex_);
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
    Lock lock(titleMutex_);
    std::memcpy(s.title, title_, sizeof s.title);
  }
  s.Skin = Skin;
  return s;
}
