// Vendor input reports from the mouse (horizontal wheel, launch setting) and
// lighting blocks read from its memory: any bytes must be taken or refused
// without reading past the end, and the animation must stay in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "keys/pc_actions.h"
#include "lighting/light_effect.h"
#include "lighting/preview_model.h"
#include "platform/virtual_clock.h"

namespace {

class CountingInjector final : public quorix::InputInjector {
 public:
  void ScrollHorizontal(int steps) override { total += steps; }
  void MovePointerBy(int, int) override {}
  long total = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorix;
  CountingInjector injector;
  VirtualClock clock;
  HorizontalScroller scroller(injector, clock);
  if (scroller.OnHorizontalWheelReport(data, size)) {
    if (scroller.RunBatch() != static_cast<int8_t>(data[9])) std::abort();
  }
  (void)IsLaunchSettingReport(data, size);

  LightingBlock block{};
  for (size_t i = 0; i < size && i < block.size(); ++i) block[i] = data[i];
  const int effect = size > 64 ? data[64] : 0;
  const int level = size > 65 ? data[65] % 13 : 11;
  const LightingConfig config = DecodeLighting(block, effect, level);
  if (config.effect < 0 || config.effect > 4) std::abort();

  PreviewInputs inputs;
  inputs.block = block;
  inputs.buttonLayout = size > 66 ? data[66] : 0;
  inputs.protocolLevel = level;
  PreviewModel model;
  LoadPreviewForEffect(model, effect % 6, inputs);
  SeededRandom random(static_cast<uint32_t>(size));
  for (int frame = 0; frame < 24; ++frame) AnimatePreviewStep(model, {}, random);
  for (int zone = 0; zone < kZoneCount; ++zone) {
    for (int channel : {model.previewRed[zone], model.previewGreen[zone], model.previewBlue[zone],
                        model.previewBrightness[zone]}) {
      if (channel < 0 || channel > 255) std::abort();
    }
  }
  return 0;
}
