// Loading the skin pieces: the user's skin folder first, the built-in pieces otherwise.
#include <cstdio>
#include <cstring>

#include "platform/core/diagnostics.h"
#include "skin/skin.h"

namespace {

constexpr int kFirstBuiltinId = 140;

// The built-in sizes: a stand-in of this size keeps the layout sane if a built-in piece cannot load.
constexpr int kBuiltinSize[kSkinPieces][2] = {
    {8, 100},   {8, 100}, {128, 26}, {24, 35}, {80, 26}, {70, 26}, {16, 35}, {31, 35}, {73, 35},
    {73, 35},   {31, 35}, {73, 35},  {73, 35}, {73, 35}, {73, 35}, {70, 26}, {70, 26}, {70, 26},
    {320, 240}, {31, 35}, {31, 35},  {73, 35}, {73, 35}, {73, 35}, {73, 35}, {73, 35}, {73, 35}};

HBITMAP StandIn(int index) {
  void* bits = nullptr;
  int pitch = 0;
  auto bitmap = CreateDIBSection(kBuiltinSize[index][0], kBuiltinSize[index][1], &bits, &pitch);
  if (bitmap) std::memset(bits, 0x20, static_cast<std::size_t>(pitch) * kBuiltinSize[index][1]);
  return bitmap;
}

}  // namespace

void InitSkin(HINSTANCE hinstance, HWND, t_Skin* skin) {
  const std::string folder = SkinFolder();
  for (int i = 0; i < kSkinPieces; ++i) {
    skin[i].Name = NameBMP[i];
    char fileName[1024] = {};
    std::snprintf(fileName, sizeof fileName, "%s/%s.bmp", folder.c_str(), NameBMP[i]);
    HBITMAP bitmap = LoadImageFromFile(fileName);
    if (!bitmap) bitmap = LoadBitmapResource(hinstance, kFirstBuiltinId + i);
    if (!bitmap) {
      Diag(DiagLevel::Error, "skin piece %s cannot be loaded; a plain stand-in takes its place", NameBMP[i]);
      bitmap = StandIn(i);
    }
    RecursiveLock lock(SkinMutex());
    skin[i].ShBitmap = bitmap;
  }
}
