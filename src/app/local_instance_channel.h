#pragma once
// The single-instance channel over a per-user local socket named after the
// instance marker ("...WAIT_EVENT"); a later start connects and sends one line,
// "wait" or "close". A per-user lock around the claim makes two simultaneous
// starts agree on one instance, and lets a start take over the socket file a
// crashed instance left behind.
//
// Plain AF_UNIX stream sockets: the claimed instance watches its listening
// socket and every accepted connection with socket notifiers on the owner's
// (GUI) thread, and Receive's handler runs there. Send and the claim's probe
// block the caller for at most a second, while the instance's queue of
// connections stays full.

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "platform/instance_channel.h"
#include "platform/linux/unix_socket.h"

class QSocketNotifier;

namespace quorix::app {

// The socket's and the lock's name for this user: the marker's name with the
// user id, in $XDG_RUNTIME_DIR when there is one.
QString InstanceSocketName(const QString& marker);

class LocalInstanceChannel final : public QObject, public InstanceChannel {
  Q_OBJECT
 public:
  // `name`: what InstanceSocketName gives (tests pass a temporary one); a
  // name without a folder lives in the temporary folder.
  explicit LocalInstanceChannel(QString name, QObject* parent = nullptr);
  // Closes every connection and the socket, and removes the socket file
  // when this instance made it.
  ~LocalInstanceChannel() override;

  // False also when the socket's path does not fit a socket address.
  bool Claim() override;
  bool Send(InstanceSignal signal) override;
  void Receive(std::function<void(InstanceSignal)> handler) override { handler_ = std::move(handler); }

 private:
  struct Peer;
  void OnConnection();
  void OnReadable(Peer* peer);

  QString name_;
  std::string path_;
  // Valid once claimed; then path_ is this instance's socket file.
  UnixSocket listener_;
  std::unique_ptr<QSocketNotifier> listening_;
  std::vector<std::unique_ptr<Peer>> peers_;
  std::function<void(InstanceSignal)> handler_;
};

}  // namespace quorix::app
