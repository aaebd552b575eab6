#include "firmware/isp_mode.h"

#include <algorithm>

#include "base/text_case.h"

namespace quorix {

bool IsIspModePath(const std::string& path) {
  const std::string lower = AsciiLower(path);
  for (const char* identity : {kIspIdentity7500, kIspIdentity7B00}) {
    const size_t at = lower.find(identity, 2);
    if (at != std::string::npos) return true;
  }
  return false;
}

int FirmwareVersionNumber(int variantA) { return std::max(1, variantA - 10); }

bool IspWatcher::OnInterfaceArrival(const std::string& path, bool haveCurrentDevice) {
  if (haveCurrentDevice || !IsIspModePath(path)) return false;
  settleDueMs_ = clock_.NowMs() + kIspSettleMs;
  return true;
}

bool IspWatcher::Poll() {
  const int64_t now = clock_.NowMs();
  if (settleDueMs_ && now >= *settleDueMs_) {
    // The rescan timer counts from the settle timer's expiry, not from when
    // a late poll noticed it.
    rescanDueMs_ = *settleDueMs_ + kIspRescanDelayMs;
    settleDueMs_.reset();
  }
  if (rescanDueMs_ && now >= *rescanDueMs_) {
    rescanDueMs_.reset();
    return true;
  }
  return false;
}

std::optional<int64_t> IspWatcher::NextDueMs() const {
  if (settleDueMs_) return settleDueMs_;
  return rescanDueMs_;
}

}  // namespace quorix
