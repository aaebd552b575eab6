// Full load and full backup of the simulated mouse with a per-transfer
// latency on the real clock, each run kRuns times. Prints the median wall
// time, the number of exchanges, and
// the ratio of wall time to the protocol's floor of exchanges x 3 transfers x
// latency (ready read, request, answer read).
//
//   settings_bench [LATENCY_MS [BUSY_READS]]   (defaults 1 and the simulator's 1)
//
// BUSY_READS is how many reads after each request still show the busy flag;
// each one costs one more transfer than the floor counts.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/named_mutex.h"
#include "settings/backup_restore.h"
#include "settings/settings_load.h"
#include "sim/sim_hid_host.h"

namespace {

using quorix::sim::SimMouse;

constexpr int kRuns = 5;

struct Counter {
  std::atomic<long> requests{0};
  std::atomic<long> answers{0};
};

void Report(const char* what, double wallMs, const Counter& c, SimMouse& mouse, int latencyMs) {
  const long exchanges = c.requests.load();
  const long transfers = mouse.GetCount() + mouse.SetCount();
  const double floorMs = static_cast<double>(exchanges) * 3 * latencyMs;
  std::printf("%-7s wall %8.1f ms  exchanges %5ld (%ld with answer)  transfers %6ld  "
              "floor %8.1f ms  ratio %.2f  (%.2f ms per transfer; median of %d runs)\n",
              what, wallMs, exchanges, c.answers.load(), transfers, floorMs, floorMs > 0 ? wallMs / floorMs : 0.0,
              transfers > 0 ? wallMs / static_cast<double>(transfers) : 0.0, kRuns);
}

}  // namespace

int main(int argc, char** argv) {
  const int latencyMs = argc > 1 ? std::atoi(argv[1]) : 1;
  quorix::SteadyClock clock;
  quorix::LocalMutex exchangeMutex, listMutex;
  quorix::sim::SimOptions options;
  options.latencyMs = latencyMs;
  if (argc > 2) options.busyReadsAfterSet = std::atoi(argv[2]);
  quorix::sim::SimHidHost host(clock, options);
  quorix::DeviceLink link(host, clock, exchangeMutex, listMutex, options.vendorId);
  Counter counter;
  link.SetTrace([&](char direction, const uint8_t*, size_t) {
    if (direction == '>') ++counter.requests;
    if (direction == '<') ++counter.answers;
  });
  quorix::EnumerateDevices(link);
  if (quorix::DeviceCount(link) == 0) {
    std::fprintf(stderr, "no simulated mouse listed\n");
    return 1;
  }
  std::printf("simulated level-11 mouse, 8 KiB, latency %d ms per transfer, %d busy read(s) after each request\n",
              latencyMs, options.busyReadsAfterSet);

  // Exchanges and transfers are the same every run; the wall time is the
  // median, so one scheduling hiccup does not decide the figure.
  // `setup` runs before each timed run, untimed.
  auto run = [&](const char* what, auto&& setup, auto&& body) {
    std::vector<double> walls;
    for (int i = 0; i < kRuns; ++i) {
      setup();
      counter.requests = 0;
      counter.answers = 0;
      host.Mouse().ResetCounters();
      const auto start = std::chrono::steady_clock::now();
      body();
      const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
      walls.push_back(wall.count());
    }
    std::sort(walls.begin(), walls.end());
    Report(what, walls[walls.size() / 2], counter, host.Mouse(), latencyMs);
  };

  quorix::SettingsState state;
  run("load", [] {}, [&] { quorix::LoadSettings(link, state); });
  const std::string file = (std::filesystem::temp_directory_path() / "quorix_settings_bench.bf").string();
  quorix::Outcome saved(quorix::Failure::kInternalError, "the backup did not run");
  // Each backup starts from a fresh load, as in the program: the load resets
  // the read cache, and the backup is served from what the load cached.
  run(
      "backup", [&] { quorix::LoadSettings(link, state); },
      [&] { saved = quorix::SaveBackup(link, state, file, {}, {}); });
  std::filesystem::remove(file);
  if (!saved) {
    std::fprintf(stderr, "backup failed: %s\n", saved.detail.c_str());
    return 1;
  }
  return 0;
}
