#include "app/local_instance_channel.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>
#include <mutex>

#include "platform/linux/system_services.h"

namespace quorix::app {
namespace {

constexpr int kConnectTimeoutMs = 1000;

QByteArray LineOf(InstanceSignal signal) { return signal == InstanceSignal::kClose ? "close\n" : "wait\n"; }

}  // namespace

QString InstanceSocketName(const QString& marker) {
  QString name = marker + "-" + QString::number(getuid());
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(name);
  return name;  // QLocalServer puts it in the temporary folder
}

LocalInstanceChannel::LocalInstanceChannel(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

LocalInstanceChannel::~LocalInstanceChannel() {
  if (server_ != nullptr) server_->close();
}

bool LocalInstanceChannel::Deliver(InstanceSignal signal, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(LineOf(signal));
  // The line waits in the socket for the instance to read it, also after
  // this end is closed.
  socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return true;
}

bool LocalInstanceChannel::Claim() {
  if (server_ != nullptr) return true;
  // Serialises claims: between finding no instance and listening nobody else
  // may do the same. Without the lock, claiming still works, less surely.
  Result<std::unique_ptr<NamedMutex>> lock = CreateNamedMutex(QDir(name_).dirName().toStdString() + ".claim");
  std::unique_lock<NamedMutex> held;
  if (lock) held = std::unique_lock<NamedMutex>(**lock);
  {
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
      probe.disconnectFromServer();
      return false;
    }
  }
  // Nobody answers on the name: a socket file left by an instance that
  // crashed is taken over.
  QLocalServer::removeServer(name_);
  auto* server = new QLocalServer(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(name_)) {
    delete server;
    return false;
  }
  server_ = server;
  connect(server_, &QLocalServer::newConnection, this, &LocalInstanceChannel::OnConnection);
  return true;
}

bool LocalInstanceChannel::Send(InstanceSignal signal) { return Deliver(signal, kConnectTimeoutMs); }

void LocalInstanceChannel::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto readLines = [this, socket] {
      while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (!handler_) continue;
        if (line == "close") handler_(InstanceSignal::kClose);
        else if (line == "wait") handler_(InstanceSignal::kWait);
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, readLines);
    connect(socket, &QLocalSocket::disconnected, this, [socket, readLines] {
      readLines();
      socket->deleteLater();
    });
    readLines();
  }
}

}  // namespace quorix::app
