// Feeds arbitrary bytes to the macro file reader: it must answer with a status
// for every input, and whatever it accepts must survive a rewrite unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "macro/macro_file.h"
#include "texts/text_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const quorix::MacroTexts texts = quorix::MakeMacroTexts(quorix::DefaultTextTables());
  std::span<const uint8_t> bytes(data, size);
  quorix::MacroFileHeader header;
  (void)quorix::ParseMacroFileHeader(bytes, header);
  quorix::MacroFile file;
  if (quorix::ParseMacroFile(bytes, file) != quorix::MacroFileStatus::kOk) return 0;
  for (const auto& item : file.items) (void)quorix::InstructionText(item, texts);
  std::vector<uint8_t> encoded;
  if (quorix::EncodeMacroFile(file.header.name, file.header.mode, file.body, file.header.time, encoded) !=
      quorix::MacroFileStatus::kOk) {
    abort();  // an accepted body is never too large to write back
  }
  quorix::MacroFile again;
  if (quorix::ParseMacroFile(encoded, again) != quorix::MacroFileStatus::kOk) abort();
  if (again.body != file.body || again.header.mode != file.header.mode || again.header.time != file.header.time) abort();
  return 0;
}
