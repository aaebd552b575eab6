#pragma once
// Where everything of the main window lies, and how it is drawn. The window
// builds its skin items from the layout below and hands the painter a scene:
// what the model says, the items' interaction state and the few things only
// the window knows (options, progress, the status text).

#include <QPainter>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "session/models/main_window_model.h"
#include "session/models/picture_lighting.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_item.h"
#include "ui/skin/tinted_lights.h"

namespace quorix::ui {

inline constexpr int kMainWindowWidth = 1024;
inline constexpr int kMainWindowHeight = 674;

// What a skin item of the main window stands for: SkinItem::code is
// role << 8 | index.
enum class MainRole : int {
  kTab = 1,
  kClose,
  kMinimize,
  kProfile,
  kProfileSwitch,
  kAppField,
  kLevel,
  kLevelSwitch,
  kSlider,
  kXyIndependent,
  kAngleSnapping,
  kOsd,
  kAcceleration,
  kLiftAdjust,
  kBackup,
  kRestore,
  kReset,
  kColorSetting,
  kMacroEdit,
  kButton,
  kAutostart,
  kFunctionList,
};
constexpr int MainCode(MainRole role, int index = 0) { return static_cast<int>(role) << 8 | index; }
constexpr MainRole RoleOf(int code) { return static_cast<MainRole>(code >> 8); }
constexpr int IndexOf(int code) { return code & 0xFF; }

// Buttons named on the mouse picture (the names of the device-order table).
inline constexpr int kPictureButtons = 13;

namespace layout {
QRectF Close();
QRectF Minimize();
QRectF Tab(int page);
QRectF ProfileCard(int profile);
QRectF ProfileSwitch(int profile);
QRectF AppField(int profile);
QRectF Content();
QRectF Level(int level);
QRectF LevelSwitch(int level);
QRectF XyIndependent();
// The hit area around a slider's track (a little taller than the track).
QRectF SliderArea(int slider);
SliderTrack Track(int slider);
QRectF Option(int row);  // angle snapping, OSD, acceleration, start with the session
QRectF LiftAdjust();
QRectF Backup();
QRectF Restore();
QRectF Reset();
QRectF ColorSetting();
QRectF MacroEdit();
QRectF FunctionList();
QRectF ButtonRow(int button);
QPointF ButtonSpot(int button);
QRectF MousePicture();
QRectF VersionLine();
QRectF StatusLine();
}  // namespace layout

struct MainWindowScene {
  const MainWindowModel& model;
  const std::vector<SkinItem>& items;
  const SkinInteraction& interaction;
  const TextTables& texts;
  const SkinFonts& fonts;
  std::vector<QString> buttonTexts;  // function texts, device order
  Options options;
  std::optional<double> busy;       // progress while a long job runs
  QString status;                   // a short note at the bottom ("coming")
  bool autostart = false;           // the program starts with the desktop session
  std::vector<ZoneLight> lights{};  // the mouse picture's lit zones
};

// The name a profile's card shows: its own, else "Profile N".
QString ProfileName(const MainWindowModel& model, int profile);

class MainWindowPainter {
 public:
  MainWindowPainter(PictureCache& pictures);
  void Paint(QPainter& painter, const MainWindowScene& scene);

 private:
  PictureCache& pictures_;
  TintedLights lights_;  // the zones' lights, at the picture's size on screen
};

}  // namespace quorix::ui
