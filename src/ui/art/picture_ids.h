#pragma once
// The numeric ids of the skin's pictures. Every window refers to a picture by
// its id only; src/ui/art/ draws each one from source at build time and the
// contact sheet shows them all with their ids. Ids follow the skin's
// numbering (129 to 576); not every id in that range is used.
//
// Accents (a selected tab's bar, a selected radio's dot, the switch when on,
// the progress fill, a selected level's ring) are drawn white, so a window
// can give them the profile's colour: TintPicture(picture, 1, r / 255.0,
// g / 255.0, b / 255.0, 0). Where things are on the mouse picture is in
// mouse_geometry.h.

namespace quorix::ui::pic {

// Main window
inline constexpr int kMainBackground = 129;      // 1024 x 674, the whole window's surface
inline constexpr int kTabNormal = 130;           // page tab
inline constexpr int kTabHover = 131;
inline constexpr int kTabSelected = 132;
inline constexpr int kCloseNormal = 133;         // window close button
inline constexpr int kCloseHover = 134;
inline constexpr int kMinimizeNormal = 135;      // window minimise button
inline constexpr int kMinimizeHover = 136;
inline constexpr int kLogo = 137;                // the product mark, top left
inline constexpr int kProgressTrack = 138;       // progress bar while the mouse is busy
inline constexpr int kProgressFill = 139;

// Radio items and buttons shared by every window
inline constexpr int kRadioNormal = 177;         // 15 x 15; also its hover look
inline constexpr int kRadioSelected = 178;
inline constexpr int kCheckOff = 179;            // 15 x 15 check box
inline constexpr int kCheckOn = 180;
inline constexpr int kSwitchOff = 370;           // on/off switch (profile, level)
inline constexpr int kSwitchOn = 387;
inline constexpr int kWideButtonNormal = 191;    // 160 x 32
inline constexpr int kWideButtonHover = 192;     // hover and pressed
inline constexpr int kWideButtonDisabled = 193;
inline constexpr int kLargeButtonNormal = 194;   // 200 x 32
inline constexpr int kLargeButtonHover = 195;

// Sliders
inline constexpr int kSliderTrack = 233;         // a DPI or report-rate track
inline constexpr int kSliderThumb = 190;         // the slider's knob
inline constexpr int kSliderTick = 234;

// Profile selector and level row
inline constexpr int kProfileItemNormal = 240;   // one profile's row in the selector
inline constexpr int kProfileItemHover = 241;
inline constexpr int kProfileItemSelected = 242;
inline constexpr int kAppField = 243;            // the profile's application field
inline constexpr int kLevelNormal = 250;         // "Lv.n" in the level row
inline constexpr int kLevelHover = 251;
inline constexpr int kLevelSelected = 252;

// The mouse picture, its button spots and light zones
inline constexpr int kMouseTop = 300;            // the mouse seen from above
inline constexpr int kButtonSpot = 301;          // marks a button on the picture
inline constexpr int kButtonSpotHover = 302;
inline constexpr int kButtonSpotLocked = 303;    // the primary-click holder
inline constexpr int kFunctionLabel = 304;       // a function text's plate beside a spot
inline constexpr int kLightZoneFirst = 310;      // zones 0..12: 310..322, white, tinted by colour
inline constexpr int kLightZoneCount = 13;

// Dialogs
inline constexpr int kDialogBackground = 340;    // the question box and text entry surface
inline constexpr int kEditField = 341;           // a text or number field
inline constexpr int kListBox = 342;             // a list of choices
inline constexpr int kPickPosition = 343;        // "press and hold to get position" target

// Cursor and icons
inline constexpr int kHandCursor = 361;          // over skin items
inline constexpr int kAppIcon = 482;             // tray and window icon, 64 x 64; a 256-pixel
                                                 // rendering is ":/skin/quorix-mouse-256.png"

// On-screen display
inline constexpr int kOsdProfile0 = 440;         // profiles 0..3: 440..443
inline constexpr int kOsdProfile4 = 487;
inline constexpr int kOsdDpiPanel = 450;

// Virtual mouse (the simulated mouse's buttons)
inline constexpr int kVirtualButton = 460;
inline constexpr int kVirtualButtonHover = 461;

// Lighting
inline constexpr int kColourWheel = 520;         // hue around, saturation inward
inline constexpr int kColourWheelMarker = 521;
// The lighting window's mouse, 470 x 360 (lighting_geometry.h), and the
// lights of its zones 1..6, each as large as the mouse and drawn over it,
// white, tinted by the zone's colour.
inline constexpr int kLightingMouse = 540;
inline constexpr int kLightingZone1 = 542;
inline constexpr int kLightingZone6 = 543;
inline constexpr int kLightingZone2 = 544;
inline constexpr int kLightingZone3 = 545;
inline constexpr int kLightingZone4 = 546;
inline constexpr int kLightingZone5 = 547;

// The picture of profile `profile` on the on-screen display; 0 for none.
constexpr int OsdProfilePicture(int profile) {
  return profile >= 0 && profile <= 3 ? kOsdProfile0 + profile : profile == 4 ? kOsdProfile4 : 0;
}

}  // namespace quorix::ui::pic
