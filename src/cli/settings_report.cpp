#include "cli/settings_report.h"

#include <cstdio>
#include <ostream>
#include <sstream>

#include "cli/json_writer.h"

namespace quorix {
namespace {

std::string Hex(const uint8_t* bytes, size_t n) {
  std::string out;
  char buffer[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", bytes[i]);
    out += buffer;
  }
  return out;
}

std::string RecordArray(const ButtonRecord& r) {
  std::ostringstream s;
  s << "[" << int(r.type) << ", " << int(r.p1) << ", " << int(r.p2) << ", " << int(r.p3) << "]";
  return s.str();
}

std::string TextOf(const ButtonTextFn& fn, const SettingsImage& image, const ButtonRecord& r) {
  return fn ? fn(image, r) : RawRecordText(r);
}

// One line per button: a text with a line break (the DPI firekey's) is joined.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

int PhysicalButtonCount(const SettingsImage& image) { return image.map.physicalButtons; }

}  // namespace

std::string RawRecordText(const ButtonRecord& r) {
  std::ostringstream s;
  s << int(r.type) << " " << int(r.p1) << " " << int(r.p2) << " " << int(r.p3);
  return s.str();
}

void PrintSettingsText(std::ostream& out, const SettingsImage& image, const ButtonTextFn& buttonText) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04X", image.memoryEnd);
  out << "Device: " << (image.devicePath.empty() ? "(none)" : image.devicePath) << "\n"
      << "Protocol level: " << image.protocolLevel << ", model code " << image.modelCode << "\n"
      << "Memory end: " << image.memoryEnd << " (" << hex << ")\n"
      << "Profiles: " << image.profileCount << ", active profile " << image.activeProfile << "\n"
      << "Levels: " << image.levelCount << ", active level " << image.activeLevel << ", enable mask "
      << image.levelMask << "\n";
  for (int i = 0; i < kDpiPairCount; ++i) {
    const DpiPair& d = image.dpiPairs[static_cast<size_t>(i)];
    out << "  level " << i << ": x " << int(d.x) << " y " << int(d.y) << " (" << d.x * image.DpiStep() << " x "
        << d.y * image.DpiStep() << " dpi)";
    // On: the DPI button visits the level, as the window's switch shows.
    if (i < image.LevelsCounted()) out << ((image.LevelsCycled() >> i & 1) != 0 ? ", on" : ", off");
    out << "\n";
  }
  out << "Report rate: ";
  if (image.ReportRateAvailable())
    out << image.ReportRateHz() << " Hz (code " << image.reportRateCode << ")\n";
  else
    out << "not available (code " << image.reportRateCode << ")\n";
  out << "Angle snapping: " << (image.angleSnapping ? "on" : "off") << "\n"
      << "Display value: " << image.displayValue << "\n"
      << "Lift value: " << image.liftValue << "\n";
  // Only the layouts that store a lighting mode have one to show.
  if (image.map.lightingModeAddress >= 0) out << "Lighting mode: " << image.lightingMode << "\n";
  out << "Primary-click holder: ";
  if (image.primaryClickHolder < 0)
    out << "none\n";
  else
    out << "button " << image.primaryClickHolder << "\n";
  for (int p = 0; p < kProfileCount; ++p) {
    const ProfileSettings& profile = image.profiles[static_cast<size_t>(p)];
    out << "Profile " << p << ": \"" << profile.name << "\" colour " << int(profile.colour[0]) << " "
        << int(profile.colour[1]) << " " << int(profile.colour[2]) << ", " << (profile.flag ? "off" : "on") << "\n";
    for (int b = 0; b < image.ButtonsPerProfile(); ++b)
      out << "  button " << b << ": " << OneLine(TextOf(buttonText, image, profile.buttons[static_cast<size_t>(b)]))
          << "\n";
  }
  out << "Physical buttons:\n";
  for (int b = 0; b < PhysicalButtonCount(image); ++b)
    out << "  " << b << ": " << OneLine(TextOf(buttonText, image, image.physicalButtons[static_cast<size_t>(b)])) << "\n";
  out << "Macro slots in use:";
  bool any = false;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const MacroSlot& slot = image.macroSlots[static_cast<size_t>(i)];
    if (!slot.InUse()) continue;
    any = true;
    out << "\n  " << i << ": \"" << slot.name << "\" start " << slot.start << ", code " << slot.codeAddress
        << ", length " << slot.length << ", mode " << slot.mode;
  }
  out << (any ? "\n" : " none\n");
}

void PrintSettingsJson(std::ostream& out, const SettingsImage& image, const ButtonTextFn& buttonText) {
  auto buttonObject = [&](int index, const ButtonRecord& record, const ButtonRecord* factory) {
    std::string s = "{\"index\": " + std::to_string(index) + ", \"record\": " + RecordArray(record);
    if (factory) s += ", \"default\": " + RecordArray(*factory);
    return s + ", \"text\": " + JsonString(TextOf(buttonText, image, record)) + "}";
  };
  out << "{\n"
      << "  \"format\": 1,\n"
      << "  \"device\": " << JsonString(image.devicePath) << ",\n"
      << "  \"protocolLevel\": " << image.protocolLevel << ",\n"
      << "  \"modelCode\": " << image.modelCode << ",\n"
      << "  \"memoryEnd\": " << image.memoryEnd << ",\n"
      << "  \"profileCount\": " << image.profileCount << ",\n"
      << "  \"levelCount\": " << image.levelCount << ",\n"
      << "  \"activeProfile\": " << image.activeProfile << ",\n"
      << "  \"activeLevel\": " << image.activeLevel << ",\n"
      << "  \"levelMask\": " << image.levelMask << ",\n"
      << "  \"dpiStep\": " << image.DpiStep() << ",\n"
      << "  \"dpiPairs\": [";
  for (int i = 0; i < kDpiPairCount; ++i) {
    const DpiPair& d = image.dpiPairs[static_cast<size_t>(i)];
    out << (i ? ", " : "") << "{\"x\": " << int(d.x) << ", \"y\": " << int(d.y) << "}";
  }
  out << "],\n  \"levelFlags\": [";
  for (int i = 0; i < image.levelFlagCount; ++i)
    out << (i ? ", " : "") << (image.levelFlags[static_cast<size_t>(i)] ? "true" : "false");
  out << "],\n  \"levelsOn\": [";
  for (int i = 0; i < image.LevelsCounted(); ++i)
    out << (i ? ", " : "") << ((image.LevelsCycled() >> i & 1) != 0 ? "true" : "false");
  out << "],\n"
      << "  \"reportRateCode\": " << image.reportRateCode << ",\n"
      << "  \"reportRateHz\": " << image.ReportRateHz() << ",\n"
      << "  \"reportRateAvailable\": " << (image.ReportRateAvailable() ? "true" : "false") << ",\n"
      << "  \"angleSnapping\": " << (image.angleSnapping ? "true" : "false") << ",\n"
      << "  \"displayValue\": " << image.displayValue << ",\n"
      << "  \"liftValue\": " << image.liftValue << ",\n"
      << "  \"lightingMode\": " << image.lightingMode << ",\n"
      << "  \"lightingBlock\": \"" << Hex(image.lightingBlock.data(), image.lightingBlock.size()) << "\",\n"
      << "  \"primaryClickHolder\": " << image.primaryClickHolder << ",\n"
      << "  \"profiles\": [";
  for (int p = 0; p < kProfileCount; ++p) {
    const ProfileSettings& profile = image.profiles[static_cast<size_t>(p)];
    const auto& record = image.profileRecords[static_cast<size_t>(p)];
    out << (p ? "," : "") << "\n    {\"index\": " << p << ", \"name\": " << JsonString(profile.name)
        << ", \"enabled\": " << (profile.flag ? "false" : "true") << ", \"colour\": [" << int(profile.colour[0])
        << ", " << int(profile.colour[1]) << ", " << int(profile.colour[2]) << "], \"profileRecord\": \""
        << Hex(record.data(), record.size()) << "\",\n     \"buttons\": [";
    for (int b = 0; b < image.ButtonsPerProfile(); ++b) {
      out << (b ? "," : "") << "\n       "
          << buttonObject(b, profile.buttons[static_cast<size_t>(b)],
                          &image.defaultButtons[static_cast<size_t>(p)][static_cast<size_t>(b)]);
    }
    out << "]}";
  }
  out << "],\n  \"physicalButtons\": [";
  for (int b = 0; b < PhysicalButtonCount(image); ++b)
    out << (b ? "," : "") << "\n    " << buttonObject(b, image.physicalButtons[static_cast<size_t>(b)], nullptr);
  out << "],\n  \"macroSlots\": [";
  bool first = true;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    const MacroSlot& slot = image.macroSlots[static_cast<size_t>(i)];
    if (!slot.InUse()) continue;
    out << (first ? "" : ",") << "\n    {\"slot\": " << i << ", \"name\": " << JsonString(slot.name)
        << ", \"start\": " << slot.start << ", \"codeAddress\": " << slot.codeAddress << ", \"length\": "
        << slot.length << ", \"mode\": " << slot.mode << "}";
    first = false;
  }
  out << "]\n}\n";
}

}  // namespace quorix
