#pragma once
// The names of the text tables' entries, one enum class per table family.
// TextTables' one lookup, texts[Msg::kNoDevice], takes these.

#include <cstddef>

namespace quorix {

// The entries of each table family, named. An entry's value is its number in
// the language-file key ("msg_str10" is Msg::kNoDevice), so the keys files in
// the wild use never change. Slots a family has but no entry uses (spare room
// a translation may fill, shown nowhere) carry no name.

// "type_str%d", 40: button function type names, by function type. Several end
// in one blank on purpose: the main window appends a macro name or a key.
enum class FnName : size_t {
  kDefault = 0,
  kNoFunction = 1,
  kHidKey1 = 2,
  kHidKey2 = 3,
  kMouse = 4,
  kKeyboard = 5,
  kMultimedia = 6,
  kReserved7 = 7,
  kMacro = 8,
  kMacroRepeat = 9,
  kMacroFire = 10,
  kReserved11 = 11,
  kDpiUp = 12,
  kDpiDown = 13,
  kDpiLoop = 14,
  kDpiFirekey = 15,
  kDpiHotkey = 16,
  kProfileSwitch = 17,
  kAdjustLift = 18,
  kLedSwitch = 19,
  kAngleSnapping = 20,
  kAdjustDpi = 21,
  kAdjustButton = 22,
  kProfileDpiSwitch = 23,
  kScrollHotkey = 24,
  kScrollHotkey2 = 25,
  kAlternate = 26,
  kFireButton = 27,
  kLockX = 30,
  kLockY = 31,
  // No English text: a translation's text here is the format of "Profile n".
  kProfileSelect = 36,
};

// "title_str%d", 20: the group titles of the button settings window.
enum class Title : size_t {
  kButtonSettings = 0,
  kMouseButton = 1,
  kScroll = 2,
  kDpi = 3,
  kKeyboard = 4,
  kMacro = 5,
  kVolume = 6,
  kMedia = 7,
  kOther = 8,
  kProfile = 9,
};

// "bt_order_str%d", 16: the buttons in the mouse's own order.
enum class OrderName : size_t {
  kLeft = 0,
  kRight = 1,
  kWheel = 2,
  kSide1 = 3,
  kSide2 = 4,
  kG1 = 5,
  kG2 = 6,
  kG3 = 7,
  kTiltLeft = 8,
  kTiltRight = 9,
  kScrollUp = 10,
  kScrollDown = 11,
  kGaming = 12,
};

// "bt_label_str%d", 16: the buttons' printed labels.
enum class LabelName : size_t {
  kLeft = 0,
  kRight = 1,
  kWheel = 2,
  kScrollUp = 3,
  kScrollDown = 4,
  kTiltLeft = 5,
  kTiltRight = 6,
  kBackward = 7,
  kForward = 8,
  kSideScrollDown = 9,
  kSideScrollUp = 10,
  kButton = 11,
};

// "upgrade_str%d", 11: the firmware upgrade's texts, two variants of each.
enum class Upgrade : size_t {
  kOneMouseOnly = 0,
  kPressOk = 1,
  kUpgrading = 2,
  kFinished = 3,
  kTitle = 4,
  kPressOk2 = 5,
  kOneMouseOnly2 = 6,
  kUpgrading2 = 7,
  kError = 8,
  kSupport = 9,
  kClose = 10,
};

// "cap_input_str%d", 4: prompts of the input dialogs.
enum class Prompt : size_t {
  kName = 0,
  kProfileName = 1,
  kMacroName = 2,
  kEditMacro = 3,
};

// "macro_str%d", 17: macro instruction texts, by instruction (opcode).
enum class StepText : size_t {
  kOnce = 0,              // 0x04
  kLoop = 1,              // 0x05
  kFirekey = 2,           // 0x06
  kJump = 3,              // 0x08
  kLoopJump = 4,          // 0x10
  kSetAcc = 5,            // 0x18
  kButtonPress = 6,       // 0x20
  kButtonRelease = 7,     // 0x40
  kWheel = 8,             // 0x60
  kMove = 9,              // 0x80
  kKeyPress = 10,         // 0x83
  kKeyRelease = 11,       // 0x84
  kConsumerPress = 12,    // 0x85
  kConsumerRelease = 13,  // 0x85, usage 0
  kShortWait = 14,        // 0x88
  kLongWait = 15,         // 0x89
  kMoveTo = 16,           // 0xA0, 0xC0
};

// "macro_bt_str%d", 5: mouse buttons in macro instructions, by bit.
enum class StepButton : size_t { kLeft = 0, kRight = 1, kMiddle = 2, kB4 = 3, kB5 = 4 };

// "mouse_str%d", 9: mouse actions, by MouseAction.
enum class MouseName : size_t {
  kLeftClick = 0,
  kRightClick = 1,
  kWheelClick = 2,
  kBackward = 3,
  kForward = 4,
  kTiltLeft = 5,
  kTiltRight = 6,
  kScrollUp = 7,
  kScrollDown = 8,
};

// "button_str%d", 62: the label table: captions of buttons and switches.
enum class Label : size_t {
  kButtonSettings = 0,
  kDpiSettings = 1,
  kOther = 2,
  kReset = 3,
  kBackup = 4,
  kRestore = 5,
  kSelect = 6,
  kOk = 7,
  kCancel = 8,
  kDefault = 9,
  kSet = 10,
  kHide = 11,
  kImport = 12,
  kExport = 13,
  kName = 14,
  kOnce = 15,
  kLoop = 16,
  kFirekey = 17,
  kRecord = 18,
  kStop = 19,
  kClear = 20,
  kRecordIntervals = 21,
  kXyIndependent = 22,
  kAngleSnapping = 23,
  kReportRate = 24,
  kDelete = 25,
  kOsd = 26,
  kLoad = 27,
  kRecordClicks = 28,
  kRecordTrack = 29,
  kMilliseconds = 30,
  kHoldForPosition = 31,
  kFunctionList = 32,
  kMacroEdit = 33,
  kNoAcceleration = 34,
  kLoadMacro = 35,
  kSave = 36,
  kNew = 37,
  kMacroType = 38,
  kNewFolder = 39,
  kColorSetting = 40,
  kLightEffect = 45,
  kColor = 46,
  kBreathe = 47,
  kAlwaysOn = 48,
  kCustomize = 51,
  kWave = 52,
  kWaveInvert = 53,
  kRandom1 = 54,
  kRandom2 = 55,
  kSetAllLights = 59,
  kLightColor = 60,
  kDisable = 61,
};

// "button_tip_str%d", 60: tool tips, numbered like the labels they explain.
enum class Tip : size_t {
  kName = 14,
  kHz = 24,
  kDeleteMacro = 25,
  kLoadMacro = 35,
  kSaveMacro = 36,
  kNewMacro = 37,
  kNewFolder = 39,
};

// "msg_str%d", 43: the message table: prompts, questions, statuses, captions.
enum class Msg : size_t {
  kFunctionList = 0,
  kMacroList = 1,
  kSaveToList = 2,
  kInsertInput = 3,
  kInsertMove = 4,
  kInsertDelay = 5,
  kQuickDrop = 8,
  kFreeMemory = 9,
  kNoDevice = 10,
  kResetQuestion = 11,
  kOverwriteQuestion = 12,
  kAddToFavorite = 13,
  kRelative = 14,
  kAbsolute = 15,
  kPressToStart = 16,
  kPressToStop = 17,
  kRecordMovement = 18,
  kLackOfSpace = 19,
  kInvalidFormat = 20,
  kRecording = 21,
  kSaveChanges = 22,
  kClickToName = 23,
  kMacroName = 24,
  kDeleteMacro = 25,
  kFolderName = 26,
  kDeleteFolder = 27,
  kRoot = 28,
  kFunctionLibrary = 29,
  kOverwriteMacro = 30,
  kMacroListPc = 31,
  kMouseButton = 32,
  kMouseMemory = 33,
  kEmpty = 34,
  kClickToChange = 35,
  kButtonList = 36,
  kMouseManager = 37,
  kLiftAdjust = 38,
  kDpiFirekey = 39,
  kMacroEditor = 40,
  kSoftwareVersion = 41,
  kFirmwareVersion = 42,
};

// "class_str%d", 6: the groups of the function list.
enum class ClassName : size_t { kMouse = 0, kKeyboard = 1, kAdvanced = 2, kMacro = 3, kUserMacro = 4 };

// "adjust_lift_str%d", 13: the lift adjustment's words.
enum class LiftWord : size_t {
  kTitle = 0,
  kAuto = 1,
  kManual = 2,
  kTest = 3,
  kAutoTitle = 4,
  kMoveMouse = 5,  // the automatic adjustment's instruction
  kManualTitle = 6,
  kManualHint = 7,
  // The dialog's status texts.
  kInProgress = 10,
  kFail = 11,
  kSuccess = 12,
};

// "macro_edit_str%d", 3: the macro editor's own words.
enum class EditorWord : size_t {
  kClose = 0,
  kNewMark = 1,  // the mark of a new step
  kSize = 2,     // a macro's size, "%d bytes"
};

// "menu_str%d", 2: the tray menu.
enum class MenuItem : size_t { kSettings = 0, kQuit = 1 };

// "consumer_key_str%d", 14: names of the consumer-key table, in the table's
// order (the keys module pairs entry i with consumer usage i).
enum class ConsumerName : size_t {
  kWebBrowser = 0,      // 0x223
  kMyComputer = 1,      // 0x194
  kCalculator = 2,      // 0x192
  kMediaPlayer = 3,     // 0x183
  kMute = 4,            // 0x0E2
  kVolumeDown = 5,      // 0x0EA
  kVolumeUp = 6,        // 0x0E9
  kPlayPause = 7,       // 0x0CD
  kPlay = 8,            // 0x0B0
  kPause = 9,           // 0x0B1
  kNextTrack = 10,      // 0x0B5
  kPreviousTrack = 11,  // 0x0B6
  kStop = 12,           // 0x0B7
  kFastForward = 13,    // 0x0B3
};

// "failure_str%d", 14: why an operation on the mouse did not happen (the
// session's FailureText picks and joins them).
enum class Reason : size_t {
  kStoppedAnswering = 0,
  kUnplugged = 1,
  kNonsense = 2,
  kOtherProgram = 3,
  kCancelled = 4,
  kNothingChanged = 5,
  kOutOfRange = 6,
  kNoSuchSetting = 7,
  kPartlyWritten = 8,
  kRunAgain = 9,
  kCannotRead = 10,
  kCannotWrite = 11,
  kInternal = 12,
  kKeepOneLevel = 13,
  kServiceUnavailable = 14,  // a service of the system or the desktop cannot be had
};

// "desktop_str%d", 19: the desktop program's own additions. The file-type
// names get their pattern in the dialogs, " (*.exe)" and so on, which is
// never translated.
enum class Desktop : size_t {
  kAutostart = 0,    // the "Other" page's autostart switch
  kNoNudge = 1,      // the lift test runs without its pointer nudge
  kPrograms = 2,     // programs of this desktop, any name
  kApplication = 3,  // Windows programs run by Wine or Proton
  kBackupFile = 4,
  kMacroFile = 5,
  kNeedsX11 = 6,     // switching by application cannot see every window
  kNoSwitching = 7,  // switching by application is unavailable
  // The simulated mouse's own buttons (--simulate).
  kVirtualMouse = 8,
  kWheel = 9,
  kProfile = 10,
  kOpenSettings = 11,
  kUseLevel = 12,  // a level's switch, "%d" its number: whether the DPI button visits it
  // The macro editor's recording: armed (waiting for the hotkey) and stopped.
  kRecordArmed = 13,
  kRecordStopped = 14,
  kNoPointerControl = 15,  // the acceleration switch outside an X11 session
  // Switching by application on GNOME without the program's Shell extension;
  // ends in the command that enables it.
  kGnomeExtension = 16,
  kNudgeNeedsUinput = 17,  // what the lift test's pointer nudge needs where it has neither way
  kUseProfile = 18,        // a profile's switch, "%s" its name: whether the profile button visits it
};

}  // namespace quorix
