#include "base/ini_file.h"

#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "base/file_replace.h"
#include "base/text_case.h"
#include "base/text_encoding.h"

namespace quorix {

namespace {

constexpr size_t npos = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::string_view StripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != npos; }

}  // namespace

IniDocument::IniDocument() = default;

IniDocument::Line IniDocument::ParseLine(std::string text, std::string ending) {
  Line line;
  line.ending = std::move(ending);
  const std::string_view t = Trim(text);
  if (t.empty()) {
    line.kind = LineKind::kBlank;
  } else if (t.front() == '[') {
    line.kind = LineKind::kSection;
    const size_t close = t.find(']');
    line.name = std::string(Trim(t.substr(1, close == npos ? npos : close - 1)));
  } else if (t.front() == ';') {
    line.kind = LineKind::kComment;
  } else if (const size_t eq = t.find('='); eq != npos) {
    line.kind = LineKind::kKey;
    line.name = std::string(Trim(t.substr(0, eq)));
    line.value = std::string(Trim(t.substr(eq + 1)));
  } else {
    line.kind = LineKind::kOther;
  }
  line.text = std::move(text);
  return line;
}

IniDocument IniDocument::Parse(std::string_view bytes, int ansiCodePage) {
  IniDocument doc;
  doc.exists_ = true;
  std::string text;
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
    doc.encoding_ = IniEncoding::kUtf16Le;
    text = Utf16LeToUtf8(bytes.substr(2));
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    doc.encoding_ = IniEncoding::kUtf8Bom;
    text = std::string(bytes.substr(3));
  } else if (IsUtf8(bytes)) {
    text = std::string(bytes);
  } else {
    // Windows wrote it in its ANSI code page. 932 text is taken only when it
    // writes back to the very same bytes (some characters have two codes),
    // so that a rewrite changes nothing but the key written; anything else
    // reads as 1252, which gives back every byte.
    std::optional<std::string> decoded;
    if (ansiCodePage == kCodePageShiftJis) decoded = AnsiToUtf8(bytes, kCodePageShiftJis);
    if (decoded && Utf8ToAnsi(*decoded, kCodePageShiftJis) == bytes) {
      doc.encoding_ = IniEncoding::kShiftJis;
    } else {
      doc.encoding_ = IniEncoding::kWindows1252;
      decoded = AnsiToUtf8(bytes, kCodePageWindows1252);
    }
    text = std::move(*decoded);
  }

  bool endingSeen = false;
  size_t start = 0;
  while (start < text.size()) {
    const size_t brk = text.find_first_of("\r\n", start);
    if (brk == npos) {
      doc.lines_.push_back(ParseLine(text.substr(start), ""));
      break;
    }
    const size_t endLen = (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? 2 : 1;
    std::string ending = text.substr(brk, endLen);
    if (!endingSeen) {
      doc.newline_ = ending;
      endingSeen = true;
    }
    doc.lines_.push_back(ParseLine(text.substr(start, brk - start), std::move(ending)));
    start = brk + endLen;
  }
  return doc;
}

IniDocument IniDocument::Load(const std::string& path, int ansiCodePage) {
  const Result<std::string> bytes = ReadFileContents(path, std::numeric_limits<size_t>::max());
  if (!bytes) {
    // A file that is there but cannot be read must not be replaced by a
    // document that lost all its lines; a missing one is simply empty.
    IniDocument empty;
    std::error_code ignored;
    if (std::filesystem::status(path, ignored).type() != std::filesystem::file_type::not_found)
      empty.readError_ = bytes.detail();
    return empty;
  }
  return Parse(*bytes, ansiCodePage);
}

int IniDocument::CodePage() const {
  switch (encoding_) {
    case IniEncoding::kWindows1252:
      return kCodePageWindows1252;
    case IniEncoding::kShiftJis:
      return kCodePageShiftJis;
    default:
      return 0;
  }
}

size_t IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && EqualsNoCase(lines_[i].name, section)) return i;
  }
  return npos;
}

size_t IniDocument::FindKey(size_t sectionLine, std::string_view key) const {
  for (size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection; ++i) {
    if (lines_[i].kind == LineKind::kKey && EqualsNoCase(lines_[i].name, key)) return i;
  }
  return npos;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  const size_t s = FindSection(section);
  if (s == npos) return std::nullopt;
  const size_t k = FindKey(s, key);
  if (k == npos) return std::nullopt;
  return std::string(StripQuotes(lines_[k].value));
}

std::string IniDocument::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                   size_t limit) const {
  if (limit == 0) return {};
  if (std::optional<std::string> value = Find(section, key)) return CutToUtf16Units(*value, limit - 1);
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return CutToUtf16Units(defaultValue, limit - 1);
}

int32_t IniDocument::GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const {
  const std::optional<std::string> value = Find(section, key);
  return value ? ParseProfileInt(*value, defaultValue) : defaultValue;
}

int32_t ParseProfileInt(std::string_view value, int32_t defaultValue) {
  if (value.empty()) return defaultValue;
  size_t i = 0;
  bool negative = false;
  if (value[i] == '+' || value[i] == '-') negative = value[i++] == '-';
  uint32_t base = 10;
  if (i + 1 < value.size() && value[i] == '0' && value[i + 1] == 'x') {
    base = 16;
    i += 2;
  }
  uint32_t result = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; i < value.size(); ++i) {
    const char c = value[i];
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      break;
    }
    result = result * base + digit;
  }
  if (negative) result = 0u - result;
  return static_cast<int32_t>(result);
}

void IniDocument::InsertLine(size_t at, std::string text) {
  // The line before the insertion point may be the file's unterminated last line.
  if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::move(text), newline_));
}

bool IniDocument::SetString(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || section.find(']') != npos || Trim(section) != section) {
    throw std::invalid_argument("section name cannot be written: " + std::string(section));
  }
  if (key.empty() || HasLineBreak(key) || key.find('=') != npos || key.front() == ';' || key.front() == '[' ||
      Trim(key) != key) {
    throw std::invalid_argument("key name cannot be written: " + std::string(key));
  }
  if (HasLineBreak(value)) throw std::invalid_argument("a value cannot hold a line break");
  // Text that is not UTF-8 would turn a UTF-8 file into one that reads as
  // a code page next time, garbling every other line.
  for (const std::string_view text : {section, key, value}) {
    if (!IsUtf8(text)) throw std::invalid_argument("text that is not UTF-8 cannot be stored");
  }
  if (const int codePage = CodePage(); codePage != 0) {
    for (const std::string_view text : {section, key, value}) {
      std::string bad;
      if (!Utf8ToAnsi(text, codePage, &bad)) {
        throw std::invalid_argument("\"" + bad + "\" cannot be stored in this file, which is in " +
                                    CodePageName(codePage));
      }
    }
  }

  const size_t s = FindSection(section);
  if (s == npos) {
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), std::string(key) + "=" + std::string(value));
    modified_ = true;
    return true;
  }
  if (const size_t k = FindKey(s, key); k != npos) {
    if (lines_[k].value == value) return false;
    std::string ending = lines_[k].ending;
    lines_[k] = ParseLine(lines_[k].name + "=" + std::string(value), std::move(ending));
    modified_ = true;
    return true;
  }
  size_t last = s;
  for (size_t i = s + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection; ++i) {
    if (lines_[i].kind != LineKind::kBlank) last = i;
  }
  InsertLine(last + 1, std::string(key) + "=" + std::string(value));
  modified_ = true;
  return true;
}

std::string IniDocument::Serialize() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.ending;
  }
  switch (encoding_) {
    case IniEncoding::kUtf16Le:
      return "\xFF\xFE" + Utf8ToUtf16Le(text);
    case IniEncoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + text;
    case IniEncoding::kWindows1252:
    case IniEncoding::kShiftJis:
      // Every line either came from the file or passed SetString's check.
      return Utf8ToAnsi(text, CodePage()).value();
    case IniEncoding::kUtf8:
      break;
  }
  return text;
}

Outcome IniDocument::Save(const std::string& path) {
  if (!readError_.empty()) return Outcome(Failure::kCannotWriteFile, "it could not be read first (" + readError_ + ")");
  if (Outcome written = ReplaceFileContents(path, Serialize()); !written) return written;
  exists_ = true;
  modified_ = false;
  return {};
}

std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, size_t limit) {
  return IniDocument::Load(path).GetString(section, key, defaultValue, limit);
}

int32_t GetProfileInt(const std::string& path, std::string_view section, std::string_view key,
                      int32_t defaultValue) {
  return IniDocument::Load(path).GetInt(section, key, defaultValue);
}

Outcome WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view value) {
  IniDocument doc = IniDocument::Load(path);
  try {
    if (!doc.SetString(section, key, value)) return {};
  } catch (const std::invalid_argument&) {
    return Outcome(Failure::kCannotWriteFile, "the value cannot be stored");
  }
  return doc.Save(path);
}

}  // namespace quorix
