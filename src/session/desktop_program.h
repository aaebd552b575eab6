#pragma once
// What the desktop program keeps beside its session, made by the shell in the
// order of its start-up: the folders and the language before the session
// exists (the session is made with the language's texts and the data folder's
// set.ini), the macro library and the keyboard once it does, and the switch
// over the desktop's pointer acceleration while it runs. The acceleration
// belongs to the whole desktop session, not only to this program: the values
// the user had are given back when the program ends.
//
// GUI thread. The shell owns it for the program's whole run; it outlives the
// windows that use the macro library.

#include <memory>
#include <string>
#include <vector>

#include "keys/keyboard_layout.h"
#include "texts/text_tables.h"

namespace quorix {

class AccelerationSwitch;
class MacroLibrary;
class Paths;
class PointerSettings;

// The classic face names the interface asks for in the program's language;
// the front end maps each to a family installed on this desktop.
struct InterfaceFaces {
  std::string face;    // every interface text
  std::string face15;  // the two 15-pixel fonts
};

class DesktopProgram {
 public:
  // The program's read-only data, the user's data folder in the documents
  // folder and the folders of the desktop's applications, from `paths`. The
  // data folder and its "Favorite" folder are made when missing; what cannot
  // be made is simply missing later.
  explicit DesktopProgram(const Paths& paths);
  ~DesktopProgram();
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  // ---- before the session ----
  // "/langid=" among the start switches' classic arguments is stored in
  // set.ini, the language is read back from there (1033 when missing or
  // unreadable), and its texts from the program's language file.
  void ChooseLanguage(const std::vector<std::string>& classicArgs);
  // The language the windows speak (1033, 1041, 1028); 1033 before
  // ChooseLanguage.
  int LanguageId() const { return languageId_; }
  // The faces for the language, given the font families installed here.
  InterfaceFaces Faces(const std::vector<std::string>& installedFamilies) const;
  // What the session is made from: the data folder's set.ini, the folders
  // searched for applications' names, and the language's texts (handed over
  // once: the session keeps them).
  std::string SetIni() const;
  const std::vector<std::string>& ApplicationFolders() const { return applicationFolders_; }
  TextTables TakeTexts();

  // ---- once the session is there, in its texts ----
  // The user's macro library (the data folder's "Favorite") with the
  // program's function libraries, scanned; owned here.
  MacroLibrary& OpenMacroLibrary(const TextTables& texts);
  // The keyboard the button settings' key choice shows (keyboard.ini).
  KeyboardLayout LoadKeyboard(const TextTables& texts) const;

  // ---- the desktop's pointer acceleration ----
  // Where the desktop lets the program change it (`pointer`; null: it does
  // not). `disable` is the option as read at start-up and takes effect at
  // once, as the main window's switch shows it: checked (the default)
  // switches the desktop's acceleration off.
  void ControlAcceleration(std::unique_ptr<PointerSettings> pointer, bool disable);
  bool ControlsAcceleration() const { return acceleration_ != nullptr; }
  // The main window's switch: checked switches acceleration off; unchecked
  // gives the user's values back (or turns it on where the program changed
  // nothing yet). Nothing without control.
  void SwitchAcceleration(bool disable);
  // At quit: the user's own values again, when the program changed them.
  void GiveBackAcceleration();

 private:
  std::string programFolder_;
  std::string dataFolder_;  // with the trailing separator
  std::vector<std::string> applicationFolders_;
  int languageId_ = 1033;
  TextTables texts_;
  std::unique_ptr<MacroLibrary> macroLibrary_;
  std::unique_ptr<PointerSettings> pointer_;
  std::unique_ptr<AccelerationSwitch> acceleration_;  // over pointer_
};

}  // namespace quorix
