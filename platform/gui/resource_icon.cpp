// Icons made from the module's built-in pictures.
#include "platform/gui/resource_icon.h"

#include <QImage>
#include <QPixmap>

QIcon IconFromResource(HINSTANCE module, int id) {
  QIcon icon;
  for (std::size_t i = 0; module != nullptr && i < module->count; ++i) {
    const ResourceEntry& entry = module->entries[i];
    if (entry.id != id) continue;
    QImage image = QImage::fromData(entry.data, static_cast<int>(entry.size));
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}
