// Desktop notifications over D-Bus: asynchronous Notify/CloseNotification calls, the service's signals
// mapped back to the local ids and callbacks of this process.
#include "platform/gui/desktop_notification.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <map>

#include "platform/core/diagnostics.h"
#include "platform/core/window_thread.h"

namespace {

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
// A connection of our own rather than QDBusConnection::sessionBus(): that one is made once per process
// from the address libdbus cached at its first use and may autolaunch a bus; ours is made from
// DBUS_SESSION_BUS_ADDRESS as it stands, and again once a lost connection is noticed.
const char kConnectionName[] = "kestrova-notifications";
// Large enough to recognise a face, small enough that a picture costs the bus about 256 KB.
constexpr int kMaxPicture = 256;

// Urgency hint values of the notification protocol.
constexpr unsigned char kUrgencyNormal = 1;
constexpr unsigned char kUrgencyCritical = 2;

// The protocol's image-data hint: (iiibiiay) width, height, row stride, alpha, bits per sample,
// channels, pixels. Returns an invalid QVariant when the bytes are no picture.
QVariant ImageDataHint(const std::string& jpeg) {
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(jpeg.data()), static_cast<int>(jpeg.size()),
                          "JPEG")) {
    return {};
  }
  if (image.width() > kMaxPicture || image.height() > kMaxPicture) {
    image = image.scaled(kMaxPicture, kMaxPicture, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  // RGBA without padding: services differ in how they honour a row stride wider than the pixels.
  image = image.convertToFormat(QImage::Format_RGBA8888);
  const int stride = image.width() * 4;
  QByteArray pixels;
  pixels.reserve(stride * image.height());
  for (int y = 0; y < image.height(); ++y) {
    pixels.append(reinterpret_cast<const char*>(image.constScanLine(y)), stride);
  }
  QDBusArgument argument;
  argument.beginStructure();
  argument << image.width() << image.height() << stride << true << 8 << 4 << pixels;
  argument.endStructure();
  return QVariant::fromValue(argument);
}

// Window thread only, like everything below: the client object lives on the GUI thread, so the bus's
// replies and signals are delivered there.
class NotificationClient : public QObject {
  Q_OBJECT

 public:
  explicit NotificationClient(QObject* parent) : QObject(parent) {}

  int Show(const DesktopNotification& notification, std::function<void(const std::string&)> onAction) {
    const int id = NextId();
    QDBusConnection bus = Connection();
    if (!bus.isConnected()) return id;

    QStringList actions;
    for (std::size_t i = 0; i < notification.actions.size(); ++i) {
      const QString key = QString::fromStdString(notification.actions[i].first);
      const QString label = QString::fromStdString(notification.actions[i].second);
      // The service sends "default" when the notification itself is clicked: it does the first action.
      if (i == 0) actions << QStringLiteral("default") << label;
      actions << key << label;
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue<uchar>(notification.urgent ? kUrgencyCritical : kUrgencyNormal));
    if (!notification.jpeg.empty()) {
      const QVariant image = ImageDataHint(notification.jpeg);
      if (image.isValid()) hints.insert(QStringLiteral("image-data"), image);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Kestrova") << 0u << QString() << QString::fromStdString(notification.summary)
         << QString::fromStdString(notification.body) << actions << hints
         << (notification.urgent ? 0 : -1);  // 0: until closed; -1: the service's own time-out

    Entry& entry = entries_[id];
    entry.onAction = std::move(onAction);
    if (!notification.actions.empty()) entry.firstAction = notification.actions.front().first;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id](QDBusPendingCallWatcher* finished) { Arrived(id, finished); });
    return id;
  }

  void Close(int id) {
    auto it = entries_.find(id);
    if (it == entries_.end()) return;
    if (it->second.serviceId == 0) {
      it->second.closeOnArrival = true;
      it->second.onAction = nullptr;
      return;
    }
    SendClose(it->second.serviceId);
    byService_.erase(it->second.serviceId);
    entries_.erase(it);
  }

 private Q_SLOTS:
  void OnActionInvoked(uint serviceId, const QString& key) {
    AssertWindowThread();
    auto found = byService_.find(serviceId);
    if (found == byService_.end()) return;  // another program's notification
    const Entry& entry = entries_.at(found->second);
    const std::string picked = key == QLatin1String("default") ? entry.firstAction : key.toStdString();
    if (picked.empty() || !entry.onAction) return;
    // The callback may close this or show another notification: it runs on a copy.
    const auto onAction = entry.onAction;
    onAction(picked);
  }

  void OnClosed(uint serviceId, uint /*reason*/) {
    AssertWindowThread();
    auto found = byService_.find(serviceId);
    if (found == byService_.end()) return;
    entries_.erase(found->second);
    byService_.erase(found);
  }

 private:
  struct Entry {
    std::function<void(const std::string&)> onAction;
    std::string firstAction;
    uint serviceId = 0;  // 0 until the service answered
    bool closeOnArrival = false;
  };

  int NextId() {
    if (nextId_ <= 0) nextId_ = 1;  // past INT_MAX ids start again, never at 0
    return nextId_++;
  }

  void Warn(const QString& why) {
    if (warned_) return;
    warned_ = true;
    Diag(DiagLevel::Warning, "desktop notifications are off: %s", why.toUtf8().constData());
  }

  QDBusConnection Connection() {
    QDBusConnection bus(QString::fromLatin1(kConnectionName));
    if (bus.isConnected()) return bus;
    // The old connection's service ids mean nothing on a new one.
    entries_.clear();
    byService_.clear();
    QDBusConnection::disconnectFromBus(QString::fromLatin1(kConnectionName));
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
      Warn(QStringLiteral("no session bus (DBUS_SESSION_BUS_ADDRESS is not set)"));
      return bus;
    }
    bus = QDBusConnection::connectToBus(address, QString::fromLatin1(kConnectionName));
    if (!bus.isConnected()) {
      Warn(QStringLiteral("no session bus at %1 (%2)").arg(address, bus.lastError().message()));
      return bus;
    }
    // Any sender: naming the service would make Qt look up its owner with a call that waits.
    bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(OnActionInvoked(uint, QString)));
    bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(OnClosed(uint, uint)));
    return bus;
  }

  void SendClose(uint serviceId) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << serviceId;
    QDBusConnection(QString::fromLatin1(kConnectionName)).send(call);  // the reply is not waited for
  }

  void Arrived(int id, QDBusPendingCallWatcher* finished) {
    AssertWindowThread();
    finished->deleteLater();
    const QDBusPendingReply<uint> reply = *finished;
    auto it = entries_.find(id);
    if (it == entries_.end()) return;  // the connection was made anew meanwhile
    if (reply.isError() || reply.value() == 0) {
      Warn(QStringLiteral("the notification service did not answer (%1)").arg(reply.error().message()));
      entries_.erase(it);
      return;
    }
    const uint serviceId = reply.value();
    if (it->second.closeOnArrival) {
      SendClose(serviceId);
      entries_.erase(it);
      return;
    }
    it->second.serviceId = serviceId;
    byService_[serviceId] = id;
  }

  int nextId_ = 1;
  bool warned_ = false;
  std::map<int, Entry> entries_;   // by local id
  std::map<uint, int> byService_;  // the service's id to the local id
};

NotificationClient* g_client = nullptr;

NotificationClient& Client() {
  if (g_client == nullptr) {
    // A child of the application, so that it goes before the bus does at the end of the run.
    g_client = new NotificationClient(QCoreApplication::instance());
    QObject::connect(g_client, &QObject::destroyed, [] { g_client = nullptr; });
  }
  return *g_client;
}

}  // namespace

int ShowDesktopNotification(const DesktopNotification& notification,
                            std::function<void(const std::string&)> onAction) {
  AssertWindowThread();
  return Client().Show(notification, std::move(onAction));
}

void CloseDesktopNotification(int id) {
  AssertWindowThread();
  Client().Close(id);
}

#include "desktop_notification.moc"
