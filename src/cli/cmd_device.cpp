// list, info, read, write: the device link seen from the command line.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "session/session.h"
#include "settings/settings_load.h"

namespace quorix {
namespace {

constexpr long kMaxAddress = 0xFFFFFF;  // the level-0 layout addresses 24 bits
constexpr long kMaxAddress16 = 0xFFFF;  // the other layouts 16 bits
constexpr long kMaxReadLength = 0x10000;
constexpr int kBytesPerLine = 16;

std::string Hex2(uint8_t b) {
  char text[3];
  std::snprintf(text, sizeof text, "%02x", b);
  return text;
}

std::string Hex4(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04lx", value);
  return text;
}

// The other layouts send 16-bit addresses: a higher one would wrap onto the
// start of memory (the signature byte) instead of failing.
void CheckAddressRange(DeviceLink& link, const std::string& path, long address, long length) {
  if (LayoutOf(link, path) == Layout::kLevel0) return;
  if (address + length - 1 > kMaxAddress16) {
    throw CliError{"address out of range (0.." + Hex4(kMaxAddress16) + " at protocol level " +
                   std::to_string(ProtocolLevel(link, path)) + "): " + Hex4(address + length - 1)};
  }
}

int RunList(CliContext& ctx) {
  ExpectArgCount(ctx, 0);
  std::vector<std::pair<std::string, DeviceInfo>> devices;
  ctx.GetSession()
      .Post("list",
            [&devices](JobContext&, DeviceLink& link, SettingsState&) {
              EnumerateDevices(link);
              for (int i = 0; i < DeviceCount(link); ++i) {
                const std::string path = DevicePath(link, i);
                GetDeviceInfo(link, path, devices.emplace_back(path, DeviceInfo{}).second);
              }
              return Outcome();
            })
      .Wait();
  for (const auto& [path, info] : devices) {
    ctx.Out() << path << "  level " << info.protocolLevel << "  model " << info.modelCode << "  firmware "
              << FirmwareNumber(info.variantA) << "\n";
  }
  return 0;
}

int RunInfo(CliContext& ctx) {
  ExpectArgCount(ctx, 0);
  DeviceLink& link = ctx.Link();
  const std::string path = ctx.DevicePath();
  DeviceInfo info;
  if (!GetDeviceInfo(link, path, info)) throw CliError{"not an identified device: " + path};
  StatusValues status;
  Counts counts;
  int memoryEnd = 0;
  Require(ctx.GetSession()
              .Post("info",
                    [&](JobContext& job, DeviceLink& l, SettingsState&) {
                      DeviceOperation operation(l, job.StopToken());
                      status = ReadStatus(l, path);
                      counts = GetCounts(l, path);
                      memoryEnd = ProbeMemoryEnd(
                          l, path, StoredMacrosEnd(l, path, MemoryMapForLevel(info.protocolLevel, info.tableSelect)));
                      return operation.Result();
                    })
              .Wait(),
          "", false);
  std::ostream& out = ctx.Out();
  out << "path: " << path << "\n"
      << "vendor id: " << Hex4(info.vendorId) << "\n"
      << "product id: " << Hex4(info.productId) << "\n"
      << "protocol level: " << info.protocolLevel << "\n"
      << "firmware: " << FirmwareNumber(info.variantA) << " (variant " << info.variantA << ")\n"
      << "model code: " << info.modelCode << "\n"
      << "button layout: " << info.buttonLayout << "\n"
      << "table select: " << info.tableSelect << "\n"
      << "feature limit: " << info.featureLimit << "\n"
      << "variant b: " << info.variantB << "\n"
      << "option flag: " << info.optionFlag << "\n"
      << "active level: " << (status.levelAndMask & 7) << "\n"
      << "level mask: " << Hex4(status.levelAndMask >> 3) << "\n"
      << "active profile: " << status.activeProfile << "\n"
      << "status: " << status.statusB << " " << status.statusC << " " << status.statusD << " " << status.statusE
      << "\n"
      << "profiles: " << counts.profileCount << "\n"
      << "levels: " << counts.levelCount << "\n"
      << "memory end: " << memoryEnd << "\n";
  return 0;
}

int RunRead(CliContext& ctx) {
  ExpectArgCount(ctx, 2);
  const long address = ParseNumber(ctx.Args()[0], 0, kMaxAddress, "address");
  const long length = ParseNumber(ctx.Args()[1], 1, kMaxReadLength, "length");
  DeviceLink& link = ctx.Link();
  const std::string path = ctx.DevicePath();
  CheckAddressRange(link, path, address, length);
  std::vector<uint8_t> data(static_cast<size_t>(length), 0);
  Require(ctx.GetSession()
              .Post("read",
                    [&](JobContext& job, DeviceLink& l, SettingsState&) {
                      DeviceOperation operation(l, job.StopToken());
                      ReadMemory(l, path, static_cast<int>(address), data.data(), static_cast<int>(length), false);
                      return operation.Result();
                    })
              .Wait(),
          "", false);
  for (long line = 0; line < length; line += kBytesPerLine) {
    std::string text = Hex4(address + line) + ":";
    for (long i = line; i < std::min(length, line + kBytesPerLine); ++i) text += " " + Hex2(data[static_cast<size_t>(i)]);
    ctx.Out() << text << "\n";
  }
  return 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "0a1b2c", "0a 1b 2c" (one argument or several); every byte two digits.
std::vector<uint8_t> ParseHexBytes(const std::vector<std::string>& args) {
  std::string digits;
  for (const std::string& arg : args) {
    for (char c : arg) {
      if (c == ' ') continue;
      if (HexDigit(c) < 0) throw CliError{"invalid hex bytes: " + arg};
      digits += c;
    }
  }
  if (digits.empty() || digits.size() % 2 != 0) throw CliError{"hex bytes need two digits each"};
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
  }
  return bytes;
}

int RunWrite(CliContext& ctx) {
  if (ctx.Args().size() < 2) throw ctx.UsageError();
  const long address = ParseNumber(ctx.Args()[0], 0, kMaxAddress, "address");
  const std::vector<uint8_t> bytes = ParseHexBytes({ctx.Args().begin() + 1, ctx.Args().end()});
  if (address + static_cast<long>(bytes.size()) - 1 > kMaxAddress) throw CliError{"write runs past the address space"};
  DeviceLink& link = ctx.Link();
  const std::string path = ctx.DevicePath();
  CheckAddressRange(link, path, address, static_cast<long>(bytes.size()));
  Require(ctx.GetSession()
              .Post("write",
                    [&](JobContext& job, DeviceLink& l, SettingsState&) {
                      DeviceOperation operation(l, job.StopToken());
                      WriteMemory(l, path, static_cast<int>(address), bytes.data(), static_cast<int>(bytes.size()));
                      CommitSettings(l, path);
                      return operation.Result();
                    })
              .Wait());
  return 0;
}

}  // namespace

int FirmwareNumber(int variantA) { return std::max(variantA - 10, 1); }

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  char hex[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : " %02x", bytes[i]);
    text += hex;
  }
  return text;
}

void RegisterDeviceCommands(CommandRegistry& registry) {
  registry.Add({"list", {"list"}, "list the mouse configuration interfaces found (path, level, model, firmware)",
                RunList});
  registry.Add({"info", {"info"}, "identification, status, counts and memory end of the device", RunInfo});
  registry.Add({"read", {"read ADDR LEN"}, "hex dump of settings memory, 16 bytes a line", RunRead});
  registry.Add({"write", {"write ADDR HEXBYTES"}, "write bytes into settings memory and commit them", RunWrite});
}

}  // namespace quorix
