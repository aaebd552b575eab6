#pragma once
// sway's IPC (the i3 IPC framing): every message is the magic "i3-ipc", the
// payload's length and the message type as 32-bit numbers in the host's byte
// order, then the JSON payload. Replies carry the request's type; events
// carry a type with the high bit set. The socket is named by $SWAYSOCK.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/focused_process.h"
#include "platform/linux/json_reader.h"
#include "platform/linux/unix_socket.h"

namespace quorix {

namespace sway {
inline constexpr uint32_t kRunCommand = 0;
inline constexpr uint32_t kSubscribe = 2;
inline constexpr uint32_t kGetTree = 4;
inline constexpr uint32_t kGetInputs = 100;
inline constexpr uint32_t kWorkspaceEvent = 0x80000000u;
inline constexpr uint32_t kWindowEvent = 0x80000003u;
// A payload above this is taken for garbage rather than allocated.
inline constexpr uint32_t kMaxPayload = 64u << 20;
}  // namespace sway

struct SwayMessage {
  uint32_t type = 0;
  std::string payload;
};

std::string EncodeSwayMessage(uint32_t type, std::string_view payload);

// Takes the first whole message off the front of buffer. Nothing while the
// message is incomplete; also nothing, with malformed set, when the bytes
// are not i3 IPC (the stream cannot be trusted after that).
std::optional<SwayMessage> TakeSwayMessage(std::string& buffer, bool& malformed);

// The focused window in a get_tree answer or a window event's container:
// sway's container id (0 when the focus is on an empty workspace) and the
// id of the process that owns it (0 when sway does not know it).
using SwayFocus = WindowFocus;
SwayFocus FocusedInTree(const JsonValue& tree);

// One connection for requests and their replies, used by one thread at a time.
class SwayIpc {
 public:
  // kUnavailable and the reason when the socket cannot be reached.
  static Result<std::unique_ptr<SwayIpc>> Connect(const std::string& socketPath);

  // The reply's payload parsed; nothing when sway did not answer in time or
  // the answer is not JSON.
  std::optional<JsonValue> Request(uint32_t type, std::string_view payload = {});
  // On a subscribed connection: one read's worth of whole messages (events)
  // appended to out; false once sway has gone or the stream is not i3 IPC.
  bool ReadMessages(std::vector<SwayMessage>& out);
  // The whole messages already read with the last reply (events that came
  // with it), without reading; false when the stream is not i3 IPC.
  bool TakeBuffered(std::vector<SwayMessage>& out);
  int Fd() const { return socket_.Fd(); }

 private:
  explicit SwayIpc(UnixSocket socket) : socket_(std::move(socket)) {}
  UnixSocket socket_;
  std::string pending_;  // bytes read past the last reply
};

}  // namespace quorix
