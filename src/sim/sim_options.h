#pragma once
// Switches of the simulated mouse: what its identification string says, how
// large its memory is, and which faults it shows.

#include <cstdint>
#include <string>
#include <vector>

#include "device/device_link.h"  // product IDs only: the sim stays independent of the device link

namespace quorix::sim {

// A button the simulated user presses; the mouse answers with the input
// report its firmware would send.
enum class SimPress { kDpiUp, kDpiDown, kProfileNext, kProfilePrev, kWheelLeft, kWheelRight, kOpen };

// "dpi-up", "dpi-down", "profile-next", "profile-prev", "wheel-left",
// "wheel-right", "open"; false for any other name.
bool ParseSimPress(const std::string& name, SimPress& press);

struct SimOptions {
  // Identification string fields (raw payload bytes 4..11 and 21).
  int protocolLevel = 11;  // picks the layout and memory map (FamilyForLevel)
  int variantA = 0;
  int modelCode = 3;
  int buttonLayout = 22;
  int memoryLayoutCheck = 3;  // the program lists a mouse only when this is 3 ...
  int tableSelect = 7;        // ... and this is 7
  int featureLimit = 64;
  int variantB = 0;
  int optionFlag = 0;
  char letters[2] = {'A', 'G'};

  uint16_t vendorId = kProductVendorId;
  uint16_t productId = kProductIdA;

  // Settings memory size in bytes; addresses wrap at it (a power of two mirrors
  // the way the memory-end probe expects).
  int memorySize = 8192;
  // Bit 6 of status answer byte 10: set, the program skips its extra handshakes.
  bool statusFlag = true;
  // Reads that still show the busy flag after each accepted request.
  int busyReadsAfterSet = 1;
  // The value a running lift adjustment "measures".
  int measuredLift = 5120;

  // ---- faults and pacing ----
  int latencyMs = 0;         // slept on the host's clock for every feature transfer
  bool alwaysBusy = false;   // every read shows the busy flag: no exchange ever completes
  bool silent = false;       // every feature read fails; requests are swallowed
  int unplugAfter = -1;      // >= 0: after this many requests the mouse is gone (once)
  // >= 0: the mouse carries out request N (counted from 0) and every later
  // one, but from N on it sends no answer: every read fails.
  int loseAnswerAfter = -1;
  // >= 0: the firmware restarts just before request N (once): the memory
  // stays, the host marker, busy flag and other per-session state start afresh.
  int resetAfter = -1;
  bool oddAnswers = false;   // answers carry a wrong echo and garbage data bytes
  bool secondMouse = false;  // a second mouse (product 0x0145) with its own memory
  bool isp = false;          // the microcontroller's programming identity is present too

  // ---- the simulated user ----
  // Pressed one after another, one every pressIntervalMs of the host's clock,
  // counted from the first StartEvents (nobody listens before).
  std::vector<SimPress> presses{};
  int pressIntervalMs = 100;
};

}  // namespace quorix::sim
