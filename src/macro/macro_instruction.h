#pragma once
// Macro instructions: the byte encoding the mouse runs, shared by the device's
// macro memory, macro files, backup files and the editor. An instruction is an
// opcode byte and 0, 1, 2 or 4 little-endian operand bytes; a stored body ends
// with a single 0x00.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorix {

struct TextTables;

// One instruction as the editor holds it (_MACRO_ITEM_).
struct MacroItem {
  int32_t length = 0;              // valid bytes in `bytes`, 1..5
  std::array<uint8_t, 8> bytes{};  // the encoding, opcode first; 5 used
  uint32_t time = 0;               // tick at creation by the user; 0 when read
  // Two items are equal when they encode the same instruction; the bytes past
  // `length` are whatever followed the instruction where it was read.
  bool operator==(const MacroItem& other) const;
};

// Instruction kinds.
inline constexpr int kInstructionOrdinary = 0;
inline constexpr int kInstructionModeMarker = 2;
inline constexpr int kInstructionInvalid = -1;

struct InstructionShape {
  int length = 0;  // 0 for an invalid opcode
  int kind = kInstructionInvalid;
};

// Length and kind of the instruction whose opcode is `opcode`.
InstructionShape InstructionLength(uint8_t opcode);

// Reads the instruction at data[0] (available bytes readable) into item: its
// length and the first five bytes, zeros for bytes beyond `available`.
InstructionShape ReadInstruction(const uint8_t* data, size_t available, MacroItem& item);

// Splits a byte string into instructions from offset 0 until its end or a
// 0x00 byte (not included). An invalid opcode ends the split there: the
// instructions before it are kept. An instruction cut short by the end of the
// string is kept with zero operand bytes. At most maxItems items are taken.
// `stoppedAtInvalid`, when given, says whether an invalid opcode ended it.
std::vector<MacroItem> SplitInstructions(const uint8_t* data, size_t size, size_t maxItems = SIZE_MAX,
                                         bool* stoppedAtInvalid = nullptr);
inline std::vector<MacroItem> SplitInstructions(const std::vector<uint8_t>& bytes) {
  return SplitInstructions(bytes.data(), bytes.size());
}

// The texts instructions and modes are shown with, taken from the text
// tables so that the language file changes them: the instruction formats
// ("macro_str%d", in TextTables::macroStr order, "%d" and "%s" filled in
// order), the mouse button names ("macro_bt_str%d": left, right, middle, B4,
// B5) and the editor's mode labels ("button_str15".."17": modes 8, 9, 10).
// "Stop", "Unknown" and "System command" are not translated.
struct MacroTexts {
  std::vector<std::string> formats;      // 17
  std::vector<std::string> buttonNames;  // 5
  std::vector<std::string> modeLabels;   // 3
};
MacroTexts MakeMacroTexts(const TextTables& texts);

// The display text of an instruction.
std::string InstructionText(const MacroItem& item, const MacroTexts& texts);

// The concatenated bytes of the items: the file form. The device form adds
// the 0x00 terminator.
std::vector<uint8_t> SerialiseItems(const std::vector<MacroItem>& items);
std::vector<uint8_t> SerialiseItemsForDevice(const std::vector<MacroItem>& items);
// Sum of the items' lengths.
int ItemsLength(const std::vector<MacroItem>& items);

// Builders for the forms the editor and the recorder produce.
MacroItem MakeItem(std::initializer_list<uint8_t> bytes);
MacroItem WaitItem(int milliseconds);        // 0x88 up to 255 ms, else 0x89 (at most 65535)
MacroItem WheelItem(int count);              // -16..15
MacroItem KeyItem(bool press, uint8_t usage);
MacroItem ButtonItem(bool press, uint8_t buttonBits);
MacroItem ConsumerItem(uint16_t usage);      // usage 0 releases
MacroItem MoveItem(int16_t dx, int16_t dy);
MacroItem MoveToItem(int16_t x, int16_t y);  // absolute, signed (0xC0)

// Execution modes (stored per slot; also the button function type).
inline constexpr int kModeOnce = 8;
inline constexpr int kModeLoop = 9;
inline constexpr int kModeFire = 10;
// 8, 9 or 10; any other value reads as 8.
int NormaliseMode(int mode);
// The editor's label of a mode ("One time mode", "Loop mode", "Firekey
// mode" in English); any mode other than 9 and 10 is labelled as 8.
std::string ModeLabel(int mode, const MacroTexts& texts);

}  // namespace quorix
