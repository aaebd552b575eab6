#include "texts/text_tables.h"

namespace quorix {

namespace {

std::vector<std::string> Padded(std::vector<std::string> texts, size_t count) {
  texts.resize(count);
  return texts;
}

}  // namespace

TextTables DefaultTextTables() {
  TextTables t;

  // Index = button function type. Several names end in one blank on purpose:
  // the main window appends a macro name or a key right after them.
  t.typeStr = Padded(
      {
          "Default",                // 0
          "No function",            // 1
          "HID Key1",               // 2
          "HID Key2",               // 3
          "Mouse ",                 // 4
          "Keyboard ",              // 5
          "Mutimedia",              // 6
          "保留",                   // 7 (reserved)
          "Macro ",                 // 8
          "Macro(R) ",              // 9
          "Macro(F) ",              // 10
          "保留",                   // 11 (reserved)
          "DPI+",                   // 12
          "DPI-",                   // 13
          "DPI loop",               // 14
          "DPI firekey",            // 15
          "DPI hotkey",             // 16
          "Profile switch",         // 17
          "Adjust lift",            // 18
          "LED on/off",             // 19
          "Angle snapping ON/OFF",  // 20
          "Adjust DPI",             // 21
          "Adjust Button",          // 22
          "Profile/DPI switch",     // 23
          "Scroll hotkey",          // 24
          "Scroll hotkey",          // 25
          "Alternate",              // 26
          "Fire button",            // 27
          "",                       // 28
          "",                       // 29
          "Lock X-axis",            // 30
          "Lock Y-axis",            // 31
          // 32..39 empty; 36 is the profile-select type, named by the profile word
      },
      40);

  // Only the first entry is fixed; the rest are the group titles of the button
  // settings window, then spare slots a translation may fill.
  t.titleStr = Padded({"Button Settings", "Mouse button", "Scroll", "DPI", "Keyboard", "Macro", "Volume",
                       "Media", "Other", "Profile"},
                      20);

  // The first 16 of the device-order and label name tables; the language file
  // reaches only these.
  t.btOrderStr = Padded({"Left click", "Right click", "Wheel click", "Side1", "Side2", "G1", "G2", "G3",
                         "Tilt left", "Tilt right", "Scroll up", "Scroll down", "Gaming"},
                        16);
  t.btLabelStr = Padded({"Left click", "Right click", "Wheel click", "Scroll up", "Scroll down", "Tilt left",
                         "Tilt right", "Backward", "Forward", "Side scroll down", "Side scroll up", "Button"},
                        16);

  t.upgradeStr = {
      "New firmware available, need to upgrade now.\r\nCAUTION!! Don't plugin more than one mouse.",
      "New firmware available, need to upgrade now.\r\nPress OK to upgrade.",
      "Upgrading... Please wait and don't remove the mouse.",
      "Upgrade finish.",
      "Upgrade Firmware",
      "New firmware available, need to upgrade now.\r\nPress OK to upgrade.",
      "New firmware available, need to upgrade now.\r\nCAUTION!! Don't plugin more than one mouse.",
      "Upgrading... Please wait and don't remove the mouse.",
      "Upgrade error.",
      "Support",
      "Close",
  };

  t.clickDelayStr = "Delay";
  t.adjustDpiStr = "Scroll to change DPI";
  t.capInputStr = {"Enter name", "Enter profile name", "Enter macro name", "Edit macro"};

  // Macro instruction texts. "Stop", "Unknown" and "System command" are fixed
  // and not part of this table. Order:
  //  0..2  execution-mode markers (0x04, 0x05, 0x06)
  //  3     jump (0x08)          4  loop (0x10)          5  set ACC (0x18)
  //  6     button press (0x20)  7  button release (0x40) 8  wheel (0x60)
  //  9     relative move (0x80) 10 key press (0x83)      11 key release (0x84)
  //  12    consumer press (0x85) 13 consumer release (0x85, usage 0)
  //  14    short wait (0x88)    15 long wait (0x89)      16 absolute move (0xA0, 0xC0)
  t.macroStr = {
      "Execute one time",
      "Loop mode",
      "Firekey mode",
      "Jump to address %d",
      "Set ACC=ACC-1, if ACC!=0 then jump to address %d",
      "Set ACC=%d",
      "Press & hold mouse button %s",
      "Release mouse button %s",
      "Wheel Scrolling  %d count(unit)",
      "Mouse Movement (%d , %d)",
      "Press & hold Keyboard  %s",
      "Release Keyboard  %s",
      "Press & hold Consumer-key  %s",
      "Release Consumer-key",
      "Wait %d ms",
      "%d ms",
      "Mouse Move to (%d , %d)",
  };
  t.macroBtStr = {"Left", "Right", "Middle", "B4", "B5"};
  t.mouseStr = {"Left click", "Right click", "Wheel click", "Backward",   "Forward",
                "Tilt left",  "Tilt right",  "Scroll up",   "Scroll down"};

  t.buttonStr = {
      "Button settings",                  // 0
      "DPI settings",                     // 1
      "Other",                            // 2
      "Reset",                            // 3
      "Backup",                           // 4
      "Restore",                          // 5
      "Select",                           // 6
      "OK",                               // 7
      "Cancel",                           // 8
      "Default",                          // 9
      "Set",                              // 10
      "Hide",                             // 11
      "Import",                           // 12
      "Export",                           // 13
      "Name",                             // 14
      "One time mode",                    // 15
      "Loop mode",                        // 16
      "Firekey mode",                     // 17
      "Record",                           // 18
      "Stop",                             // 19
      "Clear",                            // 20
      "Record intervals",                 // 21
      "X-Y independent",                  // 22
      "Angle snapping",                   // 23
      "Report rate",                      // 24
      "Delete",                           // 25
      "Enable DPI / profile OSD",         // 26
      "Load",                             // 27
      "Record click positions",           // 28
      "Record cursor track",              // 29
      "%dms",                             // 30
      "Press && hold to get position",    // 31
      "Function list",                    // 32
      "Macro edit",                       // 33
      "Disable mouse acceleration (OS)",  // 34
      "Load",                             // 35
      "Save",                             // 36
      "New",                              // 37
      "Macro type",                       // 38
      "New folder",                       // 39
      "Color Setting",                    // 40
      "",                                 // 41
      "",                                 // 42
      "",                                 // 43
      "",                                 // 44
      "Light effect",                     // 45
      "Color",                            // 46
      "Breathe",                          // 47
      "Always ON",                        // 48
      "",                                 // 49
      "",                                 // 50
      "Customize",                        // 51
      "Wave",                             // 52
      "Wave (Invert)",                    // 53
      "Random 1",                         // 54
      "Random 2",                         // 55
      "",                                 // 56
      "",                                 // 57
      "",                                 // 58
      "Set all lights",                   // 59
      "Color",                            // 60
      "Disable",                          // 61
  };

  t.buttonTipStr.assign(60, "");
  t.buttonTipStr[14] = "Click here to enter name";
  t.buttonTipStr[24] = "Hz";
  t.buttonTipStr[25] = "Delete macro";
  t.buttonTipStr[35] = "Load macro";
  t.buttonTipStr[36] = "Save macro";
  t.buttonTipStr[37] = "New macro";
  t.buttonTipStr[39] = "New folder";

  t.msgStr = {
      "Function list",                                                                 // 0
      "Macro list",                                                                    // 1
      "Save to macro list",                                                            // 2
      "Insert keyboard / mouse or scroll instruction",                                 // 3
      "Insert mouse move",                                                             // 4
      "Insert delay instruction",                                                      // 5
      "",                                                                              // 6
      "",                                                                              // 7
      "Quick Drop Function: Drag and Drop to Button Setting for quick configuration.",  // 8
      "free memory: %d bytes",                                                         // 9
      "No device !!",                                                                  // 10
      "All setting will be reset !!  continue?",                                       // 11
      "Current setting will be overwritten !! continue?",                              // 12
      "Add \"%s\" to favorite...",                                                     // 13
      "Relative",                                                                      // 14
      "Absolute",                                                                      // 15
      "Press %s to start recording.",                                                  // 16
      "Press %s to stop recording.",                                                   // 17
      "Record mouse movement:",                                                        // 18
      "Lack of space !!",                                                              // 19
      "invalid format !!",                                                             // 20
      "Recording...",                                                                  // 21
      "Save changes in macro '%s' ?",                                                  // 22
      "Click to change name",                                                          // 23
      "Macro name",                                                                    // 24
      "Delete macro '%s' ?",                                                           // 25
      "Folder name",                                                                   // 26
      "Delete folder '%s' ?",                                                          // 27
      "Root",                                                                          // 28
      "Function lbrary",                                                               // 29
      "Overwrite macro '%s' ?",                                                        // 30
      "Macro list (PC)",                                                               // 31
      "Mouse button",                                                                  // 32
      "Mouse memory",                                                                  // 33
      "Empty",                                                                         // 34
      "Click to change function",                                                      // 35
      "Button list",                                                                   // 36
      "Mouse manager",                                                                 // 37
      "Lift adjust",                                                                   // 38
      "DPI firekey [X:%d , Y:%d]",                                                     // 39
      "Macro Editor",                                                                  // 40
      "Software version",                                                              // 41
      "Firmware version",                                                              // 42
  };

  t.classStr = {"Mouse", "Keyboard", "Advanced", "Macro", "User Macro", ""};
  t.recordKeyTipStr = "Waitting for keyboard or mouse event.";

  // 5 and 7 are the automatic adjustment's instructions. 10..12 are the lift
  // dialog's status texts: the language read takes whatever the file holds
  // (an empty translation stays empty), so these defaults serve only a file
  // without the key.
  t.adjustLiftStr = {
      "Lift adjust",
      "Auto",
      "Manual",
      "Test",
      "Auto adjust",
      "Move the mouse all over the mouse pad without lifting it.",
      "Manual adjust",
      "Press OK within 5 seconds, or the change is cancelled.",
      "",
      "",
      "In progress...",
      "Adjust Fail !!",
      "Adjust Success !!",
  };

  t.recordOptionStr = "Record Option";
  t.macroEditBtStr = "Macro edit";
  t.recordMoveStr1 = "50ms";
  t.recordMoveStr2 = "200ms";
  t.hotkeyStr = "";
  t.hotkeyTipStr = "";
  t.hotkeyModifyStr = "";
  t.macroEditStr = {"Close", "new", "%d bytes"};
  t.endStr = "-- End --";
  t.macroEditorCapStr = "Macro Editor";
  t.launchStr = "Launch setting";
  t.menuStr = {"Settings", "Quit"};

  // Same order as the consumer-key table (usages 0x223, 0x194, 0x192, 0x183,
  // 0x0E2, 0x0EA, 0x0E9, 0x0CD, 0x0B0, 0x0B1, 0x0B5, 0x0B6, 0x0B7, 0x0B3).
  t.consumerKeyStr = {"Web Browser", "My Computer", "Calculator", "Media Player",   "Mute",
                      "Volume -",    "Volume +",    "Play/Pause", "Play",           "Pause",
                      "Next Track",  "Previous Track", "Stop",    "Fast Forward"};

  t.versionStr = "Software version";
  t.firmwareStr = "Firmware version";
  t.failureStr = {"the mouse stopped answering",
                  "the mouse was unplugged",
                  "the mouse gave answers that make no sense",
                  "another program is using the mouse",
                  "cancelled",
                  "nothing was changed",
                  "value out of range",
                  "this mouse has no such setting",
                  "settings may be partly written \u2014 run the command again",
                  "run the command again",
                  "cannot read the file",
                  "cannot write the file",
                  "an internal error stopped the operation",
                  "at least one DPI level must stay on",
                  "the desktop service is unavailable"};
  t.desktopStr = {
      "Start with the desktop session (in the tray)",
      "The pointer cannot be moved for the test here: move the mouse a little yourself after \"Test\".",
      "Programs",
      "Application",
      "Backup File",
      "Macro File",
      "Switching profiles by application needs X11 or XWayland windows: native Wayland windows are not seen.",
      "Switching profiles by application is not available here.",
      "Virtual mouse",
      "Wheel",
      "Profile",
      "Open settings",
      "Use Lv.%d",
      "Ready to record",
      "Recording stopped.",
      "The acceleration switch has no effect here: this desktop session is not X11."};
  return t;
}

}  // namespace quorix
