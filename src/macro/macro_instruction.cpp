#include "macro/macro_instruction.h"

#include <algorithm>

#include "keys/key_tables.h"

namespace quorix {

namespace {

int U16(const MacroItem& item, int at) { return item.bytes[at] | (item.bytes[at + 1] << 8); }
int S16(const MacroItem& item, int at) { return static_cast<int16_t>(static_cast<uint16_t>(U16(item, at))); }

std::string ButtonList(uint8_t opcode) {
  static const char* const kNames[] = {"Left", "Right", "Middle", "B4", "B5"};
  std::string list;
  for (int bit = 0; bit < 5; ++bit) {
    if (opcode & (1 << bit)) list += std::string(" ") + kNames[bit] + " ";
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

std::string InstructionText(const MacroItem& item) {
  const uint8_t opcode = item.bytes[0];
  std::string text = "Unknown";
  switch (opcode) {
    case 0x00:
    case 0x01: text = "Stop"; break;
    case 0x04: text = "Execute one time"; break;
    case 0x05: text = "Loop mode"; break;
    case 0x06: text = "Firekey mode"; break;
    case 0x08: text = "Jump to address " + std::to_string(U16(item, 1)); break;
    case 0x10: text = "Set ACC=ACC-1, if ACC!=0 then jump to address " + std::to_string(U16(item, 1)); break;
    case 0x18: text = "Set ACC=" + std::to_string(U16(item, 1)); break;
    case 0x89: text = std::to_string(U16(item, 1)) + " ms"; break;
    case 0x88: text = "Wait " + std::to_string(item.bytes[1]) + " ms"; break;
    case 0x80:
      text = "Mouse Movement (" + std::to_string(S16(item, 1)) + " , " + std::to_string(S16(item, 3)) + ")";
      break;
    case 0xA0:
      text = "Mouse Move to (" + std::to_string(U16(item, 1)) + " , " + std::to_string(U16(item, 3)) + ")";
      break;
    case 0xC0:
      text = "Mouse Move to (" + std::to_string(S16(item, 1)) + " , " + std::to_string(S16(item, 3)) + ")";
      break;
    case 0x83: text = "Press & hold Keyboard  " + LookupKeyName(item.bytes[1]); break;
    case 0x84: text = "Release Keyboard  " + LookupKeyName(item.bytes[1]); break;
    case 0x85:
      text = U16(item, 1) == 0 ? std::string("Release Consumer-key")
                               : "Press & hold Consumer-key  " + ConsumerUsageName(U16(item, 1));
      break;
    default: break;
  }
  switch (opcode & 0xE0) {
    case 0x20: text = "Press & hold mouse button " + ButtonList(opcode); break;
    case 0x40: text = "Release mouse button " + ButtonList(opcode); break;
    case 0x60: {
      int count = opcode & 0x1F;
      if (count & 0x10) count -= 0x20;
      text = "Wheel Scrolling  " + std::to_string(count) + " count(unit)";
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

std::string ModeLabel(int mode) {
  if (mode == kModeLoop) return "Loop mode";
  if (mode == kModeFire) return "Firekey mode";
  return "One time mode";
}

}  // namespace quorix
