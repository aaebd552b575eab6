#pragma once
// The on-screen keyboard of the button settings window, read from
// keyboard.ini beside the executable.
//
// keyboard.ini is an initialisation file; reading it needs the ini engine,
// which lives above this module (options). So the layout is read through a
// ProfileReader that the caller binds to the engine: keys stays free of any
// file-format code and a test can hand in a map.

#include <functional>
#include <string>
#include <vector>

#include "keys/button_function.h"
#include "keys/scan_codes.h"
#include "texts/language.h"

namespace quorix {

// The profile-string reads keyboard.ini is read with, bound to one file.
struct ProfileReader {
  // Value of section/key, or def when the key is missing.
  std::function<std::string(const std::string& section, const std::string& key, const std::string& def)> readString;
  // Value of section/key as an integer, or def when the key is missing.
  std::function<long long(const std::string& section, const std::string& key, long long def)> readInt;
};

inline constexpr int kMaxKeyboardKeys = 140;

struct KeyboardKey {
  std::string legend;       // "\n" in the file stands for a line break
  int x = 0, y = 0, width = 0, height = 0;  // scaled, relative to the keyboard area
  int code = 0;             // set-1 scan code
  int hwcode = 0;           // HID usage sent to the mouse
  int chwcode = 0;          // consumer usage; non-zero makes a media key
  int modify = 0;           // modifier-mask bit of a modifier key
  int smallFont = 0;
  bool selected = false;
  int left = 0, top = 0, right = 0, bottom = 0;  // hit rectangle in window pixels
};

struct KeyboardLayout {
  double scale = 0.87;
  int originX = 0, originY = 0;
  std::vector<KeyboardKey> keys;  // in section order, at most 140
  int extentWidth = 0;            // largest x + width + 1
  int extentHeight = 0;           // largest y + height + 1
};

// Reads sections "KEY 1".."KEY 140"; a section counts when it has a name or a
// consumer usage. Media keys take the consumer-key name as their legend; keys
// without hwcode get it from their scan code. A missing file (every read at
// its default) gives an empty list with scale 0.87.
KeyboardLayout LoadKeyboardLayout(const ProfileReader& reader, const KeyTexts& texts,
                                  const ScanCodeTable& scanCodes = BuiltInScanCodeTable());

}  // namespace quorix
