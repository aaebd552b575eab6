#include "macro/macro_instruction.h"

#include <algorithm>
#include <initializer_list>

#include "keys/key_tables.h"
#include "texts/text_tables.h"

namespace quorix {

namespace {

int U16(const MacroItem& item, int at) { return item.bytes[at] | (item.bytes[at + 1] << 8); }
int S16(const MacroItem& item, int at) { return static_cast<int16_t>(static_cast<uint16_t>(U16(item, at))); }

// Indexes of MacroTexts::formats.
enum Format : size_t {
  kFmtOnce,
  kFmtLoop,
  kFmtFire,
  kFmtJump,
  kFmtLoopJump,
  kFmtSetAcc,
  kFmtPress,
  kFmtRelease,
  kFmtWheel,
  kFmtMove,
  kFmtKeyPress,
  kFmtKeyRelease,
  kFmtConsumerPress,
  kFmtConsumerRelease,
  kFmtWait,
  kFmtLongWait,
  kFmtMoveTo,
  kFormatCount
};
constexpr size_t kButtonNameCount = 5;

const std::string& Entry(const std::vector<std::string>& table, size_t index) {
  static const std::string empty;
  return index < table.size() ? table[index] : empty;
}

// Fills the format's "%d" and "%s" (any "%" and letter) with `args` in
// order; "%%" is one "%". A translated format is data, so it is never handed
// to printf: a directive without an argument is dropped, not read from the
// stack.
std::string Fill(const std::string& format, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
    } else if (format[++i] == '%') {
      out += '%';
    } else if (next != args.end()) {
      out += *next++;
    }
  }
  return out;
}

std::string ButtonList(const MacroTexts& texts, uint8_t opcode) {
  std::string list;
  for (size_t bit = 0; bit < kButtonNameCount; ++bit) {
    if (opcode & (1 << bit)) list += " " + Entry(texts.buttonNames, bit) + " ";
  }
  return list;
}

}  // namespace

bool MacroItem::operator==(const MacroItem& other) const {
  if (length != other.length) return false;
  int n = std::clamp(length, 0, 5);
  return std::equal(bytes.begin(), bytes.begin() + n, other.bytes.begin());
}

InstructionShape InstructionLength(uint8_t opcode) {
  if (opcode >= 0x20 && opcode <= 0x7F) return {1, kInstructionOrdinary};
  if (opcode >= 0xC1 && opcode <= 0xCF) return {1, kInstructionOrdinary};
  switch (opcode) {
    case 0x00:
    case 0x01:
      return {1, kInstructionOrdinary};
    case 0x04:
    case 0x05:
    case 0x06:
      return {1, kInstructionModeMarker};
    case 0x08:
    case 0x10:
    case 0x18:
    case 0x85:
    case 0x89:
      return {3, kInstructionOrdinary};
    case 0x81:
    case 0x82:
    case 0x83:
    case 0x84:
    case 0x88:
      return {2, kInstructionOrdinary};
    case 0x80:
    case 0xA0:
    case 0xC0:
      return {5, kInstructionOrdinary};
    default:
      return {0, kInstructionInvalid};
  }
}

InstructionShape ReadInstruction(const uint8_t* data, size_t available, MacroItem& item) {
  item = MacroItem{};
  // Operand bytes past the end of the string read as zero, as if the buffer
  // were padded, instead of being read out of bounds.
  std::copy_n(data, std::min<size_t>(available, 5), item.bytes.begin());
  InstructionShape shape = available > 0 ? InstructionLength(data[0]) : InstructionShape{};
  item.length = shape.length;
  return shape;
}

std::vector<MacroItem> SplitInstructions(const uint8_t* data, size_t size, size_t maxItems, bool* stoppedAtInvalid) {
  std::vector<MacroItem> items;
  if (stoppedAtInvalid) *stoppedAtInvalid = false;
  size_t offset = 0;
  while (offset < size && data[offset] != 0x00 && items.size() < maxItems) {
    MacroItem item;
    InstructionShape shape = ReadInstruction(data + offset, size - offset, item);
    if (shape.length == 0) {
      // An unknown opcode has no length to step over: stop, keep what we have.
      if (stoppedAtInvalid) *stoppedAtInvalid = true;
      break;
    }
    items.push_back(item);
    offset += static_cast<size_t>(shape.length);
  }
  return items;
}

MacroTexts MakeMacroTexts(const TextTables& t) {
  MacroTexts texts;
  texts.formats = t.macroStr;
  texts.formats.resize(kFormatCount);
  texts.buttonNames = t.macroBtStr;
  texts.buttonNames.resize(kButtonNameCount);
  for (Label label : {Label::kOnce, Label::kLoop, Label::kFirekey}) texts.modeLabels.push_back(t[label]);
  return texts;
}

std::string InstructionText(const MacroItem& item, const MacroTexts& texts) {
  const uint8_t opcode = item.bytes[0];
  auto format = [&texts](Format f, std::initializer_list<std::string> args = {}) {
    return Fill(Entry(texts.formats, f), args);
  };
  auto number = [](int value) { return std::to_string(value); };
  std::string text = "Unknown";
  switch (opcode) {
    case 0x00:
    case 0x01: text = "Stop"; break;
    case 0x04: text = format(kFmtOnce); break;
    case 0x05: text = format(kFmtLoop); break;
    case 0x06: text = format(kFmtFire); break;
    case 0x08: text = format(kFmtJump, {number(U16(item, 1))}); break;
    case 0x10: text = format(kFmtLoopJump, {number(U16(item, 1))}); break;
    case 0x18: text = format(kFmtSetAcc, {number(U16(item, 1))}); break;
    case 0x89: text = format(kFmtLongWait, {number(U16(item, 1))}); break;
    case 0x88: text = format(kFmtWait, {number(item.bytes[1])}); break;
    case 0x80: text = format(kFmtMove, {number(S16(item, 1)), number(S16(item, 3))}); break;
    case 0xA0: text = format(kFmtMoveTo, {number(U16(item, 1)), number(U16(item, 3))}); break;
    case 0xC0: text = format(kFmtMoveTo, {number(S16(item, 1)), number(S16(item, 3))}); break;
    case 0x83: text = format(kFmtKeyPress, {LookupKeyName(item.bytes[1])}); break;
    case 0x84: text = format(kFmtKeyRelease, {LookupKeyName(item.bytes[1])}); break;
    case 0x85:
      text = U16(item, 1) == 0 ? format(kFmtConsumerRelease)
                               : format(kFmtConsumerPress, {ConsumerUsageName(U16(item, 1))});
      break;
    default: break;
  }
  switch (opcode & 0xE0) {
    case 0x20: text = format(kFmtPress, {ButtonList(texts, opcode)}); break;
    case 0x40: text = format(kFmtRelease, {ButtonList(texts, opcode)}); break;
    case 0x60: {
      int count = opcode & 0x1F;
      if (count & 0x10) count -= 0x20;
      text = format(kFmtWheel, {number(count)});
      break;
    }
    default: break;
  }
  if (opcode != 0xC0 && (opcode & 0xF0) == 0xC0) text = "System command";
  return text;
}

std::vector<uint8_t> SerialiseItems(const std::vector<MacroItem>& items) {
  std::vector<uint8_t> bytes;
  for (const auto& item : items) {
    int length = std::clamp(item.length, 0, 5);
    bytes.insert(bytes.end(), item.bytes.begin(), item.bytes.begin() + length);
  }
  return bytes;
}

std::vector<uint8_t> SerialiseItemsForDevice(const std::vector<MacroItem>& items) {
  std::vector<uint8_t> bytes = SerialiseItems(items);
  bytes.push_back(0x00);
  return bytes;
}

int ItemsLength(const std::vector<MacroItem>& items) {
  int total = 0;
  for (const auto& item : items) total += std::clamp(item.length, 0, 5);
  return total;
}

MacroItem MakeItem(std::initializer_list<uint8_t> bytes) {
  MacroItem item;
  item.length = static_cast<int32_t>(std::min<size_t>(bytes.size(), 5));
  std::copy_n(bytes.begin(), item.length, item.bytes.begin());
  return item;
}

MacroItem WaitItem(int milliseconds) {
  milliseconds = std::clamp(milliseconds, 0, 65535);
  if (milliseconds <= 255) return MakeItem({0x88, static_cast<uint8_t>(milliseconds)});
  return MakeItem({0x89, static_cast<uint8_t>(milliseconds & 0xFF), static_cast<uint8_t>(milliseconds >> 8)});
}

MacroItem WheelItem(int count) {
  count = std::clamp(count, -16, 15);
  return MakeItem({static_cast<uint8_t>(0x60 | (count & 0x1F))});
}

MacroItem KeyItem(bool press, uint8_t usage) { return MakeItem({static_cast<uint8_t>(press ? 0x83 : 0x84), usage}); }

MacroItem ButtonItem(bool press, uint8_t buttonBits) {
  return MakeItem({static_cast<uint8_t>((press ? 0x20 : 0x40) | (buttonBits & 0x1F))});
}

MacroItem ConsumerItem(uint16_t usage) {
  return MakeItem({0x85, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)});
}

MacroItem MoveItem(int16_t dx, int16_t dy) {
  auto x = static_cast<uint16_t>(dx);
  auto y = static_cast<uint16_t>(dy);
  return MakeItem({0x80, static_cast<uint8_t>(x & 0xFF), static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(y & 0xFF),
                   static_cast<uint8_t>(y >> 8)});
}

MacroItem MoveToItem(int16_t x, int16_t y) {
  MacroItem item = MoveItem(x, y);
  item.bytes[0] = 0xC0;
  return item;
}

int NormaliseMode(int mode) { return mode >= kModeOnce && mode <= kModeFire ? mode : kModeOnce; }

std::string ModeLabel(int mode, const MacroTexts& texts) {
  return Entry(texts.modeLabels, static_cast<size_t>(NormaliseMode(mode) - kModeOnce));
}

}  // namespace quorix
