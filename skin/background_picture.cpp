// Decoding and rescaling the background picture with FreeImage, with a one-entry cache.
#include "skin/background_picture.h"

#include <FreeImage.h>

#include <string>

#include "platform/core/annotated_mutex.h"
#include "platform/core/folders.h"
#include "skin/freeimage_init.h"

namespace {

struct CacheKey {
  std::string path;
  FileVersion version{0, -1};
  int width = 0, height = 0;
  bool operator==(const CacheKey&) const = default;
};

Mutex g_cacheMutex;
CacheKey g_cacheKey GUARDED_BY(g_cacheMutex);
HBITMAP g_cached GUARDED_BY(g_cacheMutex);

HBITMAP Decode(const char* path, int width, int height) {
  FIBITMAP* loaded = FreeImage_Load(FIF_JPEG, path, 0);
  if (loaded == nullptr) return nullptr;
  FIBITMAP* scaled = FreeImage_Rescale(loaded, width, height, FILTER_BILINEAR);
  FreeImage_Unload(loaded);
  if (scaled == nullptr) return nullptr;
  void* bits = nullptr;
  int pitch = 0;
  std::shared_ptr<Bitmap> bitmap = CreateDIBSection(width, height, &bits, &pitch);
  if (bitmap)
    FreeImage_ConvertToRawBits(static_cast<BYTE*>(bits), scaled, pitch, 32, FI_RGBA_RED_MASK,
                               FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
  FreeImage_Unload(scaled);
  return bitmap;
}

}  // namespace

HBITMAP LoadBackgroundPicture(const char* path, int width, int height) {
  if (path == nullptr || width <= 0 || height <= 0) return nullptr;
  EnsureFreeImage();
  FileVersion version;
  if (!GetFileVersion(path, &version)) return nullptr;
  CacheKey key{path, version, width, height};
  Lock lock(g_cacheMutex);
  if (key == g_cacheKey) return g_cached;
  g_cached = Decode(path, width, height);
  g_cacheKey = key;
  return g_cached;
}
