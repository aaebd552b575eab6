#pragma once
// Finding the mouse's configuration interfaces, identifying them, and the
// device list with its per-path information.

#include <array>
#include <cstdint>
#include <string>

#include "device/device_link.h"

namespace quorix {

inline constexpr int kIdentificationStringIndex = 199;

// Device paths are kept in lower case: the key of the device list, the
// device information and the read cache.
std::string ToLowerPath(std::string path);

// Walks every HID interface; identifies each that passes IsConfigInterface.
// Only adds to the device list.
void EnumerateDevices(DeviceLink& link);

// True when the lower-cased path holds "vid_<vendor>" and "pid_0139" or
// "pid_0145" at index 2 or later.
bool IsProductPath(const DeviceLink& link, const std::string& path);
// IsProductPath plus the interface/capabilities test (mi_00: 9/2/1,
// mi_01 and mi_02: 64/1/0xFF18).
bool IsConfigInterface(DeviceLink& link, const std::string& path);
// Reads the identification string and, when the device is accepted, its
// information block, and lists it. True when the letters were "AG" and the
// information block (if one was asked for) was answered; a device that did
// not answer is not listed, and the failed exchange is on the link's record.
bool IdentifyDevice(DeviceLink& link, const std::string& path);

// Whether identification asks this mouse for its information block (the
// layout check 3 with table 7); other mice keep an all-zero block.
bool HasInformationBlock(const DeviceInfo& info);

// Device-list access, each under the device-list mutex.
int DeviceCount(DeviceLink& link);
std::string DevicePath(DeviceLink& link, int index);  // "" when index is out of range
bool RemoveDevice(DeviceLink& link, const std::string& path);

// Device-information getters; a path without a record yields 0 (or the
// all-zero block).
int ProtocolLevel(const DeviceLink& link, const std::string& path);
int ProductId(const DeviceLink& link, const std::string& path);
int ModelCode(const DeviceLink& link, const std::string& path);
int ButtonLayout(const DeviceLink& link, const std::string& path);
int TableSelect(const DeviceLink& link, const std::string& path);
int FeatureLimit(const DeviceLink& link, const std::string& path);
int VariantA(const DeviceLink& link, const std::string& path);
std::array<uint8_t, 256> DeviceInfoBlock(const DeviceLink& link, const std::string& path);
// The whole record, or nullopt-like false when there is none.
bool GetDeviceInfo(const DeviceLink& link, const std::string& path, DeviceInfo& info);

}  // namespace quorix
