// Icons made from the module's built-in pictures.
#include "platform/gui/resource_icon.h"

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <map>
#include <utility>

namespace {

QIcon MakeIcon(HINSTANCE module, int id) {
  QIcon icon;
  for (std::size_t i = 0; module != nullptr && i < module->count; ++i) {
    const ResourceEntry& entry = module->entries[i];
    if (entry.id != id) continue;
    QImage image = QImage::fromData(entry.data, static_cast<int>(entry.size));
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

// Emptied when the application ends: pictures must not outlive the toolkit.
std::map<std::pair<HINSTANCE, int>, QIcon>& Made() {
  static auto* made = new std::map<std::pair<HINSTANCE, int>, QIcon>;
  return *made;
}

}  // namespace

QIcon IconFromResource(HINSTANCE module, int id) {
  // The toolkit keeps the pictures it scales from an icon in its pixmap cache under that icon's own key,
  // and they hold the icon's pictures: a new icon for each door call's dialogs left about 19 KB each
  // behind. A module's pictures never change, so each icon is made once. Window thread only.
  if (Made().empty()) qAddPostRoutine([] { Made().clear(); });
  auto [it, fresh] = Made().try_emplace({module, id});
  if (fresh) it->second = MakeIcon(module, id);
  return it->second;
}
