#include "device/discovery.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <mutex>

#include "base/text_case.h"
#include "device/device_request.h"
#include "device/protocol_family.h"
#include "device/transport.h"

namespace quorix {
namespace {

constexpr uint16_t kVendorUsagePage = 0xFF18;
constexpr int kIdentificationBufferSize = 512;

bool Contains(const std::string& text, const std::string& tag, size_t from) {
  return text.find(tag, from) != std::string::npos;
}

bool IsVendorCollection(const HidCaps& caps) {
  return caps.featureReportByteLength == 64 && caps.usage == 1 && caps.usagePage == kVendorUsagePage;
}

// The fields the identification string carries (raw bytes 4..11 and 21).
DeviceInfo DecodeIdentification(const uint8_t* id) {
  DeviceInfo info;
  info.protocolLevel = id[4];
  info.variantA = id[5];
  info.modelCode = id[6];
  const int layout = id[7];
  info.buttonLayout = (layout >= 12 && layout <= 14) ? 9 : layout;
  info.memoryLayoutCheck = id[8];
  info.tableSelect = id[9];
  info.featureLimit = id[10];
  info.variantB = id[11];
  const ProtocolFamily family = FamilyForLevel(info.protocolLevel);
  info.optionFlag = family.optionFlagInIdentification ? id[21] : family.optionFlag;
  return info;
}

// The information block: button records asked for one by one where the
// family says so (the direct layout), else the first 256 bytes of the
// settings memory. False at the first exchange that failed: the rest is not
// asked for, and the block must not be trusted.
bool ReadInformationBlock(DeviceLink& link, HidDevice& device, const ProtocolFamily& family,
                          std::array<uint8_t, 256>& block) {
  Report r{};
  auto exchange = [&](std::initializer_list<uint8_t> bytes) {
    Report request = MakeRequest(bytes);
    r = {};
    return ExchangeFeatureReport(link, device, request.data(), r.data(), 64, 0) == ExchangeOutcome::kAnswered;
  };
  if (!exchange({0x00, 0x12, 0x12})) return false;
  link.GetClock().SleepMs(12);
  if (!exchange({0x01, 0x06, 0x02, 0x02})) return false;
  if (family.buttonRecordsByRequest) {
    for (int i = 0; i < 32; ++i) {
      if (!exchange({0x0A, static_cast<uint8_t>(i), 0x01, 0, 0, 0, 0x12})) return false;
      block[72 + 4 * i] = r[2] > 50 ? 1 : r[2];
      for (int k = 1; k < 4; ++k) block[72 + 4 * i + k] = r[2 + k];
    }
    block[12] = 5;
    block[13] = 4;
    return true;
  }
  for (int w = 0; w <= 120; w += 30) {
    if (!exchange({0x01, 0x00, 0x01, static_cast<uint8_t>(w)})) return false;
    for (int k = 0; k < 60 && 2 * w + k < 256; ++k) block[2 * w + k] = r[2 + k];
  }
  return true;
}

const DeviceInfo* FindInfo(const DeviceLink& link, const std::string& path) {
  auto it = link.deviceInfo.find(path);
  return it == link.deviceInfo.end() ? nullptr : &it->second;
}

template <typename Field>
int InfoField(const DeviceLink& link, const std::string& path, Field field) {
  std::lock_guard<std::mutex> lock(link.infoMutex);
  const DeviceInfo* info = FindInfo(link, path);
  return info ? static_cast<int>(info->*field) : 0;
}

}  // namespace

std::string ToLowerPath(std::string path) { return AsciiLower(path); }

void EnumerateDevices(DeviceLink& link) {
  for (const HidInterfaceInfo& iface : link.Host().EnumerateInterfaces()) {
    const std::string path = ToLowerPath(iface.path);
    if (IsConfigInterface(link, path)) IdentifyDevice(link, path);
  }
}

bool IsProductPath(const DeviceLink& link, const std::string& path) {
  const std::string lower = ToLowerPath(path);
  char vendorTag[16];
  std::snprintf(vendorTag, sizeof vendorTag, "vid_%04x", static_cast<unsigned>(link.VendorId()));
  return Contains(lower, vendorTag, 2) && (Contains(lower, "pid_0139", 2) || Contains(lower, "pid_0145", 2));
}

bool IsConfigInterface(DeviceLink& link, const std::string& path) {
  if (!IsProductPath(link, path)) return false;
  std::unique_ptr<HidDevice> device = link.Host().Open(path);
  if (!device) return false;
  HidCaps caps;
  const bool capsRead = device->GetCaps(caps);
  device->CancelIo();
  if (!capsRead) return false;
  const std::string lower = ToLowerPath(path);
  if (Contains(lower, "mi_00", 3) && caps.featureReportByteLength == 9 && caps.usage == 2 && caps.usagePage == 1) {
    return true;
  }
  return (Contains(lower, "mi_01", 3) || Contains(lower, "mi_02", 3)) && IsVendorCollection(caps);
}

bool HasInformationBlock(const DeviceInfo& info) { return info.memoryLayoutCheck == 3 && info.tableSelect == 7; }

bool IdentifyDevice(DeviceLink& link, const std::string& path) {
  std::lock_guard<std::mutex> identifyLock(link.IdentifySection());
  std::unique_ptr<HidDevice> device = link.Host().Open(path);
  if (!device) return false;
  HidCaps caps;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  const bool capsRead = device->GetCaps(caps);
  device->GetAttributes(vendorId, productId);
  if (!capsRead || !IsVendorCollection(caps)) {
    device->CancelIo();
    return false;
  }

  std::array<uint8_t, kIdentificationBufferSize> id{};
  if (!device->GetIndexedString(kIdentificationStringIndex, id.data(), id.size()) || id[2] != 'A' ||
      id[3] != 'G') {
    device->CancelIo();
    return false;
  }
  DeviceInfo info = DecodeIdentification(id.data());
  info.vendorId = vendorId;
  info.productId = productId;

  bool answered = true;
  {
    std::lock_guard<NamedMutex> listLock(link.DeviceListMutex());
    if (HasInformationBlock(info)) {
      std::array<uint8_t, 256> block{};
      {
        // A re-identified path keeps its block and overwrites what is read.
        std::lock_guard<std::mutex> infoLock(link.infoMutex);
        if (const DeviceInfo* old = FindInfo(link, path)) block = old->deviceInfoBlock;
      }
      // A mouse that does not answer its information block is not listed:
      // every command would act on a block of guesses. The failure stays on
      // the link's record for the caller to report.
      answered = ReadInformationBlock(link, *device, FamilyForLevel(info.protocolLevel), block);
      if (answered) {
        if (std::find(link.deviceList.begin(), link.deviceList.end(), path) == link.deviceList.end()) {
          link.deviceList.push_back(path);
        }
        info.deviceInfoBlock = block;
        std::lock_guard<std::mutex> infoLock(link.infoMutex);
        link.deviceInfo[path] = info;
      }
    }
  }
  device->CancelIo();
  return answered;
}

int DeviceCount(DeviceLink& link) {
  std::lock_guard<NamedMutex> lock(link.DeviceListMutex());
  return static_cast<int>(link.deviceList.size());
}

std::string DevicePath(DeviceLink& link, int index) {
  std::lock_guard<NamedMutex> lock(link.DeviceListMutex());
  if (index < 0 || index >= static_cast<int>(link.deviceList.size())) return "";
  return link.deviceList[static_cast<size_t>(index)];
}

bool RemoveDevice(DeviceLink& link, const std::string& path) {
  std::lock_guard<NamedMutex> lock(link.DeviceListMutex());
  auto it = std::find(link.deviceList.begin(), link.deviceList.end(), path);
  if (it != link.deviceList.end()) link.deviceList.erase(it);
  return true;
}

int ProtocolLevel(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::protocolLevel);
}
int ProductId(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::productId);
}
int ModelCode(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::modelCode);
}
int ButtonLayout(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::buttonLayout);
}
int TableSelect(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::tableSelect);
}
int FeatureLimit(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::featureLimit);
}
int VariantA(const DeviceLink& link, const std::string& path) {
  return InfoField(link, path, &DeviceInfo::variantA);
}

std::array<uint8_t, 256> DeviceInfoBlock(const DeviceLink& link, const std::string& path) {
  std::lock_guard<std::mutex> lock(link.infoMutex);
  const DeviceInfo* info = FindInfo(link, path);
  return info ? info->deviceInfoBlock : std::array<uint8_t, 256>{};
}

bool GetDeviceInfo(const DeviceLink& link, const std::string& path, DeviceInfo& info) {
  std::lock_guard<std::mutex> lock(link.infoMutex);
  const DeviceInfo* found = FindInfo(link, path);
  if (found) info = *found;
  return found != nullptr;
}

}  // namespace quorix
