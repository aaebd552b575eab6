// A stand-in for the desktop's notification server on a private session bus:
// answers Notify as desktop notification servers do (a non-zero
// replaces_id keeps that id, else a new one) and writes one line per call,
//   Notify replaces_id=R id=I body=TEXT
// to standard output, then "ready" once it owns the name. The Wayland suite
// reads the lines to see whether notices replace each other.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

class Notifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary, const QString& body,
              const QStringList& actions, const QVariantMap& hints, int timeout) {
    (void)appName, (void)icon, (void)summary, (void)actions, (void)hints, (void)timeout;
    const uint id = replacesId != 0 ? replacesId : ++lastId_;
    std::printf("Notify replaces_id=%u id=%u body=%s\n", replacesId, id, qPrintable(body));
    std::fflush(stdout);
    return id;
  }
  QStringList GetCapabilities() { return {QStringLiteral("body")}; }

 private:
  uint lastId_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Notifications server;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server, QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "fake_notification_server: cannot own org.freedesktop.Notifications\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}

#include "fake_notification_server.moc"
