#pragma once
// The initialisation-file engine: our own implementation of the classic
// profile-string calls (read a string with a default, read an integer, write
// a string) that set.ini, language.ini, keyboard.ini, the function libraries
// and macro files are read and written with.
//
// Rules, each one relied on by some file the program reads or writes:
//  1. Lines end at LF, CRLF or CR. Each line is trimmed of spaces and tabs;
//     blank lines are ignored.
//  2. A section header starts with "[" and its name runs to the first "]"
//     (to the end of the line when there is none); text after the "]" is
//     ignored and the name is trimmed. Keys before the first section belong to
//     no section and are never found.
//  3. Lines starting with ";" are comments and never keys. "#" lines are
//     ordinary keys.
//  4. A key line is split at its first "="; key and value are trimmed.
//     "key=" gives the empty string, not the default. A line without "=" is
//     not a key.
//  5. Section and key names match without regard to ASCII case. Only the
//     first matching section is searched, and the first matching key in it
//     wins.
//  6. A returned value loses one matching outer pair of double or single
//     quotes. Inner quotes and an inline ";" or "#" stay part of the value.
//     Backslash sequences stay literal (the language loader unescapes its own).
//  7. A result is cut to the caller's limit: limit - 1 characters (UTF-16
//     units, as the platform counts them; a character is never split). A
//     missing file, section or key gives the caller's default, cut the same
//     way and with its trailing blanks removed. A limit of 0 gives "".
//  8. Integers: an optional sign, then decimal digits (a lowercase "0x"
//     prefix reads hexadecimal), stopping at the first other character. A
//     value with no digits gives 0; an empty value or a missing key gives the
//     default. Overflow wraps to 32 bits.
//  9. Writing replaces the first matching key in place, keeping its spelling.
//     A new key goes after the last non-blank line of its section, a new
//     section at the end of the file. Comment lines and every other line stay
//     as they were. Writing the value a key already holds (as written in the
//     file) changes nothing, and the file is not touched.
// 10. Files are read as UTF-16LE when they start with its byte-order mark,
//     as UTF-8 when they start with its mark or are well-formed UTF-8, and
//     otherwise (a file saved by Windows in its "ANSI" code page) in the
//     reader's code page: 932 (Shift-JIS) when the caller says so and the
//     bytes are 932 text that writes back to the same bytes, else
//     Windows-1252, which reads any bytes. A rewritten file keeps its
//     encoding, its byte-order mark and its line endings (new lines take the
//     file's first line ending). A new file is UTF-8 without a byte-order
//     mark, with LF line ends. A write of text that is not UTF-8, or that
//     has no code in the file's code page, is refused like rule 12: a file
//     in two encodings at once could not be read back by anyone.
// 11. Files are replaced through a temporary file in the same folder and a
//     rename, so a crash never leaves half a file.
// 12. A section, key or value that would break the line structure (a line
//     break anywhere, "]" in a section, "=" in a key, a key starting with ";"
//     or "[", or a key or section with outer blanks) is refused and nothing
//     is written: such a write could never be read back as the same key.
//
// Strings are UTF-8 throughout. Not thread-safe; each document is owned by
// its caller.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/text_encoding.h"

namespace quorix {

// The size of the buffers the program reads values into (1000 characters,
// so at most 999 reach the caller).
inline constexpr size_t kIniValueLimit = 1000;

enum class IniEncoding { kUtf8, kUtf8Bom, kUtf16Le, kWindows1252, kShiftJis };

class IniDocument {
 public:
  // An empty new document (UTF-8, no byte-order mark, LF line ends).
  IniDocument();

  // Decodes file content (rule 10) and splits it into lines. Never fails:
  // any byte string is some document. `ansiCodePage` (kCodePageShiftJis or
  // kCodePageWindows1252) is the code page of a file that is not UTF; the
  // caller knows it from the interface language.
  static IniDocument Parse(std::string_view fileBytes, int ansiCodePage = kCodePageWindows1252);
  // Reads a file. A missing or unreadable file gives an empty new document
  // whose Exists() is false; one that exists but cannot be read also refuses
  // Save, so that its content is never replaced by an empty document.
  static IniDocument Load(const std::string& path, int ansiCodePage = kCodePageWindows1252);

  bool Exists() const { return exists_; }
  // Why a file that is there could not be read ("is a directory",
  // "permission denied"); empty when it was read or is missing.
  const std::string& ReadError() const { return readError_; }
  IniEncoding Encoding() const { return encoding_; }

  // The value as the read calls see it (rules 1-6, quotes stripped, no
  // limit), or nothing when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // GetPrivateProfileString: the value or the default, cut to the limit.
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                        size_t limit = kIniValueLimit) const;
  // GetPrivateProfileInt (rule 8).
  int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const;

  // WritePrivateProfileString on the in-memory text. Returns true when the
  // text changed, false when the key already held the value. Throws
  // std::invalid_argument, with a message for the user, for a name or value
  // that rule 12 refuses or that the file's code page cannot hold (rule 10).
  bool SetString(std::string_view section, std::string_view key, std::string_view value);

  // The file bytes in the document's encoding.
  std::string Serialize() const;
  // Whether SetString changed anything since Parse/Load/Save.
  bool Modified() const { return modified_; }
  // Writes the document through a temporary file and a rename (rule 11) and
  // clears Modified(). Fails (kCannotWriteFile, the detail saying why) when
  // the file could not be written or was unreadable when loaded; the old file
  // is then left as it was.
  Outcome Save(const std::string& path);

 private:
  enum class LineKind { kBlank, kSection, kComment, kKey, kOther };
  struct Line {
    std::string text;    // without its line end
    std::string ending;  // "\n", "\r\n", "\r" or "" (last line without one)
    LineKind kind = LineKind::kBlank;
    std::string name;    // section or key name, trimmed
    std::string value;   // key value, trimmed, quotes kept
  };

  static Line ParseLine(std::string text, std::string ending);
  // Index of the first section header named `section`, or npos.
  size_t FindSection(std::string_view section) const;
  // Index of the first key line named `key` in the section starting at
  // `sectionLine`, or npos.
  size_t FindKey(size_t sectionLine, std::string_view key) const;
  void InsertLine(size_t at, std::string text);

  // The code page of an "ANSI" document, 0 for the UTF encodings.
  int CodePage() const;

  std::vector<Line> lines_;
  IniEncoding encoding_ = IniEncoding::kUtf8;
  std::string newline_ = "\n";
  bool exists_ = false;
  std::string readError_;
  bool modified_ = false;
};

// The profile-string calls on a file path, each reading the file afresh.
std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, size_t limit = kIniValueLimit);
int32_t GetProfileInt(const std::string& path, std::string_view section, std::string_view key, int32_t defaultValue);
// Fails (kCannotWriteFile, the detail saying why) when the file could not be
// written or the input is refused (rule 12). Writing an unchanged value
// succeeds without touching the file.
Outcome WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view value);

// Rule 8 on a value already read (exposed for callers that parse values
// they got as strings).
int32_t ParseProfileInt(std::string_view value, int32_t defaultValue);

}  // namespace quorix
