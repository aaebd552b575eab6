#pragma once
// A Unix socket that stands in for a compositor's: it listens at a path and
// serves each connection with the test's handler on a thread of its own, in
// the order they arrive, until destroyed.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace quorix::test {

class FakeSocketServer {
 public:
  // handler(fd) talks to one client; the connection closes when it returns.
  FakeSocketServer(const std::string& path, std::function<void(int fd)> handler) : handler_(std::move(handler)) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ok_ = bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener_, 8) == 0;
    if (ok_) thread_ = std::thread([this] { Serve(); });
  }
  ~FakeSocketServer() {
    stop_ = true;
    shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  bool Ok() const { return ok_; }

  // One read's worth; empty once the peer has closed.
  static std::string ReadSome(int fd) {
    char chunk[4096];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    return n > 0 ? std::string(chunk, static_cast<size_t>(n)) : std::string();
  }
  static void Write(int fd, const std::string& data) {
    [[maybe_unused]] const ssize_t n = write(fd, data.data(), data.size());
  }

 private:
  void Serve() {
    while (!stop_) {
      const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) return;
      handler_(client);
      close(client);
    }
  }

  std::function<void(int)> handler_;
  int listener_ = -1;
  bool ok_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace quorix::test
