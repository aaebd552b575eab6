#include "app/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <utility>

namespace quorix::app {

DesktopNotice::DesktopNotice(QString appName, QObject* parent) : QObject(parent), appName_(std::move(appName)) {}

void DesktopNotice::Show(const QString& summary, const QString& body, int timeoutMs) {
  Notice notice{summary, body, timeoutMs};
  if (sending_) {
    queued_ = std::move(notice);
    return;
  }
  Send(notice);
}

void DesktopNotice::Send(const Notice& notice) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    emit failed(notice.summary, notice.body);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  call << appName_ << lastId_ << QString() << notice.summary << notice.body << QStringList() << QVariantMap()
       << notice.timeoutMs;
  sending_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, notice] {
    watcher->deleteLater();
    sending_ = false;
    const QDBusPendingReply<uint32_t> reply = *watcher;
    if (reply.isError()) {
      emit failed(notice.summary, notice.body);
    } else {
      lastId_ = reply.value();
    }
    if (queued_) Send(*std::exchange(queued_, std::nullopt));
  });
}

}  // namespace quorix::app
