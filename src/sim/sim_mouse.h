#pragma once
// The simulated mouse's firmware: it answers feature reports in the layout of
// its protocol family (protocol_family.h, the program's own), keeps a settings
// memory that wraps at its size, and builds the vendor input reports the
// program listens for.
//
// Request handling: a feature report set by the host is checked (report ID and
// checksum; a bad one is logged and ignored), carried out at once, and its
// answer is what the following reads return. The first busyReadsAfterSet reads
// after an accepted request still show the busy flag (bit 7 of byte 1).
//
// All members are thread-safe except Memory(), which hands out the raw bytes
// for tests that set up or inspect the memory while nobody talks to the mouse.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "device/protocol_family.h"
#include "sim/sim_options.h"

namespace quorix::sim {

inline constexpr int kPointingInterface = 0;  // mi_00: 9-byte feature reports
inline constexpr int kConfigInterface = 1;    // mi_01: 64-byte feature reports
inline constexpr int kInputReportLength = 16;
inline constexpr uint8_t kInputReportId = 1;
inline constexpr int kButtonCount = 32;
inline constexpr size_t kMaxLoggedRequests = 200000;
inline constexpr int kStoredProfiles = 5;

// One feature report as the mouse received it.
struct SimRequest {
  int interfaceNumber = kConfigInterface;
  std::vector<uint8_t> bytes;  // report ID first
  bool accepted = true;        // false: bad report ID or checksum, ignored
};

// The fields of a state report (input report kind 0x0C).
struct StateReportFields {
  int level = 0;       // active sensitivity level, bits 0..2
  int x = 0, y = 0;    // sensitivity pair of the active level
  int profile = 0;     // bits 0..2
  uint8_t flags = 0;   // byte 6
  int marker = -1;     // byte S-2; -1: the marker the host gave this mouse
  bool validChecksum = true;
};

class SimMouse {
 public:
  explicit SimMouse(const SimOptions& options);
  SimMouse(const SimMouse&) = delete;
  SimMouse& operator=(const SimMouse&) = delete;

  const SimOptions& Options() const { return options_; }

  // ---- the wire (called by the simulated HID host) -----------------------
  // Raw payload of string descriptor 199, zero-filled to length.
  void IdentificationString(uint8_t* buffer, size_t length) const;
  // A feature report set on an interface (report ID first).
  void SetFeature(int interfaceNumber, const uint8_t* report, size_t length);
  // Fills report[1..length) with the current answer; report[0] keeps the
  // caller's report ID. False when the mouse does not answer (silent).
  bool GetFeature(int interfaceNumber, uint8_t* report, size_t length);
  // Power cycle: transient state (host marker, busy, lift adjustment, live
  // values, staged level-0 data) starts afresh; the memory stays, and the
  // active profile and level come from the selection it stores (byte 1, 14 at
  // level 0, and byte 2).
  void PowerOn();

  // ---- input reports -----------------------------------------------------
  // Receives every input report the mouse emits (installed by the host).
  void SetInputSink(std::function<void(std::vector<uint8_t>)> sink);
  StateReportFields CurrentState(uint8_t flags = 0) const;
  static std::vector<uint8_t> BuildStateReport(const StateReportFields& fields, int hostMarker);
  void EmitStateReport(uint8_t flags = 0);
  void EmitStateReport(const StateReportFields& fields);
  void EmitOpenRequest(uint8_t value = 1);
  void EmitHorizontalWheel(int8_t step, bool buttonDown = false);
  // A button press: the level and profile buttons change the live selection
  // as the firmware does (cycling through the enabled levels, every level it
  // counts when none is enabled, and the five profiles) and send a state report; the
  // tilt sends one wheel step, the launch button an open request with 1.
  void Press(SimPress press);

  // ---- state for tests ---------------------------------------------------
  std::vector<uint8_t>& Memory() { return memory_; }
  uint8_t MemoryAt(int address) const;
  int ActiveProfile() const;
  int DpiSelection() const;  // level enable mask << 3 | active level
  std::array<int, 2> LiveDpiPair() const;
  int HostMarker() const;
  int LiveLift() const;
  bool LiftAdjusting() const;
  int LightingMode() const;
  std::array<uint8_t, 5> LightingPreview(int zone) const;  // zone, flags, r, g, b as last sent
  std::array<uint8_t, 4> DefaultButtonRecord(int button) const;

  void SetActiveProfile(int profile);
  void SetDpiSelection(int value);
  void SetStatusWord(int value);
  // Switches the answer faults (always busy, silent, garbage answers) on or
  // off while the mouse runs: a mouse that was identified and then went wrong.
  void SetAnswerFaults(bool alwaysBusy, bool silent, bool oddAnswers);  // the status word (0 makes the program probe the memory end)

  // ---- counters and log --------------------------------------------------
  int GetCount(int interfaceNumber = kConfigInterface) const;  // feature reads ("ready reads" included)
  int SetCount(int interfaceNumber = kConfigInterface) const;  // feature reports set
  int CommitCount() const;
  int LightingResetCount() const;
  int UnknownCount() const;   // accepted requests the firmware did not understand
  int RejectedCount() const;  // requests with a bad report ID or checksum
  // The requests received, oldest first (at most kMaxLoggedRequests).
  std::vector<SimRequest> Requests() const;
  void ResetCounters();  // counters and the request log

  // ---- persistence (see sim_state_file.h) --------------------------------
  struct Persistent {
    int protocolLevel = 0;
    int activeProfile = 0;
    int dpiSelection = 0;
    std::vector<uint8_t> memory;
  };
  Persistent Save() const;
  // Throws SimStateError when the state belongs to another kind of mouse.
  void Restore(const Persistent& state);

 private:
  using Report = std::array<uint8_t, 64>;

  bool Accept(const uint8_t* report, size_t length) const;
  void Handle(const Report& request, Report& answer);
  void HandleDirect(const Report& request, Report& answer);
  void HandleGrouped(const Report& request, Report& answer);
  void HandleLevel0(const Report& request, Report& answer);
  void HandleShared(const Report& request, Report& answer, bool& handled);
  void StatusAnswer(Report& answer) const;
  void StartAfresh();  // the transient state of PowerOn; mutex_ held
  void SelectDpi(int value);
  // The sensitivity pair the memory stores for a level; mutex_ held.
  std::array<int, 2> StoredDpiPair(int level);
  void ReadInto(Report& answer, int address, int count) const;
  void WriteFrom(int address, const uint8_t* data, int count);
  uint8_t& At(int address);
  void Emit(std::vector<uint8_t> report);
  template <typename T>
  T Locked(const T& member) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return member;
  }

  const SimOptions options_;
  // The answer faults, switchable at run time (guarded by mutex_).
  bool alwaysBusy_ = options_.alwaysBusy;
  bool silent_ = options_.silent;
  bool oddAnswers_ = options_.oddAnswers;
  const ProtocolFamily family_;
  const Layout layout_ = family_.layout;
  std::vector<uint8_t> memory_;
  std::array<std::array<uint8_t, 4>, kButtonCount> defaultButtons_{};
  std::array<uint8_t, 256> infoBlock_{};

  mutable std::mutex mutex_;
  Report answer_{};
  int busyReads_ = 0;
  int hostMarker_ = 0;
  int activeProfile_ = 0;
  int dpiSelection_ = 0;
  int statusWord_ = 0;
  std::array<int, 2> liveDpi_{};
  int liveLift_ = 0;
  bool liftAdjusting_ = false;
  int lightingMode_ = 0;
  std::array<std::array<uint8_t, 5>, 16> previews_{};
  std::array<uint8_t, 256> staged_{};  // level-0 data pieces awaiting their commit
  uint32_t noise_ = 0x2545F491;

  std::array<int, 2> gets_{}, sets_{};
  int commits_ = 0, lightingResets_ = 0, unknown_ = 0, rejected_ = 0;
  std::vector<SimRequest> log_;
  std::function<void(std::vector<uint8_t>)> sink_;
};

}  // namespace quorix::sim
