#include "texts/text_tables.h"

namespace quorix {

namespace {

// The English defaults, each under its entry's name. A family's slots without
// a name stay empty.
template <typename Name>
struct Named {
  Name name;
  const char* text;
};

constexpr Named<FnName> kFnNameTexts[] = {
    {FnName::kDefault, "Default"},
    {FnName::kNoFunction, "No function"},
    {FnName::kHidKey1, "HID Key1"},
    {FnName::kHidKey2, "HID Key2"},
    {FnName::kMouse, "Mouse "},
    {FnName::kKeyboard, "Keyboard "},
    {FnName::kMultimedia, "Mutimedia"},
    {FnName::kReserved7, "保留"},
    {FnName::kMacro, "Macro "},
    {FnName::kMacroRepeat, "Macro(R) "},
    {FnName::kMacroFire, "Macro(F) "},
    {FnName::kReserved11, "保留"},
    {FnName::kDpiUp, "DPI+"},
    {FnName::kDpiDown, "DPI-"},
    {FnName::kDpiLoop, "DPI loop"},
    {FnName::kDpiFirekey, "DPI firekey"},
    {FnName::kDpiHotkey, "DPI hotkey"},
    {FnName::kProfileSwitch, "Profile switch"},
    {FnName::kAdjustLift, "Adjust lift"},
    {FnName::kLedSwitch, "LED on/off"},
    {FnName::kAngleSnapping, "Angle snapping ON/OFF"},
    {FnName::kAdjustDpi, "Adjust DPI"},
    {FnName::kAdjustButton, "Adjust Button"},
    {FnName::kProfileDpiSwitch, "Profile/DPI switch"},
    {FnName::kScrollHotkey, "Scroll hotkey"},
    {FnName::kScrollHotkey2, "Scroll hotkey"},
    {FnName::kAlternate, "Alternate"},
    {FnName::kFireButton, "Fire button"},
    {FnName::kLockX, "Lock X-axis"},
    {FnName::kLockY, "Lock Y-axis"},
    {FnName::kProfileSelect, ""},
};
constexpr Named<Title> kTitleTexts[] = {
    {Title::kButtonSettings, "Button Settings"},
    {Title::kMouseButton, "Mouse button"},
    {Title::kScroll, "Scroll"},
    {Title::kDpi, "DPI"},
    {Title::kKeyboard, "Keyboard"},
    {Title::kMacro, "Macro"},
    {Title::kVolume, "Volume"},
    {Title::kMedia, "Media"},
    {Title::kOther, "Other"},
    {Title::kProfile, "Profile"},
};
constexpr Named<OrderName> kOrderNameTexts[] = {
    {OrderName::kLeft, "Left click"},
    {OrderName::kRight, "Right click"},
    {OrderName::kWheel, "Wheel click"},
    {OrderName::kSide1, "Side1"},
    {OrderName::kSide2, "Side2"},
    {OrderName::kG1, "G1"},
    {OrderName::kG2, "G2"},
    {OrderName::kG3, "G3"},
    {OrderName::kTiltLeft, "Tilt left"},
    {OrderName::kTiltRight, "Tilt right"},
    {OrderName::kScrollUp, "Scroll up"},
    {OrderName::kScrollDown, "Scroll down"},
    {OrderName::kGaming, "Gaming"},
};
constexpr Named<LabelName> kLabelNameTexts[] = {
    {LabelName::kLeft, "Left click"},
    {LabelName::kRight, "Right click"},
    {LabelName::kWheel, "Wheel click"},
    {LabelName::kScrollUp, "Scroll up"},
    {LabelName::kScrollDown, "Scroll down"},
    {LabelName::kTiltLeft, "Tilt left"},
    {LabelName::kTiltRight, "Tilt right"},
    {LabelName::kBackward, "Backward"},
    {LabelName::kForward, "Forward"},
    {LabelName::kSideScrollDown, "Side scroll down"},
    {LabelName::kSideScrollUp, "Side scroll up"},
    {LabelName::kButton, "Button"},
};
constexpr Named<Upgrade> kUpgradeTexts[] = {
    {Upgrade::kOneMouseOnly,
     "New firmware available, need to upgrade now.\r\nCAUTION!! Don't plugin more than one mouse."},
    {Upgrade::kPressOk, "New firmware available, need to upgrade now.\r\nPress OK to upgrade."},
    {Upgrade::kUpgrading, "Upgrading... Please wait and don't remove the mouse."},
    {Upgrade::kFinished, "Upgrade finish."},
    {Upgrade::kTitle, "Upgrade Firmware"},
    {Upgrade::kPressOk2, "New firmware available, need to upgrade now.\r\nPress OK to upgrade."},
    {Upgrade::kOneMouseOnly2,
     "New firmware available, need to upgrade now.\r\nCAUTION!! Don't plugin more than one mouse."},
    {Upgrade::kUpgrading2, "Upgrading... Please wait and don't remove the mouse."},
    {Upgrade::kError, "Upgrade error."},
    {Upgrade::kSupport, "Support"},
    {Upgrade::kClose, "Close"},
};
constexpr Named<Prompt> kPromptTexts[] = {
    {Prompt::kName, "Enter name"},
    {Prompt::kProfileName, "Enter profile name"},
    {Prompt::kMacroName, "Enter macro name"},
    {Prompt::kEditMacro, "Edit macro"},
};
constexpr Named<StepText> kStepTextTexts[] = {
    {StepText::kOnce, "Execute one time"},
    {StepText::kLoop, "Loop mode"},
    {StepText::kFirekey, "Firekey mode"},
    {StepText::kJump, "Jump to address %d"},
    {StepText::kLoopJump, "Set ACC=ACC-1, if ACC!=0 then jump to address %d"},
    {StepText::kSetAcc, "Set ACC=%d"},
    {StepText::kButtonPress, "Press & hold mouse button %s"},
    {StepText::kButtonRelease, "Release mouse button %s"},
    {StepText::kWheel, "Wheel Scrolling  %d count(unit)"},
    {StepText::kMove, "Mouse Movement (%d , %d)"},
    {StepText::kKeyPress, "Press & hold Keyboard  %s"},
    {StepText::kKeyRelease, "Release Keyboard  %s"},
    {StepText::kConsumerPress, "Press & hold Consumer-key  %s"},
    {StepText::kConsumerRelease, "Release Consumer-key"},
    {StepText::kShortWait, "Wait %d ms"},
    {StepText::kLongWait, "%d ms"},
    {StepText::kMoveTo, "Mouse Move to (%d , %d)"},
};
constexpr Named<StepButton> kStepButtonTexts[] = {
    {StepButton::kLeft, "Left"}, {StepButton::kRight, "Right"}, {StepButton::kMiddle, "Middle"},
    {StepButton::kB4, "B4"},     {StepButton::kB5, "B5"},
};
constexpr Named<MouseName> kMouseNameTexts[] = {
    {MouseName::kLeftClick, "Left click"},   {MouseName::kRightClick, "Right click"},
    {MouseName::kWheelClick, "Wheel click"}, {MouseName::kBackward, "Backward"},
    {MouseName::kForward, "Forward"},        {MouseName::kTiltLeft, "Tilt left"},
    {MouseName::kTiltRight, "Tilt right"},   {MouseName::kScrollUp, "Scroll up"},
    {MouseName::kScrollDown, "Scroll down"},
};
constexpr Named<Label> kLabelTexts[] = {
    {Label::kButtonSettings, "Button settings"},
    {Label::kDpiSettings, "DPI settings"},
    {Label::kOther, "Other"},
    {Label::kReset, "Reset"},
    {Label::kBackup, "Backup"},
    {Label::kRestore, "Restore"},
    {Label::kSelect, "Select"},
    {Label::kOk, "OK"},
    {Label::kCancel, "Cancel"},
    {Label::kDefault, "Default"},
    {Label::kSet, "Set"},
    {Label::kHide, "Hide"},
    {Label::kImport, "Import"},
    {Label::kExport, "Export"},
    {Label::kName, "Name"},
    {Label::kOnce, "One time mode"},
    {Label::kLoop, "Loop mode"},
    {Label::kFirekey, "Firekey mode"},
    {Label::kRecord, "Record"},
    {Label::kStop, "Stop"},
    {Label::kClear, "Clear"},
    {Label::kRecordIntervals, "Record intervals"},
    {Label::kXyIndependent, "X-Y independent"},
    {Label::kAngleSnapping, "Angle snapping"},
    {Label::kReportRate, "Report rate"},
    {Label::kDelete, "Delete"},
    {Label::kOsd, "Enable DPI / profile OSD"},
    {Label::kLoad, "Load"},
    {Label::kRecordClicks, "Record click positions"},
    {Label::kRecordTrack, "Record cursor track"},
    {Label::kMilliseconds, "%dms"},
    {Label::kHoldForPosition, "Press && hold to get position"},
    {Label::kFunctionList, "Function list"},
    {Label::kMacroEdit, "Macro edit"},
    {Label::kNoAcceleration, "Disable mouse acceleration (OS)"},
    {Label::kLoadMacro, "Load"},
    {Label::kSave, "Save"},
    {Label::kNew, "New"},
    {Label::kMacroType, "Macro type"},
    {Label::kNewFolder, "New folder"},
    {Label::kColorSetting, "Color Setting"},
    {Label::kLightEffect, "Light effect"},
    {Label::kColor, "Color"},
    {Label::kBreathe, "Breathe"},
    {Label::kAlwaysOn, "Always ON"},
    {Label::kCustomize, "Customize"},
    {Label::kWave, "Wave"},
    {Label::kWaveInvert, "Wave (Invert)"},
    {Label::kRandom1, "Random 1"},
    {Label::kRandom2, "Random 2"},
    {Label::kSetAllLights, "Set all lights"},
    {Label::kLightColor, "Color"},
    {Label::kDisable, "Disable"},
};
constexpr Named<Tip> kTipTexts[] = {
    {Tip::kName, "Click here to enter name"}, {Tip::kHz, "Hz"},
    {Tip::kDeleteMacro, "Delete macro"},      {Tip::kLoadMacro, "Load macro"},
    {Tip::kSaveMacro, "Save macro"},          {Tip::kNewMacro, "New macro"},
    {Tip::kNewFolder, "New folder"},
};
constexpr Named<Msg> kMsgTexts[] = {
    {Msg::kFunctionList, "Function list"},
    {Msg::kMacroList, "Macro list"},
    {Msg::kSaveToList, "Save to macro list"},
    {Msg::kInsertInput, "Insert keyboard / mouse or scroll instruction"},
    {Msg::kInsertMove, "Insert mouse move"},
    {Msg::kInsertDelay, "Insert delay instruction"},
    {Msg::kQuickDrop, "Quick Drop Function: Drag and Drop to Button Setting for quick configuration."},
    {Msg::kFreeMemory, "free memory: %d bytes"},
    {Msg::kNoDevice, "No device !!"},
    {Msg::kResetQuestion, "All setting will be reset !!  continue?"},
    {Msg::kOverwriteQuestion, "Current setting will be overwritten !! continue?"},
    {Msg::kAddToFavorite, "Add \"%s\" to favorite..."},
    {Msg::kRelative, "Relative"},
    {Msg::kAbsolute, "Absolute"},
    {Msg::kPressToStart, "Press %s to start recording."},
    {Msg::kPressToStop, "Press %s to stop recording."},
    {Msg::kRecordMovement, "Record mouse movement:"},
    {Msg::kLackOfSpace, "Lack of space !!"},
    {Msg::kInvalidFormat, "invalid format !!"},
    {Msg::kRecording, "Recording..."},
    {Msg::kSaveChanges, "Save changes in macro '%s' ?"},
    {Msg::kClickToName, "Click to change name"},
    {Msg::kMacroName, "Macro name"},
    {Msg::kDeleteMacro, "Delete macro '%s' ?"},
    {Msg::kFolderName, "Folder name"},
    {Msg::kDeleteFolder, "Delete folder '%s' ?"},
    {Msg::kRoot, "Root"},
    {Msg::kFunctionLibrary, "Function lbrary"},
    {Msg::kOverwriteMacro, "Overwrite macro '%s' ?"},
    {Msg::kMacroListPc, "Macro list (PC)"},
    {Msg::kMouseButton, "Mouse button"},
    {Msg::kMouseMemory, "Mouse memory"},
    {Msg::kEmpty, "Empty"},
    {Msg::kClickToChange, "Click to change function"},
    {Msg::kButtonList, "Button list"},
    {Msg::kMouseManager, "Mouse manager"},
    {Msg::kLiftAdjust, "Lift adjust"},
    {Msg::kDpiFirekey, "DPI firekey [X:%d , Y:%d]"},
    {Msg::kMacroEditor, "Macro Editor"},
    {Msg::kSoftwareVersion, "Software version"},
    {Msg::kFirmwareVersion, "Firmware version"},
};
constexpr Named<ClassName> kClassNameTexts[] = {
    {ClassName::kMouse, "Mouse"}, {ClassName::kKeyboard, "Keyboard"},    {ClassName::kAdvanced, "Advanced"},
    {ClassName::kMacro, "Macro"}, {ClassName::kUserMacro, "User Macro"},
};
constexpr Named<LiftWord> kLiftWordTexts[] = {
    {LiftWord::kTitle, "Lift adjust"},
    {LiftWord::kAuto, "Auto"},
    {LiftWord::kManual, "Manual"},
    {LiftWord::kTest, "Test"},
    {LiftWord::kAutoTitle, "Auto adjust"},
    {LiftWord::kMoveMouse, "Move the mouse all over the mouse pad without lifting it."},
    {LiftWord::kManualTitle, "Manual adjust"},
    {LiftWord::kManualHint, "Press OK within 5 seconds, or the change is cancelled."},
    {LiftWord::kInProgress, "In progress..."},
    {LiftWord::kFail, "Adjust Fail !!"},
    {LiftWord::kSuccess, "Adjust Success !!"},
};
constexpr Named<EditorWord> kEditorWordTexts[] = {
    {EditorWord::kClose, "Close"},
    {EditorWord::kNewMark, "new"},
    {EditorWord::kSize, "%d bytes"},
};
constexpr Named<MenuItem> kMenuItemTexts[] = {
    {MenuItem::kSettings, "Settings"},
    {MenuItem::kQuit, "Quit"},
};
constexpr Named<ConsumerName> kConsumerNameTexts[] = {
    {ConsumerName::kWebBrowser, "Web Browser"},
    {ConsumerName::kMyComputer, "My Computer"},
    {ConsumerName::kCalculator, "Calculator"},
    {ConsumerName::kMediaPlayer, "Media Player"},
    {ConsumerName::kMute, "Mute"},
    {ConsumerName::kVolumeDown, "Volume -"},
    {ConsumerName::kVolumeUp, "Volume +"},
    {ConsumerName::kPlayPause, "Play/Pause"},
    {ConsumerName::kPlay, "Play"},
    {ConsumerName::kPause, "Pause"},
    {ConsumerName::kNextTrack, "Next Track"},
    {ConsumerName::kPreviousTrack, "Previous Track"},
    {ConsumerName::kStop, "Stop"},
    {ConsumerName::kFastForward, "Fast Forward"},
};
constexpr Named<Reason> kReasonTexts[] = {
    {Reason::kStoppedAnswering, "the mouse stopped answering"},
    {Reason::kUnplugged, "the mouse was unplugged"},
    {Reason::kNonsense, "the mouse gave answers that make no sense"},
    {Reason::kOtherProgram, "another program is using the mouse"},
    {Reason::kCancelled, "cancelled"},
    {Reason::kNothingChanged, "nothing was changed"},
    {Reason::kOutOfRange, "value out of range"},
    {Reason::kNoSuchSetting, "this mouse has no such setting"},
    {Reason::kPartlyWritten, "settings may be partly written \u2014 run the command again"},
    {Reason::kRunAgain, "run the command again"},
    {Reason::kCannotRead, "cannot read the file"},
    {Reason::kCannotWrite, "cannot write the file"},
    {Reason::kInternal, "an internal error stopped the operation"},
    {Reason::kKeepOneLevel, "at least one DPI level must stay on"},
    {Reason::kServiceUnavailable, "the desktop service is unavailable"},
};
constexpr Named<Desktop> kDesktopTexts[] = {
    {Desktop::kAutostart, "Start with the desktop session (in the tray)"},
    {Desktop::kNoNudge,
     "The pointer cannot be moved for the test here: move the mouse a little yourself after \"Test\"."},
    {Desktop::kPrograms, "Programs"},
    {Desktop::kApplication, "Application"},
    {Desktop::kBackupFile, "Backup File"},
    {Desktop::kMacroFile, "Macro File"},
    {Desktop::kNeedsX11,
     "Switching profiles by application needs X11 or XWayland windows: native Wayland windows are not seen."},
    {Desktop::kNoSwitching, "Switching profiles by application is not available here."},
    {Desktop::kVirtualMouse, "Virtual mouse"},
    {Desktop::kWheel, "Wheel"},
    {Desktop::kProfile, "Profile"},
    {Desktop::kOpenSettings, "Open settings"},
    {Desktop::kUseLevel, "Use Lv.%d"},
    {Desktop::kRecordArmed, "Ready to record"},
    {Desktop::kRecordStopped, "Recording stopped."},
    {Desktop::kNoPointerControl, "The acceleration switch has no effect here: this desktop session is not X11."},
    {Desktop::kGnomeExtension,
     "Switching profiles by application on GNOME needs this program's Shell extension. Enable it with: "
     "gnome-extensions enable foreground@quorix-mouse.example.org"},
    {Desktop::kNudgeNeedsUinput,
     "Moving the pointer needs write access to /dev/uinput; the README says how to allow it."},
    {Desktop::kUseProfile, "Use %s"},
};

// The single-entry tables: key, field, English default. The hotkey texts have
// none: the macro editor then shows its own.
struct Single {
  const char* key;
  std::string TextTables::*field;
  const char* text;
};
const Single kSingles[] = {
    {"click_delay_str", &TextTables::clickDelayStr, "Delay"},
    {"adjust_dpi_str", &TextTables::adjustDpiStr, "Scroll to change DPI"},
    {"record_key_tip_str", &TextTables::recordKeyTipStr, "Waitting for keyboard or mouse event."},
    {"record_option_str", &TextTables::recordOptionStr, "Record Option"},
    {"macro_edit_bt_str", &TextTables::macroEditBtStr, "Macro edit"},
    {"record_move_str1", &TextTables::recordMoveStr1, "50ms"},
    {"record_move_str2", &TextTables::recordMoveStr2, "200ms"},
    {"hotkey_str", &TextTables::hotkeyStr, ""},
    {"hotkey_tip_str", &TextTables::hotkeyTipStr, ""},
    {"hotkey_modify_str", &TextTables::hotkeyModifyStr, ""},
    {"end_str", &TextTables::endStr, "-- End --"},
    {"macro_editor_cap_str", &TextTables::macroEditorCapStr, "Macro Editor"},
    {"launch_str", &TextTables::launchStr, "Launch setting"},
    {"version_str", &TextTables::versionStr, "Software version"},
    {"firmware_str", &TextTables::firmwareStr, "Firmware version"},
};

// Visits every family in language-file order: its key, its size (the number
// of keys the language read takes) and its named defaults.
template <typename Visit>
void ForEachFamily(Visit&& visit) {
  visit("type_str", 40, kFnNameTexts);
  visit("title_str", 20, kTitleTexts);
  visit("bt_order_str", 16, kOrderNameTexts);
  visit("bt_label_str", 16, kLabelNameTexts);
  visit("upgrade_str", 11, kUpgradeTexts);
  visit("cap_input_str", 4, kPromptTexts);
  visit("macro_str", 17, kStepTextTexts);
  visit("macro_bt_str", 5, kStepButtonTexts);
  visit("mouse_str", 9, kMouseNameTexts);
  visit("button_str", 62, kLabelTexts);
  visit("button_tip_str", 60, kTipTexts);
  visit("msg_str", 43, kMsgTexts);
  visit("class_str", 6, kClassNameTexts);
  visit("adjust_lift_str", 13, kLiftWordTexts);
  visit("macro_edit_str", 3, kEditorWordTexts);
  visit("menu_str", 2, kMenuItemTexts);
  visit("consumer_key_str", 14, kConsumerNameTexts);
  visit("failure_str", 15, kReasonTexts);
  visit("desktop_str", 19, kDesktopTexts);
}

}  // namespace

TextTables DefaultTextTables() {
  TextTables t;
  ForEachFamily([&t](const char*, size_t size, const auto& named) {
    using Name = decltype(named[0].name);
    std::vector<std::string>& table = t.*TableOf(Name{});
    table.assign(size, std::string());
    // A name past its family's size is left out (the texts test reports it).
    for (const auto& [name, text] : named) {
      if (static_cast<size_t>(name) < size) table[static_cast<size_t>(name)] = text;
    }
  });
  for (const Single& single : kSingles) t.*single.field = single.text;
  return t;
}

const TextTables& EnglishTexts() {
  static const TextTables english = DefaultTextTables();
  return english;
}

const std::string& PickText(const std::vector<std::string>& table, const std::vector<std::string>& english,
                            size_t index) {
  static const std::string none;
  if (index < table.size()) return table[index];
  return index < english.size() ? english[index] : none;
}

std::vector<NamedText> NamedTexts() {
  std::vector<NamedText> texts;
  ForEachFamily([&texts](const char* key, size_t, const auto& named) {
    for (const auto& [name, text] : named) texts.push_back({key + std::to_string(static_cast<size_t>(name)), text});
  });
  for (const Single& single : kSingles) texts.push_back({single.key, single.text});
  return texts;
}

}  // namespace quorix
