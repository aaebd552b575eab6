#include "platform/linux/sway_ipc.h"

#include <cstring>

namespace quorix {

namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr size_t kHeaderSize = kMagic.size() + 8;

// A window that a focus can rest on: a tiled or a floating container (a
// workspace, output or the root is no window).
bool IsWindow(const JsonValue& node) {
  const std::optional<std::string> type = node.StringAt("type");
  return type && (*type == "con" || *type == "floating_con");
}

const JsonValue* FindFocused(const JsonValue& node, int depth) {
  if (depth > kJsonMaxDepth) return nullptr;
  if (node.TrueAt("focused")) return &node;
  for (const char* list : {"nodes", "floating_nodes"}) {
    const JsonValue* children = node.Find(list);
    if (children == nullptr) continue;
    for (const JsonValue& child : children->items) {
      if (const JsonValue* found = FindFocused(child, depth + 1)) return found;
    }
  }
  return nullptr;
}

}  // namespace

std::string EncodeSwayMessage(uint32_t type, std::string_view payload) {
  std::string message(kMagic);
  const uint32_t length = static_cast<uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), 4);
  message.append(reinterpret_cast<const char*>(&type), 4);
  message.append(payload);
  return message;
}

std::optional<SwayMessage> TakeSwayMessage(std::string& buffer, bool& malformed) {
  malformed = false;
  const size_t compared = std::min(buffer.size(), kMagic.size());
  if (buffer.compare(0, compared, kMagic.substr(0, compared)) != 0) {
    malformed = true;
    return std::nullopt;
  }
  if (buffer.size() < kHeaderSize) return std::nullopt;
  uint32_t length = 0;
  SwayMessage message;
  std::memcpy(&length, buffer.data() + kMagic.size(), 4);
  std::memcpy(&message.type, buffer.data() + kMagic.size() + 4, 4);
  if (length > sway::kMaxPayload) {
    malformed = true;
    return std::nullopt;
  }
  if (buffer.size() < kHeaderSize + length) return std::nullopt;
  message.payload = buffer.substr(kHeaderSize, length);
  buffer.erase(0, kHeaderSize + length);
  return message;
}

SwayFocus FocusedInTree(const JsonValue& tree) {
  const JsonValue* focused = FindFocused(tree, 0);
  if (focused == nullptr || !IsWindow(*focused)) return {};
  SwayFocus focus;
  focus.window = static_cast<uint64_t>(focused->IntegerAt("id").value_or(0));
  const long long pid = focused->IntegerAt("pid").value_or(0);
  focus.pid = pid > 0 && pid < (1LL << 31) ? static_cast<int>(pid) : 0;
  return focus;
}

Result<std::unique_ptr<SwayIpc>> SwayIpc::Connect(const std::string& socketPath) {
  Result<UnixSocket> socket = UnixSocket::Connect(socketPath);
  if (!socket) return socket.outcome();
  return std::unique_ptr<SwayIpc>(new SwayIpc(std::move(socket).value()));
}

std::optional<JsonValue> SwayIpc::Request(uint32_t type, std::string_view payload) {
  if (!socket_.WriteAll(EncodeSwayMessage(type, payload))) return std::nullopt;
  for (;;) {
    bool malformed = false;
    std::optional<SwayMessage> message = TakeSwayMessage(pending_, malformed);
    if (malformed) {
      pending_.clear();
      return std::nullopt;
    }
    if (!message) {
      if (!socket_.ReadSome(pending_)) return std::nullopt;
      continue;
    }
    // Events reach only subscribed connections; a request connection sees
    // its replies in order.
    if (message->type != type) continue;
    return ParseJson(message->payload);
  }
}

}  // namespace quorix

namespace quorix {

bool SwayIpc::ReadMessages(std::vector<SwayMessage>& out) { return socket_.ReadSome(pending_) && TakeBuffered(out); }

bool SwayIpc::TakeBuffered(std::vector<SwayMessage>& out) {
  bool malformed = false;
  while (std::optional<SwayMessage> message = TakeSwayMessage(pending_, malformed)) out.push_back(std::move(*message));
  return !malformed;
}

}  // namespace quorix
