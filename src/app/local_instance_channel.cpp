#include "app/local_instance_channel.h"

#include <errno.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/linux/system_services.h"

namespace quorix::app {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kBacklog = 16;
// Longer than any line of ours: a peer that sends more without a line end is
// cut off rather than buffered.
constexpr size_t kMaxLine = 64;

std::string_view LineOf(InstanceSignal signal) { return signal == InstanceSignal::kClose ? "close\n" : "wait\n"; }

std::optional<sockaddr_un> AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return std::nullopt;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

const sockaddr* Raw(const sockaddr_un& address) { return reinterpret_cast<const sockaddr*>(&address); }

struct Connection {
  UnixSocket socket;
  int error = 0;  // errno when socket is not valid
};

// A non-blocking AF_UNIX connect does not wait: EAGAIN says the instance's
// queue of connections is full (it is busy), and is tried again until
// timeoutMs have passed.
Connection ConnectTo(const sockaddr_un& address, int timeoutMs) {
  UnixSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket.Valid()) return {{}, errno};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::connect(socket.Fd(), Raw(address), sizeof address) == 0) return {std::move(socket), 0};
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EAGAIN || std::chrono::steady_clock::now() >= deadline) return {{}, error};
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

// An accepted connection and the part of a line it has sent so far.
struct LocalInstanceChannel::Peer {
  UnixSocket socket;
  // Declared after the socket: it stops watching before the descriptor closes.
  std::unique_ptr<QSocketNotifier> notifier;
  std::string pending;
};

QString InstanceSocketName(const QString& marker) {
  QString name = marker + "-" + QString::number(getuid());
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(name);
  return name;  // the temporary folder, see the constructor
}

LocalInstanceChannel::LocalInstanceChannel(QString name, QObject* parent)
    : QObject(parent),
      name_(std::move(name)),
      path_(QFile::encodeName(QDir::isAbsolutePath(name_) ? name_ : QDir(QDir::tempPath()).filePath(name_))
                .toStdString()) {}

LocalInstanceChannel::~LocalInstanceChannel() {
  if (listener_.Valid()) ::unlink(path_.c_str());
}

bool LocalInstanceChannel::Claim() {
  if (listener_.Valid()) return true;
  const std::optional<sockaddr_un> address = AddressOf(path_);
  if (!address) return false;
  // Serialises claims: between finding no instance and listening nobody else
  // may do the same. Without the lock, claiming still works, less surely.
  Result<std::unique_ptr<NamedMutex>> lock = CreateNamedMutex(QDir(name_).dirName().toStdString() + ".claim");
  std::unique_lock<NamedMutex> held;
  if (lock) held = std::unique_lock<NamedMutex>(**lock);
  const Connection probe = ConnectTo(*address, kConnectTimeoutMs);
  // Only where nobody listens is the name taken: no file, or a socket file
  // left by an instance that crashed. An instance too busy to take the
  // probe within the wait still runs.
  if (probe.socket.Valid() || (probe.error != ECONNREFUSED && probe.error != ENOENT)) return false;
  ::unlink(path_.c_str());
  UnixSocket listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener.Valid() || ::bind(listener.Fd(), Raw(*address), sizeof *address) != 0) return false;
  // For the user only, before listen(): until then nobody can connect.
  if (::chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(listener.Fd(), kBacklog) != 0) {
    ::unlink(path_.c_str());
    return false;
  }
  listener_ = std::move(listener);
  listening_ = std::make_unique<QSocketNotifier>(listener_.Fd(), QSocketNotifier::Read);
  connect(listening_.get(), &QSocketNotifier::activated, this, &LocalInstanceChannel::OnConnection);
  return true;
}

bool LocalInstanceChannel::Send(InstanceSignal signal) {
  const std::optional<sockaddr_un> address = AddressOf(path_);
  if (!address) return false;
  Connection connection = ConnectTo(*address, kConnectTimeoutMs);
  // The line waits in the socket for the instance to read it, also after
  // this end is closed.
  return connection.socket.Valid() && connection.socket.WriteAll(LineOf(signal));
}

void LocalInstanceChannel::OnConnection() {
  for (;;) {
    UnixSocket accepted(::accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!accepted.Valid()) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // none left
    }
    auto peer = std::make_unique<Peer>();
    peer->socket = std::move(accepted);
    peer->notifier = std::make_unique<QSocketNotifier>(peer->socket.Fd(), QSocketNotifier::Read);
    connect(peer->notifier.get(), &QSocketNotifier::activated, this, [this, raw = peer.get()] { OnReadable(raw); });
    peers_.push_back(std::move(peer));
  }
}

void LocalInstanceChannel::OnReadable(Peer* peer) {
  // One read per notice: the notifier comes again while more is waiting.
  char chunk[256];
  const ssize_t size = ::read(peer->socket.Fd(), chunk, sizeof chunk);
  if (size < 0 && (errno == EAGAIN || errno == EINTR)) return;
  std::vector<InstanceSignal> received;
  if (size > 0) {
    peer->pending.append(chunk, static_cast<size_t>(size));
    for (size_t end; (end = peer->pending.find('\n')) != std::string::npos; peer->pending.erase(0, end + 1)) {
      const std::string_view line = Trimmed(std::string_view(peer->pending).substr(0, end));
      if (line == "close")
        received.push_back(InstanceSignal::kClose);
      else if (line == "wait")
        received.push_back(InstanceSignal::kWait);
    }
  }
  // At the end of the stream a line without its line end is dropped. The
  // connection goes before the handler runs: it may spin the event loop.
  if (size <= 0 || peer->pending.size() > kMaxLine) {
    std::erase_if(peers_, [peer](const std::unique_ptr<Peer>& p) { return p.get() == peer; });
  }
  for (InstanceSignal signal : received) {
    if (handler_) handler_(signal);
  }
}

}  // namespace quorix::app
