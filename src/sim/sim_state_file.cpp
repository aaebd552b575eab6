#include "sim/sim_state_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/file_replace.h"

namespace quorix::sim {
namespace {

constexpr const char* kHeader = "quorix-sim-state 1";
constexpr size_t kBytesPerLine = 32;

class LineReader {
 public:
  explicit LineReader(const std::string& text) : text_(text) {}

  std::string Next(const char* what) {
    if (pos_ >= text_.size()) throw SimStateError(std::string("truncated before ") + what);
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    std::string line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    ++number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }

  bool AtEnd() const {
    for (size_t i = pos_; i < text_.size(); ++i) {
      if (text_[i] != '\n' && text_[i] != '\r') return false;
    }
    return true;
  }

  int Number() const { return number_; }

 private:
  const std::string& text_;
  size_t pos_ = 0;
  int number_ = 0;
};

// "key N" with N a decimal integer in [min, max].
long KeyValue(LineReader& reader, const std::string& key, long min, long max) {
  const std::string line = reader.Next(key.c_str());
  const std::string prefix = key + " ";
  const std::string where = " (line " + std::to_string(reader.Number()) + ")";
  if (line.rfind(prefix, 0) != 0) throw SimStateError("expected \"" + key + "\"" + where);
  const std::string digits = line.substr(prefix.size());
  size_t i = digits.size() > 1 && digits[0] == '-' ? 1 : 0;
  if (digits.size() == i || digits.size() > 12) throw SimStateError("bad value for " + key + where);
  for (; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') throw SimStateError("bad value for " + key + where);
  }
  const long value = std::stol(digits);
  if (value < min || value > max) throw SimStateError(key + " out of range" + where);
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string SerializeSimState(const SimState& state) {
  static const char* const kHex = "0123456789abcdef";
  std::string out;
  out.reserve(state.memory.size() * 2 + state.memory.size() / kBytesPerLine + 100);
  out += kHeader;
  out += "\nlevel " + std::to_string(state.protocolLevel);
  out += "\nprofile " + std::to_string(state.activeProfile);
  out += "\nselection " + std::to_string(state.dpiSelection);
  out += "\nmemory " + std::to_string(state.memory.size()) + "\n";
  for (size_t i = 0; i < state.memory.size(); ++i) {
    out += kHex[state.memory[i] >> 4];
    out += kHex[state.memory[i] & 15];
    if ((i + 1) % kBytesPerLine == 0 || i + 1 == state.memory.size()) out += '\n';
  }
  out += "end\n";
  return out;
}

SimState ParseSimState(const std::string& text) {
  LineReader reader(text);
  if (reader.Next("the header") != kHeader) throw SimStateError("not a simulator state file (bad header)");
  SimState state;
  state.protocolLevel = static_cast<int>(KeyValue(reader, "level", -255, 255));
  state.activeProfile = static_cast<int>(KeyValue(reader, "profile", 0, 255));
  state.dpiSelection = static_cast<int>(KeyValue(reader, "selection", 0, 255));
  const auto size = static_cast<size_t>(KeyValue(reader, "memory", 1, kMaxStateMemory));
  state.memory.reserve(std::min(size, text.size() / 2));  // never trust the header for the allocation
  while (state.memory.size() < size) {
    const std::string line = reader.Next("the end of the memory");
    const size_t expected = std::min(kBytesPerLine, size - state.memory.size());
    const std::string where = " (line " + std::to_string(reader.Number()) + ")";
    if (line.size() != 2 * expected) throw SimStateError("memory line of the wrong length" + where);
    for (size_t i = 0; i < line.size(); i += 2) {
      const int hi = HexDigit(line[i]);
      const int lo = HexDigit(line[i + 1]);
      if (hi < 0 || lo < 0) throw SimStateError("bad hex digit in memory" + where);
      state.memory.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
  }
  if (reader.Next("\"end\"") != "end") throw SimStateError("expected \"end\" (line " + std::to_string(reader.Number()) + ")");
  if (!reader.AtEnd()) throw SimStateError("unexpected text after \"end\"");
  return state;
}

void SaveSimState(const SimMouse& mouse, const std::string& file) {
  const std::string text = SerializeSimState(mouse.Save());
  if (const Outcome written = ReplaceFileContents(file, text); !written)
    throw SimStateError("cannot write simulator state " + file + ": " + written.detail);
}

void CheckSimStateWritable(const std::string& file) {
  if (const Outcome writable = CanReplaceFile(file); !writable)
    throw SimStateError("cannot write simulator state " + file + ": " + writable.detail);
}

std::string ResolvedSimStatePath(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path path = fs::absolute(file, error);
  if (error) path = file;
  // The state file itself may be missing (the first run creates it);
  // weakly_canonical resolves the links of the part that exists.
  const fs::path canonical = fs::weakly_canonical(path, error);
  return (error ? path.lexically_normal() : canonical).string();
}

void LoadSimState(SimMouse& mouse, const std::string& file) {
  // A state file holds a few dozen KiB of memory lines; a limit keeps a
  // wrong path (a device, a huge file) from being read whole.
  constexpr size_t kMaxStateFileSize = 16u << 20;
  const Result<std::string> text = ReadFileContents(file, kMaxStateFileSize);
  if (!text) throw SimStateError("cannot read simulator state " + file + ": " + text.detail());
  try {
    mouse.Restore(ParseSimState(*text));
  } catch (const SimStateError& e) {
    throw SimStateError("simulator state " + file + ": " + e.what());
  }
}

}  // namespace quorix::sim
