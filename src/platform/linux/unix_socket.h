#pragma once
// A stream connection to a desktop's own Unix socket (the sway IPC, Hyprland's
// two sockets). The descriptor is blocking with a receive and send timeout,
// so a compositor that stops answering cannot hang the caller for long.

#include <string>
#include <string_view>

#include "base/result.h"

namespace quorix {

// An owned descriptor; -1 when empty.
class UnixSocket {
 public:
  UnixSocket() = default;
  explicit UnixSocket(int fd) : fd_(fd) {}
  ~UnixSocket();
  UnixSocket(UnixSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UnixSocket& operator=(UnixSocket&& other) noexcept;
  UnixSocket(const UnixSocket&) = delete;
  UnixSocket& operator=(const UnixSocket&) = delete;

  // Connects to path; kUnavailable with "<path>: <reason>" on failure.
  static Result<UnixSocket> Connect(const std::string& path, int timeoutMs = 2000);

  int Fd() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // All of data, or false.
  bool WriteAll(std::string_view data);
  // Exactly size bytes, or false (closed, timed out or failed).
  bool ReadExactly(size_t size, std::string& out);
  // What one read() brings (appended); false at the end of the stream or on an error.
  bool ReadSome(std::string& out);

 private:
  int fd_ = -1;
};

}  // namespace quorix
