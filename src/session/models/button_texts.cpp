#include "session/models/button_texts.h"

#include <memory>

#include "keys/button_function.h"

namespace quorix {

ButtonTextFn MainWindowButtonTexts(const TextTables& tables) {
  auto texts = std::make_shared<KeyTexts>(MakeKeyTexts(tables));
  return [texts](const SettingsImage& image, const ButtonRecord& r) {
    const MacroNameLookup macroName = [&image](int codeAddress) -> std::string {
      for (const MacroSlot& slot : image.macroSlots)
        if (slot.InUse() && slot.length > 0 && slot.codeAddress == codeAddress) return slot.name;
      return "";
    };
    return ButtonDisplayText(*texts, ButtonFunction{r.type, r.p1, r.p2, r.p3}, macroName,
                             DpiStepForModel(image.modelCode));
  };
}

}  // namespace quorix
