// Splits arbitrary bytes into macro instructions and renders every text: the
// split must end, stay in bounds and give back a prefix of its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "macro/macro_instruction.h"
#include "texts/text_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quorix::MacroTexts texts = quorix::MakeMacroTexts(quorix::DefaultTextTables());
  auto items = quorix::SplitInstructions(data, size);
  for (const auto& item : items) {
    if (item.length < 1 || item.length > 5) abort();
    (void)quorix::InstructionText(item, texts);
  }
  auto bytes = quorix::SerialiseItems(items);
  // Only the last instruction may run past the input (its operands read as 0).
  if (bytes.size() > size + 4) abort();
  size_t exact = bytes.size() <= size ? bytes.size() : size;
  if (exact > 0 && std::memcmp(bytes.data(), data, exact) != 0) abort();
  return 0;
}
