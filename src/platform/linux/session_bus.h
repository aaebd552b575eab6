#pragma once
// The D-Bus session bus, as the Wayland desktops' own channels use it: KWin's
// scripting and input-device objects, the GNOME Shell extension of this
// program. One private GDBus connection; the signals and the method calls it
// receives are dispatched on a thread of its own, which runs a private
// GMainContext and sleeps in poll until the bus has something for it (no
// timer: an idle desktop wakes it never).
//
// Threads: Call, Get and Set are synchronous and may be made from any thread
// but the bus thread. Handlers of Export and Subscribe run on the bus thread;
// they must return quickly and must not call back into this object. The
// object owns the thread; its destructor stops it before the handlers go.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "base/result.h"

namespace quorix {

// The D-Bus types this program sends and reads: b, i, u, d, s and as.
using BusValue = std::variant<bool, int32_t, uint32_t, double, std::string, std::vector<std::string>>;
using BusValues = std::vector<BusValue>;

// An interface of an object of a peer on the bus.
struct BusObject {
  std::string service;
  std::string path;
  std::string interface;
};

class SessionBus {
 public:
  // Connects to $DBUS_SESSION_BUS_ADDRESS; kUnavailable and the reason when
  // that fails.
  static Result<std::unique_ptr<SessionBus>> Open();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  // The connection's unique name (":1.42"): peers call back to it.
  const std::string& UniqueName() const { return uniqueName_; }

  // Calls a method and waits for the reply's values (25 s at most);
  // kUnavailable and the peer's D-Bus error name and message when it failed.
  Result<BusValues> Call(const BusObject& to, const std::string& method, const BusValues& args);
  Result<BusValue> Get(const BusObject& of, const std::string& property);
  Outcome Set(const BusObject& of, const std::string& property, const BusValue& value);

  // Offers the interfaces of introspectionXml (one <node>) at path; each call
  // of one of their methods goes to handler (method name, arguments) and is
  // answered with no values.
  using MethodHandler = std::function<void(const std::string& method, const BusValues& args)>;
  Outcome Export(const std::string& path, const std::string& introspectionXml, MethodHandler handler);

  // Hands every signal `member` of interface from sender at path to handler;
  // an empty service takes the signal from any sender.
  using SignalHandler = std::function<void(const BusValues& args)>;
  void Subscribe(const BusObject& sender, const std::string& member, SignalHandler handler);

 private:
  struct Impl;
  explicit SessionBus(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  std::string uniqueName_;
};

}  // namespace quorix
