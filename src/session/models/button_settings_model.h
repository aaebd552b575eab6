#pragma once
// What the button settings window does, without a screen: the 37 functions
// it offers (two special slots refuse six types), which one is the current
// choice, the on-screen keyboard (modifiers, one ordinary key, or one
// consumer key), the macro choice with its three run modes, and the macro a
// .mf import or a recording brings along. The window paints what this says
// and hands it the user's clicks; OK hands back one ButtonSettingsResult, which
// the opener turns into a field write on the session's executor.
//
// Single-threaded: the GUI thread calls everything.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "keys/button_function.h"
#include "keys/keyboard_layout.h"
#include "macro/macro_file.h"
#include "macro/macro_instruction.h"
#include "macro/macro_library.h"
#include "session/session.h"
#include "settings/settings_image.h"
#include "texts/text_tables.h"

namespace quorix {

inline constexpr int kButtonChoiceCount = 37;
// Choices by index (offering order).
inline constexpr int kChoiceTiltRight = 8;
inline constexpr int kChoiceKeyboard = 35;
inline constexpr int kChoiceMacro = 36;
// Markers of the window, never stored: keyboard capture without a key yet,
// and a macro not picked yet.
inline constexpr uint8_t kNoKeyMarker = 0xFF;
inline constexpr uint8_t kNoMacroMarker = 0xFF;

// The sections the window groups its choices in.
enum class ChoiceGroup : uint8_t { kMouse, kDpi, kProfile, kMedia, kKeyboard, kMacro };

struct ButtonChoice {
  ButtonFunction function;
  std::string caption;  // from the text tables, so the language file changes it
  ChoiceGroup group = ChoiceGroup::kMouse;
};

// The 37 choices, in offering order.
std::vector<ButtonChoice> MakeButtonChoices(const KeyTexts& keyTexts, const TextTables& texts);

// The two slots whose functions the firmware treats specially: 14 and 15 at
// protocol level 0, 22 and 23 otherwise.
bool IsSpecialButtonSlot(int button, int protocolLevel);
// The function types those slots refuse; six zeros for every other slot.
std::array<int, 6> ExcludedFunctionTypes(bool specialSlot);

// The macro slot a macro brought by the window (import or recording) goes
// to: the slot that belongs to this profile's button (profile * 16 + button)
// when it is empty or holds the macro only this button runs, else the first
// empty slot; -1 when there is none.
int ImportSlotFor(const SettingsImage& image, int profile, int button);

// A macro to store before the button is assigned to it.
struct PendingMacro {
  std::string name;
  std::vector<MacroItem> items;
};

// What OK hands back.
struct ButtonSettingsResult {
  ButtonFunction function;            // for a pending macro: its type; the address comes with the store
  std::optional<PendingMacro> macro;  // store this first, into ImportSlotFor()
};

class ButtonSettingsModel {
 public:
  struct Setup {
    const KeyTexts* keyTexts = nullptr;  // required
    const TextTables* texts = nullptr;   // required
    KeyboardLayout keyboard;             // its selected flags are cleared on opening
    ButtonFunction record;               // the slot's function in the active profile
    bool specialSlot = false;
    int dpiStep = 50;
    MacroNameLookup macroName;  // name of the macro at a code address; may be empty
    int freeMacroSpace = 0;     // bytes an imported macro may take
  };
  explicit ButtonSettingsModel(Setup setup);

  // ---- the choices ----
  const std::vector<ButtonChoice>& Choices() const { return choices_; }
  bool Excluded(int choice) const;
  // The first choice that is not excluded and matches the working record;
  // -1 when none does.
  int Highlighted() const;
  // A click on a choice; ignored for excluded ones and indexes out of range.
  void Choose(int choice);

  // ---- the on-screen keyboard ----
  const KeyboardLayout& Keyboard() const { return keyboard_; }
  // A click on key `key` of the layout.
  void ClickKey(int key);

  // ---- the macro ----
  // The record runs a macro that is picked (not the built-in tilt sequences).
  bool MacroChosen() const;
  // 8 once, 9 loop, 10 while held; the switches keep the chosen macro.
  int MacroMode() const { return macroMode_; }
  void SetMacroMode(int mode);
  // A macro of the mouse, by its code address.
  void ChooseDeviceMacro(int codeAddress, const std::string& name);
  // A macro file: its instructions are taken while they fit the free space.
  // False when some were left out ("Lack of space !!"); what fits stays.
  bool ChooseMacroFile(const MacroFile& file);
  // Reads the macro file at `path` and chooses it. The message to show:
  // kInvalidFormat for a file that is not a macro file, kLackOfSpace when
  // ChooseMacroFile left some out; none when it was taken whole or could not
  // be read (an unreadable file changes nothing, as with any file).
  std::optional<Msg> ImportMacroFile(const std::string& path);
  // A macro recorded in the window.
  void ChooseRecordedMacro(const std::string& name, std::vector<MacroItem> items);
  const std::string& MacroName() const { return macroName_; }
  const std::optional<PendingMacro>& Pending() const { return pending_; }

  // ---- the working record ----
  const ButtonFunction& Record() const { return record_; }
  const std::string& Text() const { return text_; }
  // False while the macro choice has no macro yet.
  bool CanOk() const;
  ButtonSettingsResult Ok() const;

 private:
  static bool IsMacroType(int type) { return type >= kFnMacroOnce && type <= kFnMacroFire; }
  bool Matches(const ButtonFunction& entry) const;
  void SetRecord(const ButtonFunction& f);
  void UpdateKeyRecord();

  KeyTexts keyTexts_;
  const TextTables& texts_;
  std::vector<ButtonChoice> choices_;
  std::array<int, 6> excluded_{};
  KeyboardLayout keyboard_;
  int dpiStep_;
  MacroNameLookup macroNameAt_;
  int freeMacroSpace_;
  ButtonFunction record_;
  std::string text_;
  int macroMode_ = kFnMacroOnce;
  std::string macroName_;
  std::optional<PendingMacro> pending_;
};

// What a row of the macro list or the function list stands for.
enum class ListRowKind : uint8_t {
  kNothing,      // a folder, group header or caption, or the empty slot
  kFunction,     // a function of a function library: (type, op1, op2, op3)
  kDeviceMacro,  // a macro in the mouse, run from ListRowCodeAddress()
  kMacroFile,    // a macro file, imported into the mouse when it is assigned
};
ListRowKind ClassifyListRow(const MacroListItem& row);
int ListRowCodeAddress(const MacroListItem& row);

// What a row dropped on button `button` of profile `profile` assigns, as OK
// of the window would hand it back; none for a row that assigns nothing or a
// file that cannot be read. A macro file keeps the instructions that fit the
// free space; `cut` tells whether some were left out.
std::optional<ButtonSettingsResult> DroppedRowResult(const MacroListItem& row, const SettingsImage& image, int profile,
                                                     int button, bool& cut);

// The layout of keyboard.ini at `path`, through the program's ini engine; an
// empty layout when the file is missing.
KeyboardLayout LoadKeyboardLayoutFile(const std::string& path, const KeyTexts& texts);

// The field write OK leads to: the record alone (as `set button` writes it),
// or, with a pending macro, the macro stored first into ImportSlotFor() and
// the button pointed at its code. kLackOfSpace when there is no slot or room.
FieldWrite ButtonSettingsWrite(int profile, int button, ButtonSettingsResult result);

}  // namespace quorix
