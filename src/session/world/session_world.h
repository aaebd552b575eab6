#pragma once
// The parts both front ends build a Session from: the real HID host with the
// two cross-process locks of the mouse, or the simulated mouse with its
// in-process locks and, when asked, its state file (locked for the whole
// run, loaded at the start, saved at the end).
//
// Every failure is a WorldError with the line the front end shows.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/named_mutex.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_options.h"

namespace quorix {

struct WorldError {
  std::string message;
};

struct WorldOptions {
  // "" for the real mouse; else "level11", "level5" or "level0".
  std::string simulate;
  std::string simState;                 // the simulated mouse's state file, "" for none
  std::vector<std::string> simOptions;  // NAME[=VALUE] switches of the simulated mouse
  std::optional<uint16_t> vendorId;     // a rebranded mouse
  // Without a latency the simulated mouse runs in virtual time, which is
  // what a command wants; a program with timers of its own needs real time.
  bool simulateInRealTime = false;
  // Folders searched for applications' display names.
  std::vector<std::string> applicationFolders;
  std::string setIni;                 // the data folder's set.ini, "" for none
  std::optional<TextTables> texts;    // the user's texts, the built-in ones when not given
  // Another run holding the state file is waited for as long as the mouse's
  // exchange lock (kLockWaitLimitMs), on this clock (the steady clock when
  // null); `stateWaitNotice` is called once when the wait begins.
  Clock* stateLockClock = nullptr;
  std::function<void()> stateWaitNotice;
};

// Decimal or 0x-hex; "missing WHAT", "invalid WHAT: TEXT" or "WHAT out of
// range (MIN..MAX): TEXT" otherwise.
long ParseNumberText(const std::string& text, long min, long max, const std::string& what);

// The simulated mouse's switches (see the command-line tool's help).
sim::SimOptions ParseSimOptions(const std::string& simulate, std::optional<uint16_t> vendorId,
                                const std::vector<std::string>& items);

class SessionWorld {
 public:
  explicit SessionWorld(const WorldOptions& options);
  ~SessionWorld();
  SessionWorld(const SessionWorld&) = delete;
  SessionWorld& operator=(const SessionWorld&) = delete;

  Session& GetSession() { return *session_; }
  // The simulated host, nullptr for the real mouse.
  sim::SimHidHost* SimHost() { return simHost_; }

  // Keeps the simulated mouse's memory for the next run (the first mouse's:
  // a second mouse starts from its factory state every time).
  void SaveSimState();

 private:
  std::unique_ptr<NamedMutex> stateMutex_;
  std::unique_lock<NamedMutex> stateLock_;
  std::unique_ptr<Session> session_;
  sim::SimHidHost* simHost_ = nullptr;  // owned by the session
  std::string simState_;
};

}  // namespace quorix
