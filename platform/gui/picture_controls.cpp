// Picture lists and pictures in dialogs: a list widget with icons, a label that scales its picture.
#include "platform/gui/picture_controls.h"

#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPixmapCache>

#include "platform/gui/dialog.h"

namespace {

// Big enough to recognise a person at the door, small enough for several rows on the screen.
constexpr int kThumbWidth = 80;
constexpr int kThumbHeight = 60;

QString Text(const char* text) { return QString::fromUtf8(text != nullptr ? text : ""); }

// Decoded no larger than it is shown: the JPEG decoder then reads at 1/2, 1/4 or 1/8 scale, which a list
// of a few hundred rows needs to fill at once.
QPixmap Scaled(const QString& path, QSize room) {
  QImageReader reader(path);
  const QSize size = reader.size();
  if (size.isValid() && room.isValid() && !room.isEmpty())
    reader.setScaledSize(size.scaled(room, Qt::KeepAspectRatio));
  return QPixmap::fromImage(reader.read());
}

// A picture that cannot be read gives no icon rather than a broken one: the row's text says so. A stored
// picture never changes under its name, so a list read again takes its thumbnails from the cache.
QIcon Thumbnail(const char* path) {
  if (path == nullptr || path[0] == '\0') return {};
  const QString key = QStringLiteral("thumbnail:") + Text(path);
  QPixmap thumbnail;
  if (!QPixmapCache::find(key, &thumbnail)) {
    thumbnail = Scaled(Text(path), QSize(kThumbWidth, kThumbHeight));
    if (thumbnail.isNull()) return {};
    QPixmapCache::insert(key, thumbnail);
  }
  return QIcon(thumbnail);
}

}  // namespace

QWidget* MakePictureList(QWidget* parent, bool border, std::function<void()> onChosen) {
  auto* list = new QListWidget(parent);
  list->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setIconSize(QSize(kThumbWidth, kThumbHeight));
  list->setUniformItemSizes(true);
  list->setWordWrap(false);
  // Only the user's choice is announced: a row the program selects is not.
  QObject::connect(list, &QListWidget::currentRowChanged, list, [list, onChosen] {
    if (list->property("programChoice").toBool()) return;
    onChosen();
  });
  return list;
}

QWidget* MakePicture(QWidget* parent, bool border) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignCenter);
  if (border) label->setFrameShape(QFrame::StyledPanel);
  return label;
}

LRESULT PictureListMessage(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* list = static_cast<QListWidget*>(widget);
  const int index = static_cast<int>(message == LVM_SETSELECTIONMARK ? lParam : wParam);
  switch (message) {
    case LVM_GETITEMCOUNT: return list->count();
    case LVM_INSERTITEMA: {
      const auto* row = reinterpret_cast<const PictureListRow*>(lParam);
      if (row == nullptr) return -1;
      auto* item = new QListWidgetItem(Thumbnail(row->picture), Text(row->text));
      if (row->standOut) {
        QFont font = list->font();
        font.setBold(true);
        item->setFont(font);
        item->setForeground(QColor(0xB0, 0x10, 0x10));
      }
      list->addItem(item);
      return list->count() - 1;
    }
    case LVM_DELETEITEM:
      if (index < 0 || index >= list->count()) return FALSE;
      list->setProperty("programChoice", true);
      delete list->takeItem(index);
      list->setProperty("programChoice", false);
      return TRUE;
    case LVM_DELETEALLITEMS:
      list->setProperty("programChoice", true);
      list->clear();
      list->setProperty("programChoice", false);
      return TRUE;
    case LVM_GETSELECTIONMARK: {
      const QList<QListWidgetItem*> chosen = list->selectedItems();
      return chosen.isEmpty() ? -1 : list->row(chosen.front());
    }
    case LVM_SETSELECTIONMARK:
      list->setProperty("programChoice", true);
      if (index < 0 || index >= list->count())
        list->clearSelection();
      else
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
      list->setProperty("programChoice", false);
      return index;
    default: return 0;
  }
}

LRESULT PictureMessage(QWidget* widget, UINT message, WPARAM, LPARAM lParam) {
  auto* label = static_cast<QLabel*>(widget);
  if (message != STM_SETIMAGE) return 0;
  const char* path = reinterpret_cast<const char*>(lParam);
  if (path == nullptr || path[0] == '\0') {
    label->clear();
    return TRUE;
  }
  const QPixmap picture = Scaled(Text(path), label->contentsRect().size());
  if (picture.isNull()) {
    label->clear();
    return FALSE;
  }
  label->setPixmap(picture);
  return TRUE;
}
