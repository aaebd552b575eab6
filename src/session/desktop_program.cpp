#include "session/desktop_program.h"

#include <utility>

#include "keys/button_function.h"
#include "macro/macro_library.h"
#include "options/acceleration_switch.h"
#include "options/language_setting.h"
#include "options/options_store.h"
#include "platform/paths.h"
#include "platform/pointer_settings.h"
#include "session/models/button_settings_model.h"
#include "texts/language.h"

namespace quorix {

DesktopProgram::DesktopProgram(const Paths& paths)
    : programFolder_(paths.ProgramFolder()),
      dataFolder_(DataFolderIn(paths.DocumentsFolder())),
      applicationFolders_(paths.ApplicationFolders()),
      texts_(DefaultTextTables()) {
  PrepareDataFolder(dataFolder_);
}

DesktopProgram::~DesktopProgram() = default;

void DesktopProgram::ChooseLanguage(const std::vector<std::string>& classicArgs) {
  LanguageSelection language = SelectLanguage(classicArgs, dataFolder_, programFolder_);
  languageId_ = language.languageId;
  texts_ = std::move(language.texts);
}

InterfaceFaces DesktopProgram::Faces(const std::vector<std::string>& installedFamilies) const {
  const std::string face = ChooseUiFace(languageId_, installedFamilies);
  return {face, SmallFontFace(languageId_, face)};
}

std::string DesktopProgram::SetIni() const { return dataFolder_ + kSetIniName; }

TextTables DesktopProgram::TakeTexts() { return std::move(texts_); }

MacroLibrary& DesktopProgram::OpenMacroLibrary(const TextTables& texts) {
  macroLibrary_ = std::make_unique<MacroLibrary>(dataFolder_ + "Favorite", programFolder_, MakeLibraryTexts(texts));
  macroLibrary_->Scan();
  return *macroLibrary_;
}

KeyboardLayout DesktopProgram::LoadKeyboard(const TextTables& texts) const {
  return LoadKeyboardLayoutFile(programFolder_ + "/keyboard.ini", MakeKeyTexts(texts));
}

void DesktopProgram::ControlAcceleration(std::unique_ptr<PointerSettings> pointer, bool disable) {
  GiveBackAcceleration();  // a desktop controlled before has its values again
  acceleration_.reset();
  pointer_ = std::move(pointer);
  if (!pointer_) return;
  acceleration_ = std::make_unique<AccelerationSwitch>(*pointer_);
  if (disable) acceleration_->Apply(true);
}

void DesktopProgram::SwitchAcceleration(bool disable) {
  if (acceleration_) acceleration_->Apply(disable);
}

void DesktopProgram::GiveBackAcceleration() {
  if (acceleration_) acceleration_->GiveBack();
}

}  // namespace quorix
