#include "platform/input_injector.h"

namespace quorix {

std::unique_ptr<InputInjector> ChooseInputInjector(const std::vector<InputInjectorOpener>& openers, std::string* why) {
  std::string reasons;
  for (const InputInjectorOpener& open : openers) {
    std::string error;
    if (auto injector = open(&error)) return injector;
    if (!reasons.empty()) reasons += '\n';
    reasons += error;
  }
  if (why) *why = reasons;
  return nullptr;
}

}  // namespace quorix
