#include "platform/input_injector.h"

namespace quorix {

Result<std::unique_ptr<InputInjector>> ChooseInputInjector(const std::vector<InputInjectorOpener>& openers) {
  std::string reasons;
  for (const InputInjectorOpener& open : openers) {
    auto injector = open();
    if (injector) return injector;
    if (!reasons.empty()) reasons += '\n';
    reasons += injector.detail();
  }
  return Outcome(Failure::kUnavailable, reasons);
}

}  // namespace quorix
