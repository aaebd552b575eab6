#pragma once
// The lighting operations on the mouse, built on the lighting commands of the
// device link. Every operation is a no-op below protocol level 11 (the
// commands send nothing there); reading falls back to the defaults.

#include <atomic>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "lighting/light_effect.h"
#include "lighting/preview_model.h"

namespace quorix {

// Chooses an effect: writes it and switches the mouse at once. A code outside
// 0..4, or a device without lighting, is refused with no traffic and leaves
// currentEffect as it was; otherwise currentEffect takes the code.
bool ChooseLightEffect(DeviceLink& link, const std::string& path, int code, std::atomic<int>& currentEffect);

// Effect and zone table as the device holds them (effect 0 and the level's
// zone table, or no zones at levels 0..2).
LightingConfig ReadLighting(DeviceLink& link, const std::string& path);

// Shows a colour on the given zones without storing it (one preview command
// per zone, in the order given).
void PreviewZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                  const LedZoneRecord& colour);
// Stores a colour as the zone record of each zone given.
void WriteZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                const LedZoneRecord& colour);
// Shows each zone's stored record again (a cancelled picker); `stored` holds
// the records as they were when the picker opened.
void RestoreZonePreviews(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                         const std::vector<LedZoneRecord>& stored);

// The zones a picker edits: one zone, or the "Set all lights" selection
// (zone < 0) of the device's button layout and level.
std::vector<int> PickerZones(const DeviceLink& link, const std::string& path, int zone);

// What the preview set-up needs from the device: the zone table (read only
// for effect 0), the button layout and the level.
PreviewInputs ReadPreviewInputs(DeviceLink& link, const std::string& path, int effect,
                                const ProfileColour& profileColour);


}  // namespace quorix
