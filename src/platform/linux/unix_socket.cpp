#include "platform/linux/unix_socket.h"

#include <errno.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace quorix {

UnixSocket::~UnixSocket() {
  if (fd_ >= 0) close(fd_);
}

UnixSocket& UnixSocket::operator=(UnixSocket&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

Result<UnixSocket> UnixSocket::Connect(const std::string& path, int timeoutMs) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) {
    return Outcome(Failure::kUnavailable, path + ": not a usable socket path");
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  UnixSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.Valid()) {
    return Outcome(Failure::kUnavailable, path + ": " + std::strerror(errno));
  }
  timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  setsockopt(socket.fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(socket.fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  if (connect(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return Outcome(Failure::kUnavailable, path + ": " + std::strerror(errno));
  }
  return socket;
}

bool UnixSocket::WriteAll(std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool UnixSocket::ReadExactly(size_t size, std::string& out) {
  out.resize(size);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd_, out.data() + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool UnixSocket::ReadSome(std::string& out) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out.append(chunk, static_cast<size_t>(n));
    return true;
  }
}

}  // namespace quorix
