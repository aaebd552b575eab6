#include <utility>

#include "session/session.h"

namespace quorix {

Job<void> Session::StoreMacro(int slot, int mode, std::string name, std::vector<MacroItem> items, ProgressFn progress) {
  return OnCurrentDevice<void>(
      "store macro",
      [this, slot, mode, name = std::move(name), items = std::move(items)](JobContext& job, DeviceLink& link,
                                                                           const std::string& path) {
        // The store's own operation shares this one, and with it the job's
        // stop token: a cancel ends the store before its next exchange.
        DeviceOperation operation(link, job.StopToken());
        SettingsImage image = *state_.image.Snapshot();
        const Outcome outcome = quorix::StoreMacro(link, path, image, slot, mode, name, items,
                                                   [&job](double fraction) { job.Progress(fraction); });
        if (outcome) state_.image.Publish(std::move(image));
        return outcome;
      },
      std::move(progress));
}

Job<void> Session::DeleteMacro(int slot) {
  return OnDevice("delete macro", [this, slot](JobContext& job, DeviceLink& link, const std::string& path) {
    DeviceOperation operation(link, job.StopToken());
    SettingsImage image = *state_.image.Snapshot();
    const Outcome outcome = quorix::DeleteMacro(link, path, image, slot);
    if (outcome) state_.image.Publish(std::move(image));
    return outcome;
  });
}

Job<MacroReadBack> Session::ReadMacro(int slot, ProgressFn progress) {
  return OnCurrentDevice<MacroReadBack>(
      "read macro",
      [this, slot](JobContext& job, DeviceLink& link, const std::string& path) {
        return ReadBackMacro(link, path, *state_.image.Snapshot(), slot, [&job](double f) { job.Progress(f); });
      },
      std::move(progress));
}

}  // namespace quorix
