#include "settings/settings_image.h"

#include <algorithm>

namespace quorix {

int CycledLevels(int levelMask, int levelCount) {
  const int all = (1 << std::clamp(levelCount, 1, kDpiPairCount)) - 1;
  const int cycled = levelMask & all;
  return cycled != 0 ? cycled : all;
}

int ComputePrimaryClickHolder(const SettingsImage& image) { return PrimaryClickHolderOf(image, image.activeProfile); }

int PrimaryClickHolderOf(const SettingsImage& image, int profile) {
  if (profile < 0 || profile >= kProfileCount) return -1;
  const auto& buttons = image.profiles[static_cast<size_t>(profile)].buttons;
  int holder = -1;
  int qualifying = 0;
  for (int b = 0; b < 16; ++b) {
    const ButtonRecord& r = buttons[static_cast<size_t>(b)];
    const bool leftClick = r.type == 4 && r.p1 == 0x01;
    // Button 0's type 0 is its default, which is the left click.
    if (leftClick || (b == 0 && r.type == 0)) {
      holder = b;
      ++qualifying;
    }
  }
  return qualifying == 1 ? holder : -1;
}

}  // namespace quorix
