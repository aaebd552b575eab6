#include "keys/button_function.h"

#include "texts/text_tables.h"

namespace quorix {

namespace {

const std::string& Entry(const std::vector<std::string>& table, size_t index) {
  static const std::string empty;
  return index < table.size() ? table[index] : empty;
}

std::vector<std::string> Padded(std::vector<std::string> table, size_t size) {
  table.resize(size);
  return table;
}

// Names of the set bits 0..4 of a mouse button mask, without separators.
std::string ButtonMaskText(const KeyTexts& texts, int mask) {
  static const int kActions[] = {kLeftClick, kRightClick, kWheelClick, kBackward, kForward};
  std::string text;
  for (int bit = 0; bit < 5; ++bit) {
    if (mask & (1 << bit)) text += Entry(texts.mouseActionNames, static_cast<size_t>(kActions[bit]));
  }
  return text;
}

// One side of a scroll hot-key: the modifier prefix and the key name, or the
// prefix without its trailing " + " when the key has no name.
std::string HotkeySide(int modifiers, int usage) { return KeyComboText(usage, modifiers, 1 << 30); }

}  // namespace

KeyTexts MakeKeyTexts(const TextTables& texts) {
  KeyTexts result;
  result.functionTypeNames = Padded(texts.typeStr, 40);
  result.mouseActionNames = Padded(texts.mouseStr, kMouseActionCount);
  result.buttonOrderNames = Padded(texts.btOrderStr, 18);
  result.buttonLabelNames = Padded(texts.btLabelStr, 32);
  result.consumerKeys = ConsumerKeyTable(texts);
  result.launchText = texts.launchStr;
  return result;
}

int DpiStepForModel(int modelCode) { return modelCode == 0x12 ? 100 : 50; }

bool IsMacroFunction(const ButtonFunction& f) {
  return f.type >= kFnMacroOnce && f.type <= kFnMacroFire && f.p3 == 0;
}

std::string FunctionText(const KeyTexts& texts, int type, int p1, int p2, int p3, int dpiStep) {
  if (type < 0 || type > kMaxFunctionType) return "";
  p1 &= 0xFF;
  p2 &= 0xFF;
  p3 &= 0xFF;
  const auto& names = texts.functionTypeNames;
  const auto& actions = texts.mouseActionNames;
  std::string text = Entry(names, static_cast<size_t>(type));
  switch (type) {
    case kFnHidKey1:
      if (p1 == 1 && p2 == 0 && p3 == 0) text = "Virtual Touch (Windows 8)";
      break;
    case kFnHidKey2:
      if (p1 == 1 && p2 == 0 && p3 == 0) text = texts.launchText;
      break;
    case kFnMouse:
      text = ButtonMaskText(texts, p1);
      if (p2 & 0x80) {
        text = Entry(actions, kScrollDown);
      } else if (p2 > 0) {
        text = Entry(actions, kScrollUp);
      }
      if (p3 & 0x80) {
        text = Entry(actions, kTiltLeft);
      } else if (p3 > 0) {
        text = Entry(actions, kTiltRight);
      }
      if (text.empty()) text = Entry(names, kFnNone);
      break;
    case kFnKeyboard:
      text = KeyComboText(p2, p1, 1 << 30);
      break;
    case kFnMultimedia:
      text = LookupConsumerKeyName(texts.consumerKeys, p1 + 256 * p2);
      break;
    case kFnMacroOnce:
    case kFnMacroLoop:
    case kFnMacroFire:
      if (p3 == 0xFF) {
        int code = p1 + 256 * p2;
        if (code == 0) text = Entry(actions, kTiltLeft);
        if (code == 10) text = Entry(actions, kTiltRight);
      }
      break;
    case kFnDpiFirekey:
      if (p1 == 0 && p2 == 0xFF) {
        text = Entry(names, kFnLockX);
      } else if (p1 == 0xFF && p2 == 0) {
        text = Entry(names, kFnLockY);
      } else {
        text += "\n[X:" + std::to_string(p1 * dpiStep) + " , Y:" + std::to_string(p2 * dpiStep) + "]";
      }
      if (p3 != 0) text += " " + ButtonMaskText(texts, p3);
      break;
    case kFnScrollHotkey:
      text = "[AS] " + HotkeySide(p1, p2) + " / " + HotkeySide(p1, p3);
      break;
    case kFnScrollConsumer:
      text = "[AS] " + LookupConsumerKeyName(texts.consumerKeys, p1 + 256 * (p3 & 0x0F)) + " / " +
             LookupConsumerKeyName(texts.consumerKeys, p2 + 256 * ((p3 >> 4) & 0x0F));
      break;
    case kFnFireButton: {
      text.clear();
      if (p1 & 0x01) text += Entry(actions, kLeftClick);
      static const int kOthers[] = {kRightClick, kWheelClick, kBackward, kForward};
      for (int bit = 1; bit < 5; ++bit) {
        if (p1 & (1 << bit)) text += " " + Entry(actions, static_cast<size_t>(kOthers[bit - 1]));
      }
      for (size_t at; (at = text.find("  ")) != std::string::npos;) text.erase(at, 1);
      if (p3 != 0) {
        text += " x" + std::to_string(p3);
      } else {
        text = Entry(names, kFnFireButton) + " (" + std::to_string(p2 * 10) + "ms)";
      }
      break;
    }
    case kFnProfileSelect:
      text = texts.profileWord + " " + std::to_string(p1 + 1);
      break;
    default:
      break;
  }
  return text;
}

std::string ButtonDisplayText(const KeyTexts& texts, const ButtonFunction& f, const MacroNameLookup& macroName,
                              int dpiStep) {
  if (IsMacroFunction(f)) return macroName ? macroName(MacroCodeAddress(f)) : std::string();
  return FunctionText(texts, f, dpiStep);
}

ButtonFunction ResolveDefault(const ButtonFunction& profileRecord, const ButtonFunction& factoryRecord) {
  return profileRecord.type == kFnDefault ? factoryRecord : profileRecord;
}

}  // namespace quorix
