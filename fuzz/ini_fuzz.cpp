// The ini engine reads files that users and other programs edit: any bytes
// must parse, in either code page of files without a byte-order mark, and a
// write followed by a read must give back what was written, or be refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/ini_file.h"

namespace {

void Check(std::string_view bytes, int codePage) {
  quorix::IniDocument doc = quorix::IniDocument::Parse(bytes, codePage);
  for (const char* section : {"ARG", "1041", "S", ""}) {
    for (const char* key : {"osd", "language", "k", "button_str0", ""}) {
      (void)doc.GetString(section, key, "@_NOSTR_", 17);
      (void)doc.GetInt(section, key, 7);
    }
  }
  // Untouched documents serialise to their own bytes, apart from re-encoding
  // of UTF-16 files.
  if (doc.Encoding() != quorix::IniEncoding::kUtf16Le && doc.Serialize() != bytes) std::abort();

  // The raw bytes of the first line as a value: a file in a code page refuses
  // what it cannot hold, and then stays as it was.
  const std::string value(bytes.substr(0, bytes.find_first_of("\r\n")));
  bool stored = true;
  try {
    doc.SetString("ARG", "osd", value);
  } catch (const std::invalid_argument&) {
    stored = false;
    if (doc.Modified()) std::abort();
  }
  doc.SetString("New Section", "k", "v");
  const quorix::IniDocument again = quorix::IniDocument::Parse(doc.Serialize(), codePage);
  if (again.GetString("New Section", "k", "@_NOSTR_") != "v") std::abort();
  // What was written is read back, unless the file's own bytes are not valid
  // UTF-16 text and re-encoding changed them.
  if (stored && doc.Encoding() != quorix::IniEncoding::kUtf16Le) {
    std::string_view expect = value;
    while (!expect.empty() && (expect.front() == ' ' || expect.front() == '\t')) expect.remove_prefix(1);
    while (!expect.empty() && (expect.back() == ' ' || expect.back() == '\t')) expect.remove_suffix(1);
    const std::string got = again.GetString("ARG", "osd", "@_NOSTR_", 1u << 30);
    const bool quoted = expect.size() >= 2 && (expect.front() == '"' || expect.front() == '\'') &&
                        expect.back() == expect.front();
    if (!quoted && got != expect) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes, quorix::kCodePageWindows1252);
  Check(bytes, quorix::kCodePageShiftJis);
  return 0;
}
