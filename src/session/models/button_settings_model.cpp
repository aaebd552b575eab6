#include "session/models/button_settings_model.h"

#include <algorithm>
#include <cstdio>

#include "base/ini_file.h"
#include "keys/scan_codes.h"
#include "macro/macro_memory.h"
#include "settings/field_writes.h"

namespace quorix {
namespace {

const std::string& At(const std::vector<std::string>& table, size_t index) {
  static const std::string empty;
  return index < table.size() ? table[index] : empty;
}

// The caption of "Profile n": the language file's text for type 36, when it
// has one, is the format of the number; otherwise the profile word and the number.
std::string ProfileCaption(const KeyTexts& keyTexts, const TextTables& texts, int number) {
  const std::string& format = texts[FnName::kProfileSelect];
  std::string caption;
  if (format.empty()) return keyTexts.profileWord + " " + std::to_string(number);
  if (const size_t at = format.find("%d"); at != std::string::npos) {
    caption = format;
    caption.replace(at, 2, std::to_string(number));
    return caption;
  }
  return format + " " + std::to_string(number);
}

ButtonRecord ToRecord(const ButtonFunction& f) { return ButtonRecord{f.type, f.p1, f.p2, f.p3}; }

}  // namespace

std::vector<ButtonChoice> MakeButtonChoices(const KeyTexts& keyTexts, const TextTables& texts) {
  struct Row {
    ButtonFunction function;
    ChoiceGroup group;
  };
  using G = ChoiceGroup;
  static const Row kRows[kButtonChoiceCount] = {
      {{4, 0x02, 0, 0}, G::kMouse},
      {{4, 0x01, 0, 0}, G::kMouse},
      {{4, 0x08, 0, 0}, G::kMouse},
      {{4, 0x10, 0, 0}, G::kMouse},
      {{4, 0x04, 0, 0}, G::kMouse},
      {{4, 0, 1, 0}, G::kMouse},
      {{4, 0, 0xFF, 0}, G::kMouse},
      {{10, 0, 0, 0xFF}, G::kMouse},
      {{10, 10, 0, 0xFF}, G::kMouse},
      {{21, 0, 0, 0}, G::kDpi},
      {{15, 8, 8, 0}, G::kDpi},
      {{15, 0xFF, 0, 0}, G::kDpi},
      {{15, 0, 0xFF, 0}, G::kDpi},
      {{12, 0, 0, 0}, G::kDpi},
      {{13, 0, 0, 0}, G::kDpi},
      {{14, 0, 0, 0}, G::kDpi},
      {{17, 0, 0, 1}, G::kProfile},
      {{36, 0, 0, 1}, G::kProfile},
      {{36, 1, 0, 1}, G::kProfile},
      {{36, 2, 0, 1}, G::kProfile},
      {{36, 3, 0, 1}, G::kProfile},
      {{36, 4, 0, 1}, G::kProfile},
      {{3, 1, 0, 0}, G::kMedia},
      {{6, 0x23, 0x02, 0}, G::kMedia},
      {{6, 0x94, 0x01, 0}, G::kMedia},
      {{6, 0x92, 0x01, 0}, G::kMedia},
      {{6, 0x83, 0x01, 0}, G::kMedia},
      {{6, 0xE9, 0, 0}, G::kMedia},
      {{6, 0xEA, 0, 0}, G::kMedia},
      {{6, 0xE2, 0, 0}, G::kMedia},
      {{6, 0xB0, 0, 0}, G::kMedia},
      {{6, 0xCD, 0, 0}, G::kMedia},
      {{6, 0xB3, 0, 0}, G::kMedia},
      {{6, 0xB5, 0, 0}, G::kMedia},
      {{6, 0xB6, 0, 0}, G::kMedia},
      {{5, 0, 0, kNoKeyMarker}, G::kKeyboard},
      {{8, kNoMacroMarker, kNoMacroMarker, 0}, G::kMacro},
  };
  std::vector<ButtonChoice> choices;
  choices.reserve(kButtonChoiceCount);
  for (const Row& row : kRows) {
    const ButtonFunction& f = row.function;
    ButtonChoice choice{f, {}, row.group};
    if (f.type == kFnProfileSelect) {
      choice.caption = ProfileCaption(keyTexts, texts, f.p1 + 1);
    } else if (f.type == kFnDpiFirekey && f.p1 == 8) {
      // The firekey's text carries its steps; the choice shows the name.
      choice.caption = At(keyTexts.functionTypeNames, kFnDpiFirekey);
    } else if (f.type == kFnKeyboard || f.type == kFnMacroOnce) {
      choice.caption = At(keyTexts.functionTypeNames, f.type);
    } else {
      choice.caption = FunctionText(keyTexts, f);
    }
    choices.push_back(std::move(choice));
  }
  return choices;
}

bool IsSpecialButtonSlot(int button, int protocolLevel) {
  const auto& slots = FamilyForLevel(protocolLevel).specialButtonSlots;
  return button == slots[0] || button == slots[1];
}

std::array<int, 6> ExcludedFunctionTypes(bool specialSlot) {
  if (!specialSlot) return {};
  return {kFnDpiFirekey, 18, kFnAdjustDpi, kFnHidKey1, kFnProfileSwitch, kFnFireButton};
}

int ImportSlotFor(const SettingsImage& image, int profile, int button) {
  const auto& slots = image.macroSlots;
  // A slot may be replaced when it is empty, or when its macro is this
  // button's own: no other button runs it (an unassigned macro is the user's
  // and stays).
  auto ownOrEmpty = [&](int slot) {
    const MacroSlot& s = slots[static_cast<size_t>(slot)];
    if (!s.InUse()) return true;
    bool here = false;
    for (int p = 0; p < kProfileCount; ++p)
      for (int b = 0; b < kMaxButtons; ++b) {
        const ButtonRecord& r = image.profiles[static_cast<size_t>(p)].buttons[static_cast<size_t>(b)];
        const bool runs =
            r.type >= kFnMacroOnce && r.type <= kFnMacroFire && r.p3 == 0 && r.p1 + 256 * r.p2 == s.codeAddress;
        if (!runs) continue;
        if (p != profile || b != button) return false;
        here = true;
      }
    return here;
  };
  const int own = profile * 16 + button;
  if (button >= 0 && button < 16 && own >= 0 && own < kMacroSlotCount && ownOrEmpty(own)) return own;
  for (int s = 0; s < kMacroSlotCount; ++s)
    if (!slots[static_cast<size_t>(s)].InUse()) return s;
  return -1;
}

ButtonSettingsModel::ButtonSettingsModel(Setup setup)
    : keyTexts_(*setup.keyTexts),
      texts_(*setup.texts),
      choices_(MakeButtonChoices(keyTexts_, texts_)),
      excluded_(ExcludedFunctionTypes(setup.specialSlot)),
      keyboard_(std::move(setup.keyboard)),
      dpiStep_(setup.dpiStep),
      macroNameAt_(std::move(setup.macroName)),
      freeMacroSpace_(setup.freeMacroSpace) {
  for (KeyboardKey& key : keyboard_.keys) key.selected = false;
  const ButtonFunction& r = setup.record;
  if (IsMacroType(r.type) && r.p3 != kNoMacroMarker) {
    macroMode_ = r.type;
    if (macroNameAt_) macroName_ = macroNameAt_(MacroCodeAddress(r));
  }
  SetRecord(r);
}

bool ButtonSettingsModel::Excluded(int choice) const {
  if (choice < 0 || choice >= static_cast<int>(choices_.size())) return true;
  const int type = choices_[static_cast<size_t>(choice)].function.type;
  return type != 0 && std::find(excluded_.begin(), excluded_.end(), type) != excluded_.end();
}

bool ButtonSettingsModel::Matches(const ButtonFunction& entry) const {
  const ButtonFunction& r = record_;
  if (IsMacroType(r.type) && r.p3 != kNoMacroMarker) return IsMacroType(entry.type) && entry.p3 != kNoMacroMarker;
  if (r.type == kFnDpiFirekey) {
    const bool lock = (r.p1 == 0 && r.p2 == 0xFF) || (r.p1 == 0xFF && r.p2 == 0);
    if (entry.type != kFnDpiFirekey) return false;
    if (lock) return entry.p1 == r.p1 && entry.p2 == r.p2;
    return true;
  }
  if (r.type == kFnFireButton || r.type == kFnKeyboard) return entry.type == r.type;
  return entry == r;
}

int ButtonSettingsModel::Highlighted() const {
  for (int i = 0; i < static_cast<int>(choices_.size()); ++i)
    if (!Excluded(i) && Matches(choices_[static_cast<size_t>(i)].function)) return i;
  return -1;
}

bool ButtonSettingsModel::MacroChosen() const {
  const ButtonFunction& r = record_;
  if (!IsMacroType(r.type) || r.p3 == kNoMacroMarker) return false;
  return pending_.has_value() || !(r.p1 == kNoMacroMarker && r.p2 == kNoMacroMarker);
}

void ButtonSettingsModel::SetRecord(const ButtonFunction& f) {
  record_ = f;
  // A macro shows its name; the built-in tilt sequences their own text.
  if (IsMacroType(f.type) && f.p3 != kNoMacroMarker && !macroName_.empty())
    text_ = macroName_;
  else
    text_ = FunctionText(keyTexts_, f, dpiStep_);
}

void ButtonSettingsModel::Choose(int choice) {
  if (Excluded(choice)) return;
  const ButtonFunction& f = choices_[static_cast<size_t>(choice)].function;
  if (choice == kChoiceMacro) {
    // Back to the macro already chosen, in the mode the switches show.
    if (MacroChosen()) return;
    ButtonFunction macro{static_cast<uint8_t>(macroMode_), kNoMacroMarker, kNoMacroMarker, 0};
    SetRecord(macro);
    return;
  }
  pending_.reset();
  macroName_.clear();
  if (choice == kChoiceKeyboard) {
    for (KeyboardKey& key : keyboard_.keys) key.selected = false;
    SetRecord(f);
    text_.clear();
    return;
  }
  SetRecord(f);
}

void ButtonSettingsModel::ClickKey(int index) {
  if (index < 0 || index >= static_cast<int>(keyboard_.keys.size())) return;
  auto& keys = keyboard_.keys;
  KeyboardKey& k = keys[static_cast<size_t>(index)];
  pending_.reset();
  macroName_.clear();
  if (k.chwcode != 0) {
    for (KeyboardKey& other : keys) other.selected = false;
    k.selected = true;
    record_ = ButtonFunction{kFnMultimedia, static_cast<uint8_t>(k.chwcode & 0xFF),
                             static_cast<uint8_t>((k.chwcode >> 8) & 0xFF), 0};
    text_ = k.legend;
    return;
  }
  k.selected = !k.selected;
  for (size_t i = 0; i < keys.size(); ++i) {
    KeyboardKey& other = keys[i];
    if (other.chwcode != 0)
      other.selected = false;
    else if (k.modify == 0 && other.modify == 0 && static_cast<int>(i) != index)
      other.selected = false;
  }
  UpdateKeyRecord();
}

void ButtonSettingsModel::UpdateKeyRecord() {
  int modifiers = 0;
  std::string text;
  for (const KeyboardKey& key : keyboard_.keys)
    if (key.selected && key.modify != 0) {
      modifiers |= key.modify;
      text += key.legend + " + ";
    }
  int usage = 0;
  for (const KeyboardKey& key : keyboard_.keys)
    if (key.selected && key.modify == 0 && key.chwcode == 0) {
      // A key without a usage of its own or by its scan code stays 0, which
      // the mouse takes as no key; its legend still shows.
      usage = key.hwcode != 0 ? key.hwcode : ScanCodeToUsage(key.code);
      text += key.legend + " + ";
      break;
    }
  if (text.size() >= 3) text.resize(text.size() - 3);
  record_ = ButtonFunction{kFnKeyboard, static_cast<uint8_t>(modifiers), static_cast<uint8_t>(usage & 0xFF), 0};
  text_ = std::move(text);
}

void ButtonSettingsModel::SetMacroMode(int mode) {
  if (mode < kFnMacroOnce || mode > kFnMacroFire) return;
  macroMode_ = mode;
  if (IsMacroType(record_.type) && record_.p3 != kNoMacroMarker) {
    ButtonFunction f = record_;
    f.type = static_cast<uint8_t>(mode);
    SetRecord(f);
  }
}

void ButtonSettingsModel::ChooseDeviceMacro(int codeAddress, const std::string& name) {
  pending_.reset();
  macroName_ = name;
  SetRecord(ButtonFunction{static_cast<uint8_t>(macroMode_), static_cast<uint8_t>(codeAddress & 0xFF),
                           static_cast<uint8_t>((codeAddress >> 8) & 0xFF), 0});
}

std::optional<Msg> ButtonSettingsModel::ImportMacroFile(const std::string& path) {
  const MacroFileRead read = ReadMacroFile(path);
  if (read.status == MacroFileStatus::kInvalidFormat) return Msg::kInvalidFormat;
  if (!read.file) return std::nullopt;  // unreadable: nothing changes, as with any file
  if (!ChooseMacroFile(*read.file)) return Msg::kLackOfSpace;
  return std::nullopt;
}

bool ButtonSettingsModel::ChooseMacroFile(const MacroFile& file) {
  bool cut = false;
  std::vector<MacroItem> items = ItemsWithinSpace(file.items, freeMacroSpace_, cut);
  macroMode_ = NormaliseMode(file.header.mode);
  ChooseRecordedMacro(file.header.name, std::move(items));
  return !cut;
}

void ButtonSettingsModel::ChooseRecordedMacro(const std::string& name, std::vector<MacroItem> items) {
  macroName_ = name;
  pending_ = PendingMacro{name, std::move(items)};
  // The address is known once the macro is in the mouse.
  SetRecord(ButtonFunction{static_cast<uint8_t>(macroMode_), 0, 0, 0});
}

bool ButtonSettingsModel::CanOk() const {
  if (IsMacroType(record_.type) && record_.p3 != kNoMacroMarker) return MacroChosen();
  return true;
}

ButtonSettingsResult ButtonSettingsModel::Ok() const {
  ButtonSettingsResult result{record_, pending_};
  // Keyboard capture without a key stores "no key".
  if (result.function.type == kFnKeyboard && result.function.p3 == kNoKeyMarker) result.function.p3 = 0;
  return result;
}

ListRowKind ClassifyListRow(const MacroListItem& row) {
  if (row.kind == MacroRowKind::kFolder || row.kind == MacroRowKind::kCaption) return ListRowKind::kNothing;
  const bool macroType = row.type >= kFnMacroOnce && row.type <= kFnMacroFire;
  if (row.kind == MacroRowKind::kDeviceSlot || (macroType && row.start != 0))
    return row.start != 0 ? ListRowKind::kDeviceMacro : ListRowKind::kNothing;
  if (macroType) {
    // Rows that are not files (group keys) are never read as one.
    const bool file = !row.path.empty() && row.path.rfind("@_INTERNAL_", 0) != 0;
    return file ? ListRowKind::kMacroFile : ListRowKind::kNothing;
  }
  return row.type <= kMaxFunctionType ? ListRowKind::kFunction : ListRowKind::kNothing;
}

int ListRowCodeAddress(const MacroListItem& row) {
  return row.op1 != 0 || row.op2 != 0 ? row.op1 + 256 * row.op2 : row.start + kMacroRecordHeader;
}

std::optional<ButtonSettingsResult> DroppedRowResult(const MacroListItem& row, const SettingsImage& image, int profile,
                                                     int button, bool& cut) {
  cut = false;
  auto byte = [](int v) { return static_cast<uint8_t>(v & 0xFF); };
  switch (ClassifyListRow(row)) {
    case ListRowKind::kNothing:
      return std::nullopt;
    case ListRowKind::kFunction:
      return ButtonSettingsResult{{byte(row.type), byte(row.op1), byte(row.op2), byte(row.op3)}, {}};
    case ListRowKind::kDeviceMacro: {
      const int code = ListRowCodeAddress(row);
      return ButtonSettingsResult{{byte(NormaliseMode(row.type)), byte(code), byte(code >> 8), 0}, {}};
    }
    case ListRowKind::kMacroFile: {
      const MacroFileRead read = ReadMacroFile(row.path);
      if (!read.file) return std::nullopt;
      const MacroFile& file = *read.file;
      const int slot = ImportSlotFor(image, profile, button);
      const int free = slot < 0 ? 0 : FreeMacroSpace(image.macroSlots, MacroLayoutOf(image), slot);
      std::vector<MacroItem> items = ItemsWithinSpace(file.items, free, cut);
      return ButtonSettingsResult{{byte(NormaliseMode(file.header.mode)), 0, 0, 0},
                                  PendingMacro{file.header.name, std::move(items)}};
    }
  }
  return std::nullopt;
}

KeyboardLayout LoadKeyboardLayoutFile(const std::string& path, const KeyTexts& texts) {
  const IniDocument ini = IniDocument::Load(path);
  ProfileReader reader;
  reader.readString = [&ini](const std::string& s, const std::string& k, const std::string& def) {
    return ini.GetString(s, k, def);
  };
  reader.readInt = [&ini](const std::string& s, const std::string& k, long long def) -> long long {
    return ini.GetInt(s, k, static_cast<int32_t>(def));
  };
  return LoadKeyboardLayout(reader, texts);
}

FieldWrite ButtonSettingsWrite(int profile, int button, ButtonSettingsResult result) {
  if (!result.macro) {
    const ButtonRecord record = ToRecord(result.function);
    return [profile, button, record](DeviceLink& link, SettingsState& state) {
      return AssignButton(link, state, profile, button, record);
    };
  }
  return [profile, button, result = std::move(result)](DeviceLink& link, SettingsState& state) -> Outcome {
    SettingsImage image = *state.image.Snapshot();
    const int slot = ImportSlotFor(image, profile, button);
    if (slot < 0) return Failure::kLackOfSpace;
    const int mode = result.function.type;
    const std::string path = state.CurrentDevice();
    if (Outcome stored = StoreMacro(link, path, image, slot, mode, result.macro->name, result.macro->items); !stored)
      return stored;
    const int code = image.macroSlots[static_cast<size_t>(slot)].codeAddress;
    state.image.Publish(std::move(image));
    return AssignButton(link, state, profile, button,
                        ButtonRecord{static_cast<uint8_t>(mode), static_cast<uint8_t>(code & 0xFF),
                                     static_cast<uint8_t>((code >> 8) & 0xFF), 0});
  };
}

}  // namespace quorix
