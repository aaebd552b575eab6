// macro, mf and describe: the mouse's macro slots, macro files and button
// function texts from the command line.
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "device/discovery.h"
#include "keys/button_function.h"
#include "macro/macro_file.h"
#include "macro/macro_instruction.h"
#include "macro/macro_memory.h"
#include "options/language_setting.h"
#include "platform/linux/xdg_paths.h"
#include "session/session.h"
#include "settings/settings_load.h"
#include "texts/text_tables.h"

namespace quorix {

namespace {

std::string HexBytes(const MacroItem& item) {
  std::string text;
  char buffer[4];
  for (int i = 0; i < item.length && i < 5; ++i) {
    std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", item.bytes[static_cast<size_t>(i)]);
    text += buffer;
  }
  return text;
}

std::string UtcText(int64_t seconds) {
  using namespace std::chrono;
  const sys_seconds point{std::chrono::seconds{seconds}};
  const auto day = floor<days>(point);
  const year_month_day date{day};
  const hh_mm_ss clock{point - day};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02ld:%02ld:%02ld UTC", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                static_cast<long>(clock.seconds().count()));
  return buffer;
}

// The instruction and mode texts in the user's language: the one stored in
// the data folder's set.ini, from the program folder's language.ini, as the
// macro editor shows them.
MacroTexts UserMacroTexts() {
  const XdgPaths paths(QUORIX_SOURCE_DATA_DIR);
  return MakeMacroTexts(SelectLanguage({}, DataFolderIn(paths.DocumentsFolder()), paths.ProgramFolder()).texts);
}

// One line per instruction: number, bytes in hex, display text.
void PrintItems(std::ostream& out, const std::vector<MacroItem>& items, const MacroTexts& texts) {
  char prefix[32];
  for (size_t i = 0; i < items.size(); ++i) {
    std::snprintf(prefix, sizeof prefix, "%4zu  ", i + 1);
    std::string bytes = HexBytes(items[i]);
    bytes.resize(16, ' ');
    out << prefix << bytes << InstructionText(items[i], texts) << "\n";
  }
}

// The mouse's settings image, loaded from the command's device.
struct DeviceImage {
  SettingsImage image;
};

DeviceImage LoadDeviceImage(CliContext& ctx) {
  SelectCommandDevice(ctx);
  LoadSelectedDevice(ctx);
  return {*ctx.GetSession().State().image.Snapshot()};
}

// The image as the session published it after a change.
SettingsImage PublishedImage(CliContext& ctx) { return *ctx.GetSession().State().image.Snapshot(); }

int ParseSlot(const std::string& text) { return static_cast<int>(ParseNumber(text, 0, kMacroSlotCount - 1, "slot")); }

int64_t NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

int ParseMode(const std::string& text) {
  if (text == "once") return kModeOnce;
  if (text == "loop") return kModeLoop;
  if (text == "fire") return kModeFire;
  throw CliError{"mode must be once, loop or fire: " + text};
}

// A one-line description of what is wrong with a macro file.
std::string MacroFileStatusText(MacroFileStatus status) {
  switch (status) {
    case MacroFileStatus::kOk:
      return "ok";
    case MacroFileStatus::kUnreadable:
      return "cannot read the file";
    case MacroFileStatus::kTooShort:
      return "not a macro file (too short)";
    case MacroFileStatus::kInvalidFormat:
      return FailureMessage(Failure::kInvalidFormat);
    case MacroFileStatus::kTruncated:
      return "the macro file ends early";
    case MacroFileStatus::kBodyTooLarge:
      return "macro body above 65536 bytes";
    case MacroFileStatus::kFileTooLarge:
      return "file too large for a macro file";
    case MacroFileStatus::kNotMacroFile:
      return "not a .mf file";
    case MacroFileStatus::kWriteFailed:
      return "cannot write the file";
  }
  return "unknown error";
}

// Reads a macro file; a file that cannot be read says why ("is a
// directory"), one that is no macro file says what is wrong with it.
MacroFile ReadMacroFileOrThrow(const std::string& path) {
  MacroFileRead read = ReadMacroFile(path);
  if (read.status == MacroFileStatus::kUnreadable) throw CliError{"cannot read " + path + ": " + read.file.detail()};
  if (read.status == MacroFileStatus::kInvalidFormat) Require(Failure::kInvalidFormat, path);
  if (!read.file) throw CliError{path + ": " + MacroFileStatusText(read.status)};
  return std::move(read.file).value();
}

// Where the instructions of a file's body end: at its end, at a 0x00 byte, or
// at an opcode this program does not know. Nothing after that point is ever
// stored or shown.
struct BodyEnd {
  size_t offset = 0;
  bool unknownOpcode = false;
};

BodyEnd FindBodyEnd(const MacroFile& file) {
  BodyEnd end;
  end.offset = SerialiseItems(file.items).size();
  end.unknownOpcode = end.offset < file.body.size() && file.body[end.offset] != 0x00;
  return end;
}

std::string Hex2(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

const MacroSlot& UsedSlot(const DeviceImage& device, int slot) {
  const MacroSlot& s = device.image.macroSlots[static_cast<size_t>(slot)];
  if (!s.InUse()) throw CliError{"slot " + std::to_string(slot) + " is empty"};
  return s;
}

// A name read back from the mouse may be 50 UTF-16 units of anything (150
// bytes of UTF-8), so a row is not built in a fixed buffer that could cut
// off its end.
std::string PaddedRight(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

void MacroList(CliContext& ctx) {
  DeviceImage device = LoadDeviceImage(ctx);
  auto& out = ctx.Out();
  out << "slot  name             mode  start  length code\n";
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const MacroSlot& slot = device.image.macroSlots[static_cast<size_t>(i)];
    if (!slot.InUse()) continue;
    out << PaddedRight(std::to_string(i), 5) << ' ' << PaddedRight(slot.name, 16) << ' '
        << PaddedRight(std::to_string(slot.mode), 5) << ' ' << PaddedRight(std::to_string(slot.start), 6) << ' '
        << PaddedRight(std::to_string(slot.length), 6) << ' ' << slot.codeAddress << '\n';
  }
  out << "free memory: " << FreeMacroSpace(device.image.macroSlots, MacroLayoutOf(device.image)) << " bytes\n";
}

void MacroShow(CliContext& ctx, int slot) {
  DeviceImage device = LoadDeviceImage(ctx);
  UsedSlot(device, slot);
  MacroReadBack back = ctx.GetSession().ReadMacro(slot).Wait();
  Require(back.outcome, "", false);
  const MacroTexts texts = UserMacroTexts();
  ctx.Out() << "name: " << back.name << "\n"
            << "mode: " << back.mode << " (" << ModeLabel(back.mode, texts) << ")\n"
            << "instructions: " << back.items.size() << "\n";
  PrintItems(ctx.Out(), back.items, texts);
}

void MacroExport(CliContext& ctx, int slot, const std::string& file) {
  DeviceImage device = LoadDeviceImage(ctx);
  UsedSlot(device, slot);
  MacroReadBack back = ctx.GetSession().ReadMacro(slot).Wait();
  Require(back.outcome, "", false);
  const Outcome written = WriteMacroFile(file, back.name, back.mode, back.items, NowSeconds());
  if (written.failure == Failure::kCannotWriteFile) throw CliError{"cannot write " + file + ": " + written.detail};
  if (!written) throw CliError{file + ": " + MacroFileStatusText(MacroFileStatus::kBodyTooLarge)};
  ctx.Out() << "exported slot " << slot << " (" << back.items.size() << " instructions) to " << file << "\n";
}

void MacroImport(CliContext& ctx, const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::optional<int> mode;
  std::optional<std::string> name;
  bool strict = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--mode" && i + 1 < args.size()) {
      mode = ParseMode(args[++i]);
    } else if (args[i] == "--name" && i + 1 < args.size()) {
      name = args[++i];
    } else if (args[i] == "--strict") {
      strict = true;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) throw ctx.UsageError();
  const MacroFile file = ReadMacroFileOrThrow(positional[0]);
  const int slot = ParseSlot(positional[1]);
  // The mouse would run only the instructions before an unknown opcode: a
  // macro cut short is stored only when the user did not ask for all or
  // nothing, and never without saying so.
  if (const BodyEnd end = FindBodyEnd(file); end.unknownOpcode) {
    const std::string what = positional[0] + ": stopped at an unknown instruction " + Hex2(file.body[end.offset]) +
                             " at byte " + std::to_string(end.offset) + " of " + std::to_string(file.body.size());
    if (strict) throw CliError{what + "; nothing stored (--strict)"};
    ctx.Err() << "quorix-mousectl: warning: " << what << ": only the first " << end.offset << " bytes are stored\n";
  }
  DeviceImage device = LoadDeviceImage(ctx);
  const int useMode = mode ? *mode : NormaliseMode(file.header.mode);
  const std::string useName = name ? *name : file.header.name;
  Require(ctx.GetSession().StoreMacro(slot, useMode, useName, file.items).Wait(), positional[0]);
  device.image = PublishedImage(ctx);
  const MacroSlot& stored = device.image.macroSlots[static_cast<size_t>(slot)];
  ctx.Out() << "stored \"" << stored.name << "\" in slot " << slot << " at " << stored.start << ", length "
            << stored.length
            << "\nfree memory: " << FreeMacroSpace(device.image.macroSlots, MacroLayoutOf(device.image)) << " bytes\n";
}

int RunMacro(CliContext& ctx) {
  const auto& args = ctx.Args();
  const std::string sub = args.empty() ? "" : args[0];
  if (sub == "list" && args.size() == 1) {
    MacroList(ctx);
  } else if (sub == "show" && args.size() == 2) {
    MacroShow(ctx, ParseSlot(args[1]));
  } else if (sub == "export" && args.size() == 3) {
    MacroExport(ctx, ParseSlot(args[1]), args[2]);
  } else if (sub == "import") {
    MacroImport(ctx, args);
  } else if (sub == "delete" && args.size() == 2) {
    const int slot = ParseSlot(args[1]);
    DeviceImage device = LoadDeviceImage(ctx);
    UsedSlot(device, slot);
    Require(ctx.GetSession().DeleteMacro(slot).Wait());
    device.image = PublishedImage(ctx);
    ctx.Out() << "deleted slot " << slot
              << "\nfree memory: " << FreeMacroSpace(device.image.macroSlots, MacroLayoutOf(device.image))
              << " bytes\n";
  } else {
    throw ctx.UsageError();
  }
  return 0;
}

int RunDescribe(CliContext& ctx) {
  const auto& args = ctx.Args();
  int step = 50;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--step" && i + 1 < args.size()) {
      step = static_cast<int>(ParseNumber(args[++i], 1, 1000, "DPI step"));
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 4) throw ctx.UsageError();
  int bytes[4];
  const char* names[] = {"TYPE", "P1", "P2", "P3"};
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<int>(ParseNumber(positional[static_cast<size_t>(i)], 0, 255, names[i]));
  const KeyTexts texts = MakeKeyTexts(DefaultTextTables());
  ctx.Out() << FunctionText(texts, bytes[0], bytes[1], bytes[2], bytes[3], step) << "\n";
  return 0;
}

int RunMf(CliContext& ctx) {
  const auto& args = ctx.Args();
  if (args.size() != 2 || args[0] != "show") throw ctx.UsageError();
  const MacroFile file = ReadMacroFileOrThrow(args[1]);
  const MacroFileHeader& h = file.header;
  const MacroTexts texts = UserMacroTexts();
  auto& out = ctx.Out();
  out << "version: " << h.version << "\n"
      << "time: " << h.time << " (" << UtcText(h.time) << ")\n"
      << "name: " << h.name << "\n"
      << "mode: " << h.mode << " (" << ModeLabel(h.mode, texts) << ")\n"
      << "length: " << h.bodyLength << "\n"
      << "instructions: " << file.items.size() << "\n";
  PrintItems(out, file.items, texts);
  const BodyEnd end = FindBodyEnd(file);
  if (end.unknownOpcode) {
    out << "(invalid opcode " << Hex2(file.body[end.offset]) << " at offset " << end.offset << ")\n";
  } else if (end.offset < file.body.size()) {
    out << "(body ends at a 0x00 byte at offset " << end.offset << ")\n";
  }
  return 0;
}

}  // namespace

void RegisterMacroCommands(CommandRegistry& registry) {
  registry.Add({"macro",
                {"macro list", "macro show SLOT", "macro export SLOT FILE.mf",
                 "macro import FILE.mf SLOT [--mode once|loop|fire] [--name NAME] [--strict]", "macro delete SLOT"},
                "the mouse's macro slots: list them, show, export or delete one, or store a macro file (a file "
                "with an unknown instruction is stored up to it with a warning; --strict refuses it)",
                RunMacro});
  registry.Add(
      {"mf", {"mf show FILE.mf"}, "show a macro file: version, time, name, mode and every instruction", RunMf});
  registry.Add({"describe",
                {"describe TYPE P1 P2 P3 [--step N]"},
                "print the display text of a four-byte button function (N: DPI step, default 50)",
                RunDescribe});
}

}  // namespace quorix
