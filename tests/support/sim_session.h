#pragma once
// A Session over the simulated mouse in virtual time, with in-process locks:
// the world the session-model and window tests build on.

#include <memory>
#include <string>

#include "platform/named_mutex.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/fake_clock.h"

namespace quorix::test {

struct SimSession {
  // setIni: the session's set.ini ("" when the test names none).
  explicit SimSession(sim::SimOptions options = {}, std::string setIni = {}) {
    SessionParts parts;
    parts.setIni = std::move(setIni);
    auto ownedClock = std::make_unique<FakeClock>();
    clock = ownedClock.get();
    parts.clock = std::move(ownedClock);
    auto simHost = std::make_unique<sim::SimHidHost>(*parts.clock, options);
    host = simHost.get();
    parts.host = std::move(simHost);
    parts.exchangeMutex = std::make_unique<LocalMutex>();
    parts.deviceListMutex = std::make_unique<LocalMutex>();
    session = std::make_unique<Session>(std::move(parts));
  }

  FakeClock* clock = nullptr;     // owned by the session
  sim::SimHidHost* host = nullptr;  // owned by the session
  std::unique_ptr<Session> session;
};

}  // namespace quorix::test
