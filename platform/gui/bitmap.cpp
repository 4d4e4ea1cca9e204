// Loading and creating bitmaps.
#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "platform/core/bmp_check.h"
#include "platform/core/diagnostics.h"
#include "platform/gui/bitmap_impl.h"
#include "platform/gui/surface_access.h"

namespace {

bool SaneSize(QSize size) {
  return size.width() > 0 && size.height() > 0 && size.width() <= kMaxBitmapSide &&
         size.height() <= kMaxBitmapSide;
}

HBITMAP FromReader(QImageReader& reader) {
  if (!SaneSize(reader.size())) return nullptr;
  QImage image = reader.read();
  if (image.isNull()) return nullptr;
  return std::make_shared<const Bitmap>(image.convertToFormat(QImage::Format_RGB32));
}

}  // namespace

HBITMAP LoadImageFromFile(const char* path) {
  if (path == nullptr) return nullptr;
  QFile file(QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly) || static_cast<std::size_t>(file.size()) > kMaxBmpFileBytes)
    return nullptr;
  const QByteArray bytes = file.readAll();
  // The image reader would hand back a half-read picture: a cut file must fail to load instead.
  if (!BmpPixelDataComplete(reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size())))
    return nullptr;
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  reader.setDecideFormatFromContent(false);
  return FromReader(reader);
}

HBITMAP LoadBitmapResource(HINSTANCE module, int id) {
  const ResourceEntry* entry = FindResource(module, id);
  if (entry == nullptr) return nullptr;
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(entry->data),
                                             static_cast<qsizetype>(entry->size));
  QImage image = QImage::fromData(bytes);
  if (image.isNull() || !SaneSize(image.size())) {
    Diag(DiagLevel::Error, "built-in bitmap %d cannot be decoded", id);
    return nullptr;
  }
  return std::make_shared<const Bitmap>(image.convertToFormat(QImage::Format_RGB32));
}

int GetObject(const HBITMAP& bitmap, int size, BITMAP* out) {
  if (!bitmap || out == nullptr || size < static_cast<int>(sizeof(BITMAP))) return 0;
  *out = BITMAP{};
  out->bmWidth = bitmap->image.width();
  out->bmHeight = bitmap->image.height();
  out->bmWidthBytes = static_cast<std::int32_t>(bitmap->image.bytesPerLine());
  out->bmPlanes = 1;
  out->bmBitsPixel = 32;
  return sizeof(BITMAP);
}

void DeleteObject(HBITMAP& bitmap) { bitmap.reset(); }

std::shared_ptr<Bitmap> CreateDIBSection(int width, int height, void** bits, int* pitch) {
  if (!SaneSize(QSize(width, height))) return nullptr;
  auto bitmap = std::make_shared<Bitmap>(QImage(width, height, QImage::Format_RGB32));
  if (bitmap->image.isNull()) return nullptr;
  if (bits) *bits = bitmap->image.bits();
  if (pitch) *pitch = static_cast<int>(bitmap->image.bytesPerLine());
  return bitmap;
}

std::uint32_t GetBitmapPixel(const HBITMAP& bitmap, int x, int y) {
  if (!bitmap || x < 0 || y < 0 || x >= bitmap->image.width() || y >= bitmap->image.height()) return 0;
  return bitmap->image.pixel(x, y) & 0xFFFFFF;
}
