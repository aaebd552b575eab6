// show, backup, restore, reset and set: the settings image from the command line.
#include <algorithm>
#include <climits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/settings_report.h"
#include "device/discovery.h"
#include "keys/button_function.h"
#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "options/options_store.h"
#include "platform/linux/xdg_paths.h"
#include "session/capabilities.h"
#include "session/models/button_texts.h"
#include "session/restore_file.h"
#include "session/session.h"
#include "settings/backup_restore.h"
#include "settings/field_writes.h"
#include "settings/settings_load.h"
#include "texts/text_tables.h"

namespace quorix {
namespace {

// A bar on stderr that redraws itself in place; only on a terminal.
class ProgressBar {
 public:
  explicit ProgressBar(CliContext& ctx) : ctx_(ctx) {}
  ~ProgressBar() {
    if (drawn_) ctx_.Err() << "\n";
  }
  ProgressFn Fn(const std::string& label) {
    if (!ctx_.StderrIsTerminal()) return {};
    return [this, label](double fraction) { Draw(label, fraction); };
  }

 private:
  void Draw(const std::string& label, double fraction) {
    const int percent = static_cast<int>(fraction * 100 + 0.5);
    if (drawn_ && percent == last_ && label == lastLabel_) return;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    ctx_.Err() << "\r" << label << " [" << std::string(static_cast<size_t>(filled), '#')
               << std::string(static_cast<size_t>(kWidth - filled), ' ') << "] " << percent << "%" << std::flush;
    drawn_ = true;
    last_ = percent;
    lastLabel_ = label;
  }
  CliContext& ctx_;
  bool drawn_ = false;
  int last_ = -1;
  std::string lastLabel_;
};

bool ParseOnOff(const std::string& text, const std::string& what) {
  if (text == "on") return true;
  if (text == "off") return false;
  throw CliError{what + " must be on or off: " + text};
}

// FILE plus an optional --data-dir DIR (the folder of set.ini, whose
// per-profile application data travels in backup files).
struct FileArgs {
  std::string file;
  std::string setIni;
};

FileArgs ParseFileArgs(const CliContext& ctx) {
  FileArgs parsed;
  std::optional<std::string> dataFolder;
  const auto& args = ctx.Args();
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--data-dir" && i + 1 < args.size()) {
      dataFolder = args[++i];
    } else if (args[i].rfind("--data-dir=", 0) == 0) {
      dataFolder = args[i].substr(11);
    } else if (parsed.file.empty() && !args[i].empty() && args[i][0] != '-') {
      parsed.file = args[i];
    } else {
      throw ctx.UsageError();
    }
  }
  if (parsed.file.empty()) throw ctx.UsageError();
  parsed.setIni = SetIniPath(dataFolder);
  return parsed;
}

int RunShow(CliContext& ctx) {
  const auto& args = ctx.Args();
  const bool json = args.size() == 1 && args[0] == "--json";
  if (!(args.empty() || json)) throw ctx.UsageError();
  SelectCommandDevice(ctx);
  {
    ProgressBar bar(ctx);
    LoadSelectedDevice(ctx, bar.Fn("load"));
  }
  const auto image = ctx.GetSession().State().image.Snapshot();
  if (json)
    PrintSettingsJson(ctx.Out(), *image, MainWindowButtonTexts(ctx.GetSession().Texts()));
  else
    PrintSettingsText(ctx.Out(), *image, MainWindowButtonTexts(ctx.GetSession().Texts()));
  return 0;
}

int RunBackup(CliContext& ctx) {
  const FileArgs args = ParseFileArgs(ctx);
  const Options options = LoadCliOptions(args.setIni);
  SelectCommandDevice(ctx);
  ProgressBar bar(ctx);
  LoadSelectedDevice(ctx, bar.Fn("load"));
  const Outcome saved = ctx.GetSession().Backup(args.file, options.apps, bar.Fn("backup")).Wait();
  Require(saved, saved.detail.empty() ? "" : "cannot write " + args.file + ": " + saved.detail, false);
  return 0;
}

int RunRestore(CliContext& ctx) {
  const FileArgs args = ParseFileArgs(ctx);
  // A file that is no backup at all is refused before the mouse is touched;
  // the length check against the mouse's memory follows after the load.
  Result<std::vector<uint8_t>> read = ReadRestoreFile(args.file);
  Require(read.outcome(),
          read.failure() == Failure::kCannotReadFile ? "cannot open " + args.file + ": " + read.detail() : args.file);
  const std::vector<uint8_t> bytes = std::move(read).value();
  SelectCommandDevice(ctx);
  ProgressBar bar(ctx);
  const RestoreResult result =
      ctx.GetSession().Restore(std::move(bytes), args.setIni, {bar.Fn("load"), bar.Fn("restore")}).Wait();
  const std::string folder = args.setIni.substr(0, args.setIni.size() - std::string(kSetIniName).size());
  switch (result.step) {
    case RestoreStep::kLoad:
      Require(result.outcome, "", false);
      break;
    case RestoreStep::kReadOptions:
      throw CliError{"cannot read " + args.setIni + ": " + result.outcome.detail};
    case RestoreStep::kRestore:
      Require(result.outcome, args.file);
      break;
    case RestoreStep::kDataFolder:
      throw CliError{"cannot set up the data folder " + folder + ": " + result.outcome.detail};
    case RestoreStep::kWriteOptions:
      throw CliError{"cannot write " + args.setIni + ": " + result.outcome.detail};
    case RestoreStep::kDone:
      break;
  }
  return 0;
}

int RunReset(CliContext& ctx) {
  ExpectArgCount(ctx, 0);
  SelectCommandDevice(ctx);
  ProgressBar bar(ctx);
  LoadSelectedDevice(ctx, bar.Fn("load"));
  ResetOptions options;
  options.progress = bar.Fn("reset");
  options.reload.progress = bar.Fn("load");
  Require(ctx.GetSession().Reset(std::move(options)).Wait());
  return 0;
}

int RunSet(CliContext& ctx) {
  const auto& args = ctx.Args();
  if (args.empty()) throw ctx.UsageError();
  const std::string& what = args[0];
  auto expect = [&](size_t n) {
    if (args.size() != n + 1) throw ctx.UsageError();
  };
  auto number = [&](size_t i, long min, long max, const std::string& name) {
    return static_cast<int>(ParseNumber(args[i], min, max, name));
  };

  // Every argument is checked before the first request goes out; the checks
  // that depend on the mouse ask the rules the main window asks
  // (capabilities.h), the primary-click holder's once the mouse is loaded.
  FieldWrite write;
  std::function<void(const DeviceCapabilities&)> checkForDevice = [](const DeviceCapabilities&) {};
  std::function<void(const DeviceCapabilities&, const SettingsImage&)> checkLoaded;
  if (what == "profile") {
    expect(1);
    const int p = number(1, 0, kProfileCount - 1, "profile");
    // Selected and, as the main window's selection timer does, stored at once.
    write = [p](DeviceLink& l, SettingsState& s) {
      if (Outcome selected = WriteActiveProfile(l, s, p); !selected) return selected;
      return WriteStoredSelection(l, s, {.profile = true});
    };
  } else if (what == "profile-enabled") {
    expect(2);
    const int p = number(1, 0, kProfileCount - 1, "profile");
    const bool on = ParseOnOff(args[2], "profile-enabled");
    write = [p, on](DeviceLink& l, SettingsState& s) { return WriteProfileFlag(l, s, p, !on); };
  } else if (what == "dpi-level" || what == "level-enabled") {
    const bool enable = what == "level-enabled";
    expect(enable ? 2 : 1);
    const int n = number(1, 0, 4, "level");
    const bool on = enable && ParseOnOff(args[2], "level-enabled");
    checkForDevice = [n, enable](const DeviceCapabilities& caps) {
      switch (LevelWriteRefusal(caps, n, enable)) {
        case WriteRefusal::kLevelOutOfRange:
          throw CliError{"level out of range (0.." + std::to_string(caps.levelCount - 1) + "): " + std::to_string(n)};
        case WriteRefusal::kNoLevelSwitches:
          // The main window hides the switches the firmware lacks.
          throw CliError{"this mouse's firmware has no level switches: nothing written"};
        default:
          break;
      }
    };
    write = [n, on, enable](DeviceLink& l, SettingsState& s) {
      if (enable) return WriteLevelEnabled(l, s, n, on);
      // Picking a level sends the level alone, then stores it like the profile.
      if (Outcome selected = WriteActiveLevel(l, s, n); !selected) return selected;
      return WriteStoredSelection(l, s, {.level = true});
    };
  } else if (what == "dpi") {
    expect(3);
    const int n = number(1, 0, kDpiPairCount - 1, "level");
    const int x = number(2, 1, 255, "x");
    const int y = number(3, 1, 255, "y");
    write = [n, x, y](DeviceLink& l, SettingsState& s) { return WriteDpiPair(l, s, n, x, y); };
  } else if (what == "report-rate") {
    expect(1);
    // The same rates the main window's slider offers, spelled as it shows them.
    int code = -1;
    for (int candidate = 0; candidate < kReportRateCodeCount; ++candidate)
      if (args[1] == std::to_string(ReportRateHzForCode(candidate))) code = candidate;
    if (code < 0) throw CliError{"report rate must be " + OfferedReportRatesText() + ": " + args[1]};
    checkForDevice = [](const DeviceCapabilities& caps) {
      if (ReportRateWriteRefusal(caps) != WriteRefusal::kAllowed)
        throw CliError{"this mouse's firmware has no report-rate setting: nothing written"};
    };
    write = [code](DeviceLink& l, SettingsState& s) { return WriteReportRate(l, s, code); };
  } else if (what == "angle-snapping") {
    expect(1);
    const bool on = ParseOnOff(args[1], "angle-snapping");
    write = [on](DeviceLink& l, SettingsState& s) { return WriteAngleSnapping(l, s, on); };
  } else if (what == "button") {
    expect(6);
    const int p = number(1, 0, kProfileCount - 1, "profile");
    // Any number is taken here: which buttons exist is the mouse's rule, and
    // the message names the range it allows (0..23 at level 11), not the
    // records a profile could hold.
    const long button = ParseNumber(args[2], LONG_MIN, LONG_MAX, "button");
    const int b = static_cast<int>(std::clamp<long>(button, INT_MIN, INT_MAX));
    const ButtonRecord r{static_cast<uint8_t>(number(3, 0, 36, "type")), static_cast<uint8_t>(number(4, 0, 255, "p1")),
                         static_cast<uint8_t>(number(5, 0, 255, "p2")), static_cast<uint8_t>(number(6, 0, 255, "p3"))};
    // The range needs the layout only; whether the button holds the
    // profile's left click needs its records, so the mouse is loaded first.
    checkForDevice = [b, button](const DeviceCapabilities& caps) {
      if (ButtonWriteRefusal(caps, b, -1) == WriteRefusal::kButtonOutOfRange)
        throw CliError{"button out of range (0.." + std::to_string(caps.ShownButtonRows() - 1) +
                       "): " + std::to_string(button)};
    };
    checkLoaded = [p, b](const DeviceCapabilities& caps, const SettingsImage& image) {
      if (ButtonWriteRefusal(caps, b, PrimaryClickHolderOf(image, p)) == WriteRefusal::kPrimaryClickHolder)
        throw CliError{"button " + std::to_string(b) + " holds the left click of profile " + std::to_string(p) +
                       ": nothing written"};
    };
    write = [p, b, r](DeviceLink& l, SettingsState& s) { return AssignButton(l, s, p, b, r); };
  } else {
    throw ctx.UsageError();
  }

  const std::string path = SelectCommandDevice(ctx);
  const DeviceCapabilities caps = CapabilitiesAt(ctx.Link(), path);
  checkForDevice(caps);
  {
    // Only what the write consults is read; the bar shows only when an erased
    // mouse is reset and loaded whole first.
    ProgressBar bar(ctx);
    if (checkLoaded)
      LoadSelectedDevice(ctx, bar.Fn("load"));
    else
      Require(ctx.GetSession().PrepareWrite(bar.Fn("load")).Wait(), "", false);
  }
  if (checkLoaded) checkLoaded(caps, *ctx.GetSession().State().image.Snapshot());
  Require(ctx.GetSession().Write(std::move(write)).Wait());
  return 0;
}

}  // namespace

void RegisterSettingsCommands(CommandRegistry& registry) {
  registry.Add({"show",
                {"show [--json]"},
                "load the mouse and print its settings (--json: the object of docs/show-json.md)",
                RunShow});
  registry.Add({"backup",
                {"backup FILE [--data-dir DIR]"},
                "save the whole settings memory and the per-profile applications of set.ini to a backup file (.bf)",
                RunBackup});
  registry.Add({"restore",
                {"restore FILE [--data-dir DIR]"},
                "write a backup file into the mouse, load it again and store its per-profile applications in set.ini",
                RunRestore});
  registry.Add({"reset", {"reset"}, "rewrite the mouse with the default settings", RunReset});
  registry.Add({"set",
                {"set profile N", "set profile-enabled P on|off", "set dpi-level N", "set level-enabled L on|off",
                 "set dpi LEVEL X Y", "set report-rate 1000|500|333|250|200|166|142|125", "set angle-snapping on|off",
                 "set button PROFILE BUTTON TYPE P1 P2 P3"},
                "change one setting at once (profiles, buttons and levels count from 0)",
                RunSet});
}

}  // namespace quorix
