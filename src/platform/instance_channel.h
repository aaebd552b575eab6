#pragma once
// One running desktop program per user. The first start becomes the running
// instance; a later start either brings it to the front (kWait) or makes it
// quit (kClose) and then ends itself. Two starts at the same moment end with
// exactly one running instance.

#include <functional>

namespace quorix {

enum class InstanceSignal { kWait, kClose };

class InstanceChannel {
 public:
  virtual ~InstanceChannel() = default;
  // Becomes the running instance: true, and from now on Receive's handler
  // gets every signal a later start sends. False when another instance runs.
  virtual bool Claim() = 0;
  // Sends a signal to the running instance; false when none runs.
  virtual bool Send(InstanceSignal signal) = 0;
  // Called on the owner's thread for each signal received.
  virtual void Receive(std::function<void(InstanceSignal)> handler) = 0;
};

}  // namespace quorix
