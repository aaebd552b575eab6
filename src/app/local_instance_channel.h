#pragma once
// The single-instance channel over a per-user local socket named after the
// instance marker ("...WAIT_EVENT"); a later start connects and sends one line,
// "wait" or "close". A per-user lock around the claim makes two simultaneous
// starts agree on one instance, and lets a start take over the socket file a
// crashed instance left behind.

#include <QObject>
#include <QString>

#include "platform/instance_channel.h"

class QLocalServer;

namespace quorix::app {

// The socket's and the lock's name for this user: the marker's name with the
// user id, in $XDG_RUNTIME_DIR when there is one.
QString InstanceSocketName(const QString& marker);

class LocalInstanceChannel final : public QObject, public InstanceChannel {
  Q_OBJECT
 public:
  // `name`: what InstanceSocketName gives (tests pass a temporary one).
  explicit LocalInstanceChannel(QString name, QObject* parent = nullptr);
  ~LocalInstanceChannel() override;

  bool Claim() override;
  bool Send(InstanceSignal signal) override;
  void Receive(std::function<void(InstanceSignal)> handler) override { handler_ = std::move(handler); }

 private:
  bool Deliver(InstanceSignal signal, int timeoutMs);
  void OnConnection();

  QString name_;
  QLocalServer* server_ = nullptr;
  std::function<void(InstanceSignal)> handler_;
};

}  // namespace quorix::app
