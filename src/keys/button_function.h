#pragma once
// The four-byte button function (type and three parameters) that says what a
// control of the mouse does in one profile, its display text, and the names
// of the physical buttons.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "keys/key_tables.h"

namespace quorix {

struct TextTables;

struct ButtonFunction {
  uint8_t type = 0;
  uint8_t p1 = 0;
  uint8_t p2 = 0;
  uint8_t p3 = 0;
  bool operator==(const ButtonFunction&) const = default;
};

// Function types the system builds or names specially.
enum FunctionType : int {
  kFnDefault = 0,
  kFnNone = 1,
  kFnHidKey1 = 2,
  kFnHidKey2 = 3,
  kFnMouse = 4,
  kFnKeyboard = 5,
  kFnMultimedia = 6,
  kFnMacroOnce = 8,
  kFnMacroLoop = 9,
  kFnMacroFire = 10,
  kFnDpiUp = 12,
  kFnDpiDown = 13,
  kFnDpiLoop = 14,
  kFnDpiFirekey = 15,
  kFnProfileSwitch = 17,
  kFnAdjustDpi = 21,
  kFnScrollHotkey = 24,
  kFnScrollConsumer = 25,
  kFnFireButton = 27,
  kFnLockX = 30,
  kFnLockY = 31,
  kFnProfileSelect = 36,
};
inline constexpr int kMaxFunctionType = 36;

// Every name the function texts use, taken from the text tables so that the
// language file changes them. Built once at start-up; read-only afterwards.
struct KeyTexts {
  std::vector<std::string> functionTypeNames;  // FunctionTypeNames, index = type (40)
  std::vector<std::string> mouseActionNames;   // MouseActionNames (9)
  std::vector<std::string> buttonOrderNames;   // ButtonOrderNames (18)
  std::vector<std::string> buttonLabelNames;   // ButtonLabelNames (32)
  std::vector<KeyName> consumerKeys;           // ConsumerKeyTable with its names
  std::string launchText;                      // "Launch setting"
  std::string profileWord = "Profile";         // built in, never translated
};
KeyTexts MakeKeyTexts(const TextTables& texts);

// The model's sensitivity step: 100 for model code 0x12, else 50.
int DpiStepForModel(int modelCode);

// Display text of a function; "" for types above 36. dpiStep scales the DPI
// firekey steps.
std::string FunctionText(const KeyTexts& texts, int type, int p1, int p2, int p3, int dpiStep = 50);
inline std::string FunctionText(const KeyTexts& texts, const ButtonFunction& f, int dpiStep = 50) {
  return FunctionText(texts, f.type, f.p1, f.p2, f.p3, dpiStep);
}

// True for a macro button (types 8..10 with p3 = 0); its code address is
// p1 + 256 * p2.
bool IsMacroFunction(const ButtonFunction& f);
inline int MacroCodeAddress(const ButtonFunction& f) { return f.p1 + 256 * f.p2; }

// Given a macro code address, the name of the macro stored there, or "" when
// no used slot starts its code there. Supplied by whoever holds the slots.
using MacroNameLookup = std::function<std::string(int codeAddress)>;

// The text the main window shows for a button: a macro button shows the name
// of its macro (empty when no slot matches), every other function its
// FunctionText.
std::string ButtonDisplayText(const KeyTexts& texts, const ButtonFunction& f, const MacroNameLookup& macroName,
                              int dpiStep = 50);

// A stored type 0 means "the button's factory function".
ButtonFunction ResolveDefault(const ButtonFunction& profileRecord, const ButtonFunction& factoryRecord);

}  // namespace quorix
