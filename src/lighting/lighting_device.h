#pragma once
// The lighting operations on the mouse, built on the lighting commands of the
// device link. Below protocol level 11 every change is refused with nothing
// sent (kNotSupported); reading falls back to the defaults.

#include <atomic>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "lighting/light_effect.h"
#include "lighting/preview_model.h"

namespace quorix {

// Every operation here runs as one device operation: from the first failed
// exchange on nothing more is sent, and the result says why it stopped.

// Chooses an effect: writes it and switches the mouse at once. A code outside
// 0..4 (kInvalidArgument) or a device without lighting (kNotSupported) is
// refused with no traffic. currentEffect takes the code only when the mouse
// took it.
Outcome ChooseLightEffect(DeviceLink& link, const std::string& path, int code, std::atomic<int>& currentEffect);

// Effect and zone table as the device holds them (effect 0 and the level's
// zone table, or no zones at levels 0..2). When the read failed, the result
// holds effect 0 and no zones, so nothing half-read is shown as the mouse's.
LightingConfig ReadLighting(DeviceLink& link, const std::string& path);

// The three zone operations refuse, with nothing sent, a zone outside
// 0..kZoneCount-1 (kInvalidArgument) and a device without lighting
// (kNotSupported).
//
// Shows a colour on the given zones without storing it (one preview command
// per zone, in the order given).
Outcome PreviewZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                     const LedZoneRecord& colour);
// Stores a colour as the zone record of each zone given. The records go out
// as memory writes, which await no answer: a mouse that answers nonsense is
// not noticed here (a silent or unplugged one is).
Outcome WriteZones(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                   const LedZoneRecord& colour);
// Shows each zone's stored record again (a cancelled picker); `stored` holds
// the records as they were when the picker opened.
Outcome RestoreZonePreviews(DeviceLink& link, const std::string& path, const std::vector<int>& zones,
                            const std::vector<LedZoneRecord>& stored);

// The zones a picker edits: one zone, or the "Set all lights" selection
// (zone < 0) of the device's button layout and level.
std::vector<int> PickerZones(const DeviceLink& link, const std::string& path, int zone);

// What the preview set-up needs from the device: the zone table (read only
// for effect 0), the button layout and the level. The block is all zeros when
// the read failed (inputs.outcome says why).
PreviewInputs ReadPreviewInputs(DeviceLink& link, const std::string& path, int effect,
                                const ProfileColour& profileColour);

}  // namespace quorix
