// Which picture each id shows, and its size. Ids and their meaning come from
// picture_ids.h; sizes are the artwork's own choice.
#include <algorithm>

#include "pictures.h"
#include "ui/art/lighting_geometry.h"
#include "ui/art/mouse_geometry.h"
#include "ui/art/picture_ids.h"

namespace quorix::art {

namespace pic = ui::pic;

std::vector<PictureEntry> Catalogue() {
  using L = Look;
  std::vector<PictureEntry> all{
      {pic::kMainBackground, "main background", {1024, 674}, DrawMainBackground},
      {pic::kTabNormal, "tab", {160, 36}, [](auto& p, auto s) { DrawTab(p, s, L::kNormal); }},
      {pic::kTabHover, "tab hover", {160, 36}, [](auto& p, auto s) { DrawTab(p, s, L::kHover); }},
      {pic::kTabSelected, "tab selected", {160, 36}, [](auto& p, auto s) { DrawTab(p, s, L::kSelected); }},
      {pic::kCloseNormal, "close", {28, 28}, [](auto& p, auto s) { DrawWindowButton(p, s, true, false); }},
      {pic::kCloseHover, "close hover", {28, 28}, [](auto& p, auto s) { DrawWindowButton(p, s, true, true); }},
      {pic::kMinimizeNormal, "minimise", {28, 28}, [](auto& p, auto s) { DrawWindowButton(p, s, false, false); }},
      {pic::kMinimizeHover, "minimise hover", {28, 28}, [](auto& p, auto s) { DrawWindowButton(p, s, false, true); }},
      {pic::kLogo, "logo", {160, 30}, DrawLogo},
      {pic::kProgressTrack, "progress track", {420, 6}, [](auto& p, auto s) { DrawProgress(p, s, false); }},
      {pic::kProgressFill, "progress fill", {420, 6}, [](auto& p, auto s) { DrawProgress(p, s, true); }},
      {pic::kRadioNormal, "radio", {15, 15}, [](auto& p, auto s) { DrawRadio(p, s, false); }},
      {pic::kRadioSelected, "radio selected", {15, 15}, [](auto& p, auto s) { DrawRadio(p, s, true); }},
      {pic::kCheckOff, "check off", {15, 15}, [](auto& p, auto s) { DrawCheck(p, s, false); }},
      {pic::kCheckOn, "check on", {15, 15}, [](auto& p, auto s) { DrawCheck(p, s, true); }},
      {pic::kSliderThumb, "slider thumb", {18, 18}, DrawSliderThumb},
      {pic::kWideButtonNormal, "wide button", {160, 32}, [](auto& p, auto s) { DrawButton(p, s, L::kNormal); }},
      {pic::kWideButtonHover, "wide button hover", {160, 32}, [](auto& p, auto s) { DrawButton(p, s, L::kHover); }},
      {pic::kWideButtonDisabled,
       "wide button disabled",
       {160, 32},
       [](auto& p, auto s) { DrawButton(p, s, L::kDisabled); }},
      {pic::kLargeButtonNormal, "large button", {200, 32}, [](auto& p, auto s) { DrawButton(p, s, L::kNormal); }},
      {pic::kLargeButtonHover, "large button hover", {200, 32}, [](auto& p, auto s) { DrawButton(p, s, L::kHover); }},
      {pic::kSliderTrack, "slider track", {360, 6}, DrawSliderTrack},
      {pic::kSliderTick, "slider tick", {2, 8}, DrawSliderTick},
      {pic::kProfileItemNormal, "profile", {220, 40}, [](auto& p, auto s) { DrawProfileItem(p, s, L::kNormal); }},
      {pic::kProfileItemHover, "profile hover", {220, 40}, [](auto& p, auto s) { DrawProfileItem(p, s, L::kHover); }},
      {pic::kProfileItemSelected,
       "profile selected",
       {220, 40},
       [](auto& p, auto s) { DrawProfileItem(p, s, L::kSelected); }},
      {pic::kAppField, "application field", {220, 26}, [](auto& p, auto s) { DrawField(p, s, true); }},
      {pic::kLevelNormal, "level", {64, 28}, [](auto& p, auto s) { DrawLevel(p, s, L::kNormal); }},
      {pic::kLevelHover, "level hover", {64, 28}, [](auto& p, auto s) { DrawLevel(p, s, L::kHover); }},
      {pic::kLevelSelected, "level selected", {64, 28}, [](auto& p, auto s) { DrawLevel(p, s, L::kSelected); }},
      {pic::kMouseTop, "mouse", {ui::art::kMouseWidth, ui::art::kMouseHeight}, DrawMouseTop},
      {pic::kButtonSpot, "button spot", {18, 18}, [](auto& p, auto s) { DrawButtonSpot(p, s, false, false); }},
      {pic::kButtonSpotHover,
       "button spot hover",
       {18, 18},
       [](auto& p, auto s) { DrawButtonSpot(p, s, true, false); }},
      {pic::kButtonSpotLocked,
       "button spot locked",
       {18, 18},
       [](auto& p, auto s) { DrawButtonSpot(p, s, false, true); }},
      {pic::kFunctionLabel, "function label", {150, 24}, DrawFunctionLabel},
      {pic::kDialogBackground, "dialog background", {440, 200}, DrawDialogBackground},
      {pic::kEditField, "edit field", {260, 28}, [](auto& p, auto s) { DrawField(p, s, false); }},
      {pic::kListBox, "list box", {260, 140}, DrawListBox},
      {pic::kPickPosition, "pick position", {48, 48}, DrawPickPosition},
      {pic::kHandCursor, "hand cursor", {32, 32}, DrawHandCursor},
      {pic::kSwitchOff, "switch off", {36, 18}, [](auto& p, auto s) { DrawSwitch(p, s, false); }},
      {pic::kSwitchOn, "switch on", {36, 18}, [](auto& p, auto s) { DrawSwitch(p, s, true); }},
      {pic::kOsdDpiPanel, "OSD DPI panel", {60, 44}, DrawOsdDpiPanel},
      {pic::kVirtualButton, "virtual button", {72, 40}, [](auto& p, auto s) { DrawVirtualButton(p, s, false); }},
      {pic::kVirtualButtonHover,
       "virtual button hover",
       {72, 40},
       [](auto& p, auto s) { DrawVirtualButton(p, s, true); }},
      {pic::kAppIcon, "application icon", {64, 64}, DrawAppIcon},
      {pic::kColourWheel, "colour wheel", {200, 200}, DrawColourWheel},
      {pic::kColourWheelMarker, "colour marker", {14, 14}, DrawColourMarker},
  };
  for (int zone = 0; zone < pic::kLightZoneCount; ++zone) {
    static const char* const kNames[] = {
        "zone 0 emblem",       "zone 1 left rear",  "zone 2 left middle", "zone 3 left front", "zone 4 right front",
        "zone 5 right middle", "zone 6 right rear", "zone 7 wheel",       "zone 8 DPI button", "zone 9 left tip",
        "zone 10 right tip",   "zone 11 rear",      "zone 12 glow"};
    all.push_back({pic::kLightZoneFirst + zone,
                   kNames[zone],
                   {ui::art::kMouseWidth, ui::art::kMouseHeight},
                   [zone](auto& p, auto s) { DrawLightZone(p, s, zone); }});
  }
  all.push_back({pic::kLightingMouse,
                 "lighting mouse",
                 {ui::art::kLightingMouseWidth, ui::art::kLightingMouseHeight},
                 DrawLightingMouse});
  for (const auto& marker : ui::art::kZoneMarkers) {
    static const char* const kNames[] = {"", "lighting zone 1", "lighting zone 2", "lighting zone 3",
                                         "lighting zone 4", "lighting zone 5", "lighting zone 6"};
    all.push_back({marker.picture,
                   kNames[marker.zone],
                   {ui::art::kLightingMouseWidth, ui::art::kLightingMouseHeight},
                   [zone = marker.zone](auto& p, auto s) { DrawLightingZone(p, s, zone); }});
  }
  for (int profile = 0; profile < 5; ++profile) {
    static const char* const kNames[] = {"OSD profile 1", "OSD profile 2", "OSD profile 3", "OSD profile 4",
                                         "OSD profile 5"};
    all.push_back({pic::OsdProfilePicture(profile), kNames[profile], {180, 64}, [profile](auto& p, auto s) {
                     DrawOsdProfile(p, s, profile);
                   }});
  }
  std::sort(all.begin(), all.end(), [](const PictureEntry& a, const PictureEntry& b) { return a.id < b.id; });
  return all;
}

}  // namespace quorix::art
