#pragma once
// The English texts the key tests read function and key names from, filled
// in the same order as the program's text tables.

#include "texts/text_tables.h"

namespace quorix::test {

inline TextTables EnglishKeyTextTables() {
  TextTables t;
  t.typeStr = {"Default", "No function", "HID Key1", "HID Key2", "Mouse ", "Keyboard ", "Mutimedia", "保留",
               "Macro ", "Macro(R) ", "Macro(F) ", "保留", "DPI+", "DPI-", "DPI loop", "DPI firekey",
               "DPI hotkey", "Profile switch", "Adjust lift", "LED on/off", "Angle snapping ON/OFF", "Adjust DPI",
               "Adjust Button", "Profile/DPI switch", "Scroll hotkey", "Scroll hotkey", "Alternate", "Fire button",
               "", "", "Lock X-axis", "Lock Y-axis", "", "", "", "", "", "", "", ""};
  t.mouseStr = {"Left click", "Right click", "Wheel click", "Backward", "Forward",
                "Tilt left",  "Tilt right",  "Scroll up",   "Scroll down"};
  t.btOrderStr = {"Left click", "Right click", "Wheel click", "Side1", "Side2", "G1", "G2", "G3",
                  "Tilt left",  "Tilt right",  "Scroll up",   "Scroll down", "Gaming", "", "", ""};
  t.btLabelStr = {"Left click", "Right click", "Wheel click", "Scroll up", "Scroll down", "Tilt left",
                  "Tilt right", "Backward", "Forward", "Side scroll down", "Side scroll up", "Button",
                  "", "", "", ""};
  t.consumerKeyStr = {"Web Browser", "My Computer", "Calculator", "Media Player", "Mute",
                      "Volume -", "Volume +", "Play/Pause", "Play", "Pause",
                      "Next Track", "Previous Track", "Stop", "Fast Forward"};
  t.launchStr = "Launch setting";
  return t;
}

}  // namespace quorix::test
