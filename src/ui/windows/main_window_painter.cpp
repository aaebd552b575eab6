#include "ui/windows/main_window_painter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>

#include "ui/art/picture_ids.h"

namespace quorix::ui {

// ---- layout -----------------------------------------------------------------
namespace layout {
namespace {
constexpr double kSliderLeft = 440, kSliderWidth = 440;
constexpr double kMouseLeft = 582, kMouseTop = 150, kMouseWidth = 140, kMouseHeight = 250;

double DpiRowTop(int slider) {
  const int level = slider % kDpiSliderLevels;
  const bool x = slider < kDpiSliderLevels;
  return 262 + level * 88 + (x ? 0 : 38);
}
}  // namespace

QRectF Close() { return {982, 16, 26, 26}; }
QRectF Minimize() { return {950, 16, 26, 26}; }
QRectF Tab(int page) { return {300.0 + page * 176, 64, 168, 40}; }
QRectF ProfileCard(int profile) { return {20, 64.0 + profile * 110, 262, 102}; }
QRectF ProfileSwitch(int profile) {
  const QRectF card = ProfileCard(profile);
  return {card.x() + 202, card.y() + 16, 44, 22};
}
QRectF AppField(int profile) {
  const QRectF card = ProfileCard(profile);
  return {card.x() + 16, card.y() + 60, 230, 28};
}
QRectF Content() { return {300, 104, 704, 520}; }
QRectF Level(int level) { return {330.0 + level * 118, 126, 100, 34}; }
QRectF LevelSwitch(int level) {
  const QRectF l = Level(level);
  return {l.x() + 28, 168, 44, 22};
}
QRectF XyIndependent() { return {330, 208, 400, 26}; }
SliderTrack Track(int slider) {
  if (slider < 2 * kDpiSliderLevels) return {kSliderLeft, DpiRowTop(slider) + 8, kSliderWidth, 10};
  if (slider == kReportRateSlider) return {kSliderLeft, 176, kSliderWidth, 10};
  return {};
}
QRectF SliderArea(int slider) {
  const SliderTrack t = Track(slider);
  return {t.left - 12, t.top - 12, t.width + 24, 34};
}
QRectF Option(int row) { return {330, 236.0 + row * 42, 640, 30}; }
QRectF LiftAdjust() { return {330, 418, 200, 38}; }
QRectF Backup() { return {330, 560, 200, 38}; }
QRectF Restore() { return {546, 560, 200, 38}; }
QRectF Reset() { return {762, 560, 200, 38}; }
QRectF ColorSetting() { return {446, 560, 200, 38}; }
QRectF MacroEdit() { return {662, 560, 200, 38}; }
// Below the right column of button rows, where its functions are dropped.
QRectF FunctionList() { return {754, 490, 232, 38}; }
QRectF ButtonRow(int button) {
  if (button < 7) return {318, 130.0 + button * 58, 232, 50};
  return {754, 130.0 + (button - 7) * 58, 232, 50};
}
QPointF ButtonSpot(int button) {
  static constexpr std::array<std::array<double, 2>, kPictureButtons> kSpots{{
      {35, 62},
      {105, 62},
      {70, 46},
      {12, 124},
      {12, 154},
      {70, 104},
      {70, 124},
      {128, 124},
      {50, 46},
      {90, 46},
      {70, 22},
      {70, 76},
      {128, 154},
  }};
  const auto& s = kSpots[static_cast<size_t>(std::clamp(button, 0, kPictureButtons - 1))];
  return {kMouseLeft + s[0], kMouseTop + s[1]};
}
QRectF MousePicture() { return {kMouseLeft, kMouseTop, kMouseWidth, kMouseHeight}; }
QRectF VersionLine() { return {24, 636, 480, 24}; }
QRectF StatusLine() { return {520, 636, 480, 24}; }
}  // namespace layout

// ---- drawing ----------------------------------------------------------------
namespace {

const QColor kSurfaceTop{0x1C, 0x20, 0x27};
const QColor kSurfaceBottom{0x12, 0x14, 0x19};
const QColor kEdge{0x30, 0x37, 0x42};
const QColor kPanel{0x1F, 0x24, 0x2C};
const QColor kPanelHover{0x29, 0x2F, 0x39};
const QColor kControl{0x2C, 0x32, 0x3C};
const QColor kText{0xE4, 0xE9, 0xF0};
const QColor kTextDim{0x8C, 0x95, 0xA3};
const QColor kTextOff{0x5C, 0x64, 0x70};
const QColor kNoDeviceAccent{0x4F, 0xA3, 0xFF};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A profile's colour as the mouse keeps it; 2-bit channels at level 0.
QColor ProfileColour(const MainWindowModel& model, int profile) {
  if (!model.HasDevice()) return kNoDeviceAccent;
  const auto& c = model.Image().profiles[static_cast<size_t>(profile)].colour;
  const int scale = 255 / model.Image().map.colourComponentMax;
  QColor colour(std::min(255, c[0] * scale), std::min(255, c[1] * scale), std::min(255, c[2] * scale));
  // A black or nearly black profile would vanish on the dark surface.
  if (colour.valueF() < 0.25) colour = QColor(0x9A, 0xA3, 0xB0);
  return colour;
}

// Draws `text` in `rect`, making the font smaller (down to 9 pixels) until it
// fits on one line, and eliding what still does not.
void FitText(QPainter& p, const QRectF& rect, int flags, const QString& text, QFont font) {
  int size = font.pixelSize() > 0 ? font.pixelSize() : 13;
  while (size > 9 && QFontMetricsF(font).horizontalAdvance(text) > rect.width()) font.setPixelSize(--size);
  p.setFont(font);
  p.drawText(rect, flags | Qt::TextSingleLine, QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()));
}

class Scene {
 public:
  Scene(QPainter& p, const MainWindowScene& s, PictureCache& pictures, TintedLights& lights)
      : p_(p), s_(s), pictures_(pictures), lights_(lights) {
    accent_ = ProfileColour(s.model, s.model.ActiveProfile());
  }

  void Paint() {
    Surface();
    Header();
    Tabs();
    Profiles();
    p_.setPen(QPen(kEdge, 1));
    p_.setBrush(kPanel);
    p_.drawRoundedRect(layout::Content(), 10, 10);
    switch (s_.model.Page()) {
      case kButtonPage:
        ButtonPage();
        break;
      case kDpiPage:
        DpiPage();
        break;
      default:
        OtherPage();
        break;
    }
    Footer();
    FocusRing();
    if (s_.busy) Progress(*s_.busy);
  }

 private:
  // The item of this role and index, or -1 when the window has none.
  int ItemIndex(MainRole role, int index = 0) const {
    const int code = MainCode(role, index);
    for (size_t i = 0; i < s_.items.size(); ++i)
      if (s_.items[i].code == code) return static_cast<int>(i);
    return -1;
  }
  const SkinItem* Item(MainRole role, int index = 0) const {
    const int i = ItemIndex(role, index);
    return i >= 0 ? &s_.items[static_cast<size_t>(i)] : nullptr;
  }
  bool Hovered(MainRole role, int index = 0) const {
    const int i = ItemIndex(role, index);
    return i >= 0 && (s_.interaction.HoverIndex() == i || s_.interaction.FocusIndex() == i);
  }
  bool Pressed(MainRole role, int index = 0) const {
    const int i = ItemIndex(role, index);
    return i >= 0 && s_.interaction.PressIndex() == i;
  }
  bool Usable(MainRole role, int index = 0) const {
    const SkinItem* item = Item(role, index);
    return item != nullptr && !item->hidden && !item->disabled;
  }

  void Surface() {
    const QRectF all(0.5, 0.5, kMainWindowWidth - 1, kMainWindowHeight - 1);
    QLinearGradient g(0, 0, 0, kMainWindowHeight);
    g.setColorAt(0, kSurfaceTop);
    g.setColorAt(1, kSurfaceBottom);
    p_.setPen(QPen(kEdge, 1));
    p_.setBrush(g);
    p_.drawRoundedRect(all, 14, 14);
    // The active profile's colour runs along the top edge.
    QLinearGradient strip(0, 0, kMainWindowWidth, 0);
    QColor faded = accent_;
    faded.setAlpha(0);
    strip.setColorAt(0, faded);
    strip.setColorAt(0.5, accent_);
    strip.setColorAt(1, faded);
    p_.setPen(Qt::NoPen);
    p_.setBrush(strip);
    p_.drawRect(QRectF(40, 1, kMainWindowWidth - 80, 2));
  }

  void Header() {
    QFont mark = s_.fonts.At(14);
    p_.setPen(kText);
    p_.setFont(mark);
    p_.drawText(QRectF(26, 14, 140, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QUORIX"));
    const double markWidth = QFontMetricsF(mark).horizontalAdvance(QStringLiteral("QUORIX"));
    p_.setPen(Qt::NoPen);
    p_.setBrush(accent_);
    p_.drawEllipse(QPointF(26 + markWidth + 8, 36), 3.5, 3.5);
    p_.setPen(kTextDim);
    FitText(p_, QRectF(26 + markWidth + 20, 14, 300, 34), Qt::AlignLeft | Qt::AlignVCenter,
            Q(s_.texts[Msg::kMouseManager]), s_.fonts.At(3));
    for (MainRole role : {MainRole::kMinimize, MainRole::kClose}) {
      const QRectF r = role == MainRole::kClose ? layout::Close() : layout::Minimize();
      if (Hovered(role)) {
        p_.setPen(Qt::NoPen);
        p_.setBrush(role == MainRole::kClose ? QColor(0xC8, 0x3C, 0x3C) : kPanelHover);
        p_.drawEllipse(r);
      }
      p_.setPen(QPen(kText, 1.6, Qt::SolidLine, Qt::RoundCap));
      const QPointF c = r.center();
      if (role == MainRole::kClose) {
        p_.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p_.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
      } else {
        p_.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
      }
    }
  }

  void Tabs() {
    for (int page = 0; page < kPageCount; ++page) {
      const QRectF r = layout::Tab(page);
      const bool current = s_.model.Page() == page;
      p_.setPen(Qt::NoPen);
      p_.setBrush(current ? kPanel : Hovered(MainRole::kTab, page) ? kPanelHover : QColor(0, 0, 0, 0));
      QPainterPath tab;
      tab.addRoundedRect(r.adjusted(0, 0, 0, 10), 9, 9);
      p_.save();
      p_.setClipRect(r);
      p_.drawPath(tab);
      p_.restore();
      if (current) {
        p_.setBrush(accent_);
        p_.drawRoundedRect(QRectF(r.x() + 24, r.y() + 2, r.width() - 48, 3), 1.5, 1.5);
      }
      p_.setPen(current ? kText : kTextDim);
      FitText(p_, r.adjusted(10, 2, -10, 0), Qt::AlignCenter, Q(s_.texts[kPageLabels[page]]), s_.fonts.At(8));
    }
  }

  void Switch(const QRectF& r, bool on, const QColor& colour, bool enabled) {
    p_.setPen(Qt::NoPen);
    QColor track = on ? colour : kControl;
    if (!enabled) track.setAlpha(90);
    p_.setBrush(track);
    p_.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    const double d = r.height() - 6;
    const QPointF knob(on ? r.right() - 3 - d / 2 : r.left() + 3 + d / 2, r.center().y());
    p_.setBrush(enabled ? QColor(0xF4, 0xF6, 0xF9) : kTextOff);
    p_.drawEllipse(knob, d / 2, d / 2);
  }

  void Profiles() {
    const MainWindowModel& m = s_.model;
    for (int profile = 0; profile < kProfileCount; ++profile) {
      const QRectF card = layout::ProfileCard(profile);
      const QColor colour = ProfileColour(m, profile);
      const bool active = m.ActiveProfile() == profile;
      const bool on = !m.HasDevice() || !m.Image().profiles[static_cast<size_t>(profile)].flag;
      p_.setPen(QPen(active ? colour : kEdge, active ? 2 : 1));
      p_.setBrush(Hovered(MainRole::kProfile, profile) && !active ? kPanelHover : kPanel);
      p_.drawRoundedRect(card.adjusted(1, 1, -1, -1), 10, 10);
      // Colour mark and name.
      p_.setPen(Qt::NoPen);
      QRadialGradient glow(card.x() + 26, card.y() + 27, 11);
      glow.setColorAt(0, colour);
      glow.setColorAt(0.6, colour);
      QColor fade = colour;
      fade.setAlpha(0);
      glow.setColorAt(1, fade);
      p_.setBrush(glow);
      p_.drawEllipse(QPointF(card.x() + 26, card.y() + 27), 11, 11);
      p_.setPen(on ? kText : kTextDim);
      FitText(p_, QRectF(card.x() + 46, card.y() + 14, 150, 26), Qt::AlignLeft | Qt::AlignVCenter,
              ProfileName(m, profile), s_.fonts.At(8));
      Switch(layout::ProfileSwitch(profile), on, colour, Usable(MainRole::kProfileSwitch, profile));
      // The application that selects this profile.
      const QRectF field = layout::AppField(profile);
      const ProfileApp& app = s_.options.apps[static_cast<size_t>(profile)];
      const bool bound = !app.appPath.empty();
      p_.setPen(QPen(Hovered(MainRole::kAppField, profile) ? colour : kEdge, 1));
      p_.setBrush(QColor(0x16, 0x19, 0x1F));
      p_.drawRoundedRect(field, 6, 6);
      // A small window glyph says "application".
      const QRectF glyph(field.x() + 9, field.center().y() - 6, 14, 12);
      p_.setPen(QPen(bound && app.appEnabled ? colour : kTextDim, 1.2));
      p_.setBrush(Qt::NoBrush);
      p_.drawRoundedRect(glyph, 2, 2);
      p_.drawLine(QPointF(glyph.left(), glyph.top() + 3.5), QPointF(glyph.right(), glyph.top() + 3.5));
      p_.setPen(bound ? (app.appEnabled ? kText : kTextDim) : kTextOff);
      FitText(p_, field.adjusted(32, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter,
              bound ? Q(app.appName) : Q(app.appName.empty() ? s_.texts[Prompt::kName] : app.appName), s_.fonts.At(4));
    }
  }

  void PushButton(MainRole role, const QString& label) {
    const SkinItem* item = Item(role);
    if (item == nullptr || item->hidden) return;
    const QRectF r = item->rect;
    const bool enabled = !item->disabled;
    p_.setPen(QPen(Hovered(role) && enabled ? accent_ : kEdge, 1));
    QColor fill = Pressed(role) ? accent_.darker(160) : Hovered(role) && enabled ? kPanelHover : kControl;
    p_.setBrush(fill);
    p_.drawRoundedRect(r, 8, 8);
    p_.setPen(enabled ? kText : kTextOff);
    FitText(p_, r.adjusted(12, 0, -12, 0), Qt::AlignCenter, label, s_.fonts.At(3));
  }

  void CheckRow(MainRole role, const QString& label, bool checked) {
    const SkinItem* item = Item(role);
    if (item == nullptr || item->hidden) return;
    const QRectF r = item->rect;
    const bool enabled = !item->disabled;
    const QRectF box(r.x(), r.center().y() - 9, 18, 18);
    p_.setPen(QPen(Hovered(role) && enabled ? accent_ : kEdge, 1.2));
    p_.setBrush(checked ? (enabled ? accent_ : kControl) : QColor(0x16, 0x19, 0x1F));
    p_.drawRoundedRect(box, 4, 4);
    if (checked) {
      QPainterPath tick;
      tick.moveTo(box.x() + 4, box.y() + 9.5);
      tick.lineTo(box.x() + 7.5, box.y() + 13);
      tick.lineTo(box.x() + 14, box.y() + 5.5);
      p_.setPen(QPen(QColor(0x10, 0x12, 0x16), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p_.setBrush(Qt::NoBrush);
      p_.drawPath(tick);
    }
    p_.setPen(enabled ? kText : kTextOff);
    FitText(p_, QRectF(r.x() + 30, r.y(), r.width() - 30, r.height()), Qt::AlignLeft | Qt::AlignVCenter, label,
            s_.fonts.At(3));
  }

  void SliderRow(int index) {
    const MainWindowModel& m = s_.model;
    if (!m.SliderVisible(index)) return;
    const Slider& s = m.SliderAt(index);
    const bool enabled = m.HasDevice();
    const QRectF track(s.left, s.top, s.width, s.height);
    p_.setPen(Qt::NoPen);
    p_.setBrush(kControl);
    p_.drawRoundedRect(track, s.height / 2, s.height / 2);
    const double knob = std::clamp(static_cast<double>(s.shown), s.left, s.left + s.width);
    if (enabled) {
      QLinearGradient fill(s.left, 0, knob, 0);
      fill.setColorAt(0, accent_.darker(170));
      fill.setColorAt(1, accent_);
      p_.setBrush(fill);
      p_.drawRoundedRect(QRectF(s.left, s.top, knob - s.left, s.height), s.height / 2, s.height / 2);
    }
    // Tick marks under the track, at most 20.
    const int span = s.maximum + s.offset - s.minimum;
    if (span > 0) {
      const int ticks = std::min(span + 1, kMaxSliderTicks);
      p_.setPen(QPen(kTextOff, 1));
      for (int i = 0; i < ticks; ++i) {
        const double x = s.left + s.width * i / (ticks - 1);
        p_.drawLine(QPointF(x, s.top + s.height + 4), QPointF(x, s.top + s.height + 8));
      }
    }
    const bool hot = enabled && (Hovered(MainRole::kSlider, index) || m.HoldIndex() == index);
    p_.setPen(QPen(enabled ? accent_ : kTextOff, 2));
    p_.setBrush(enabled ? QColor(0xF4, 0xF6, 0xF9) : kControl);
    p_.drawEllipse(QPointF(knob, s.top + s.height / 2), hot ? 10.0 : 8.5, hot ? 10.0 : 8.5);
    p_.setPen(enabled ? kText : kTextOff);
    p_.setFont(s_.fonts.At(8));
    p_.drawText(QRectF(s.left + s.width + 20, s.top - 9, 100, 28), Qt::AlignLeft | Qt::AlignVCenter,
                enabled ? Q(SliderText(s)) : QStringLiteral("-"));
  }

  void DpiPage() {
    const MainWindowModel& m = s_.model;
    const bool switches = m.Caps().levelSwitches;
    for (int level = 0; level < m.LevelsShown(); ++level) {
      const QRectF r = layout::Level(level);
      const bool active = m.ActiveLevel() == level;
      const bool enabled = Usable(MainRole::kLevel, level);
      p_.setPen(QPen(active ? accent_ : Hovered(MainRole::kLevel, level) ? accent_.darker(130) : kEdge, 1.2));
      p_.setBrush(active && m.HasDevice() ? accent_.darker(230) : kControl);
      p_.drawRoundedRect(r, r.height() / 2, r.height() / 2);
      p_.setPen(enabled || active ? kText : kTextDim);
      p_.setFont(s_.fonts.At(8));
      p_.drawText(r, Qt::AlignCenter, QStringLiteral("Lv.%1").arg(level + 1));
      if (switches)
        Switch(layout::LevelSwitch(level), m.LevelOn(level), accent_, Usable(MainRole::kLevelSwitch, level));
    }
    CheckRow(MainRole::kXyIndependent, Q(s_.texts[Label::kXyIndependent]), m.XyIndependent());
    for (int level = 0; level < kDpiSliderLevels; ++level) {
      const SliderTrack x = layout::Track(DpiSliderIndex(level, true));
      const bool active = m.ActiveLevel() == level;
      if (active) {
        p_.setPen(Qt::NoPen);
        QColor band = accent_;
        band.setAlpha(26);
        p_.setBrush(band);
        p_.drawRoundedRect(QRectF(316, x.top - 22, 676, 80), 8, 8);
      }
      p_.setPen(active ? kText : kTextDim);
      p_.setFont(s_.fonts.At(8));
      p_.drawText(QRectF(330, x.top - 9, 70, 28), Qt::AlignLeft | Qt::AlignVCenter,
                  QStringLiteral("Lv.%1").arg(level + 1));
      p_.setFont(s_.fonts.At(15));
      for (bool isX : {true, false}) {
        const SliderTrack t = layout::Track(DpiSliderIndex(level, isX));
        p_.setPen(kTextDim);
        p_.drawText(QRectF(402, t.top - 9, 20, 28), Qt::AlignCenter, isX ? QStringLiteral("X") : QStringLiteral("Y"));
        SliderRow(DpiSliderIndex(level, isX));
      }
    }
  }

  void OtherPage() {
    const MainWindowModel& m = s_.model;
    if (m.SliderVisible(kReportRateSlider)) {
      const SliderTrack t = layout::Track(kReportRateSlider);
      p_.setPen(kText);
      FitText(p_, QRectF(330, 128, 600, 28), Qt::AlignLeft | Qt::AlignVCenter, Q(s_.texts[Label::kReportRate]),
              s_.fonts.At(8));
      (void)t;
      SliderRow(kReportRateSlider);
    }
    CheckRow(MainRole::kAngleSnapping, Q(s_.texts[Label::kAngleSnapping]), m.HasDevice() && m.Image().angleSnapping);
    CheckRow(MainRole::kOsd, Q(s_.texts[Label::kOsd]), s_.options.osdEnabled != 0);
    CheckRow(MainRole::kAcceleration, Q(s_.texts[Label::kNoAcceleration]), s_.options.disableAcceleration != 0);
    if (const SkinItem* item = Item(MainRole::kAutostart)) CheckRow(MainRole::kAutostart, item->label, s_.autostart);
    PushButton(MainRole::kLiftAdjust, Q(s_.texts[LiftWord::kTitle]));
    PushButton(MainRole::kBackup, Q(s_.texts[Label::kBackup]));
    PushButton(MainRole::kRestore, Q(s_.texts[Label::kRestore]));
    PushButton(MainRole::kReset, Q(s_.texts[Label::kReset]));
  }

  void MouseBody() {
    const QRectF r = layout::MousePicture();
    const QImage& picture = pictures_.Get(pic::kMouseTop);
    if (!picture.isNull()) {
      p_.drawImage(r, picture);
      // The mouse's lighting: each lit zone's light added in its colour, dimmed
      // to its brightness.
      p_.save();
      p_.setCompositionMode(QPainter::CompositionMode_Plus);
      for (const ZoneLight& light : s_.lights) {
        const QImage& lit = lights_.Get(pic::kLightZoneFirst + light.zone, light.red, light.green, light.blue);
        if (lit.isNull() || light.brightness <= 0) continue;
        p_.setOpacity(std::min(light.brightness, 255) / 255.0);
        p_.drawImage(r.topLeft(), lit);
      }
      p_.restore();
      return;
    }
    QPainterPath body;
    body.addRoundedRect(r, 66, 78);
    QLinearGradient shade(r.left(), 0, r.right(), 0);
    shade.setColorAt(0, QColor(0x23, 0x28, 0x31));
    shade.setColorAt(0.5, QColor(0x33, 0x3A, 0x46));
    shade.setColorAt(1, QColor(0x20, 0x25, 0x2D));
    p_.setPen(QPen(QColor(0x4A, 0x53, 0x60), 1.5));
    p_.setBrush(shade);
    p_.drawPath(body);
    // The two main buttons and the wheel between them.
    p_.setPen(QPen(QColor(0x16, 0x19, 0x1F), 2));
    p_.drawLine(QPointF(r.center().x(), r.top() + 2), QPointF(r.center().x(), r.top() + 92));
    QPainterPath seam;
    seam.moveTo(r.left() + 4, r.top() + 98);
    seam.quadTo(r.center().x(), r.top() + 84, r.right() - 4, r.top() + 98);
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(seam);
    p_.setPen(QPen(QColor(0x10, 0x12, 0x16), 1));
    p_.setBrush(QColor(0x16, 0x19, 0x1F));
    p_.drawRoundedRect(QRectF(r.center().x() - 7, r.top() + 30, 14, 36), 7, 7);
    // Side buttons on the thumb side.
    p_.setBrush(QColor(0x2A, 0x30, 0x3A));
    p_.drawRoundedRect(QRectF(r.left() + 2, r.top() + 112, 8, 24), 3, 3);
    p_.drawRoundedRect(QRectF(r.left() + 2, r.top() + 142, 8, 24), 3, 3);
    // The light zone glows in the profile's colour.
    QRadialGradient glow(r.center().x(), r.top() + 196, 34);
    QColor core = accent_;
    core.setAlpha(220);
    QColor edge = accent_;
    edge.setAlpha(0);
    glow.setColorAt(0, core);
    glow.setColorAt(1, edge);
    p_.setPen(Qt::NoPen);
    p_.setBrush(glow);
    p_.drawEllipse(QPointF(r.center().x(), r.top() + 196), 34, 18);
  }

  void Badge(const QPointF& centre, int number, bool locked, bool hot) {
    p_.setPen(QPen(locked ? kTextOff : hot ? QColor(0xFF, 0xFF, 0xFF) : accent_, 1.4));
    p_.setBrush(locked ? kControl : hot ? accent_ : QColor(0x16, 0x19, 0x1F));
    p_.drawEllipse(centre, 8, 8);
    QFont f = s_.fonts.At(11);
    f.setPixelSize(10);
    p_.setFont(f);
    p_.setPen(locked ? kTextDim : hot ? QColor(0x10, 0x12, 0x16) : kText);
    p_.drawText(QRectF(centre.x() - 8, centre.y() - 8, 16, 16), Qt::AlignCenter, QString::number(number));
  }

  void Lock(const QPointF& at) {
    p_.setPen(QPen(kTextDim, 1.4));
    p_.setBrush(Qt::NoBrush);
    p_.drawArc(QRectF(at.x() + 2, at.y(), 8, 9), 0, 180 * 16);
    p_.setPen(Qt::NoPen);
    p_.setBrush(kTextDim);
    p_.drawRoundedRect(QRectF(at.x(), at.y() + 5, 12, 9), 2, 2);
  }

  void ButtonPage() {
    const MainWindowModel& m = s_.model;
    MouseBody();
    const int holder = m.PrimaryClickHolder();
    for (int b = 0; b < kPictureButtons; ++b) {
      const SkinItem* item = Item(MainRole::kButton, b);
      if (item == nullptr || item->hidden) continue;
      const QRectF r = layout::ButtonRow(b);
      const bool locked = m.HasDevice() && b == holder;
      const bool hot = !locked && Hovered(MainRole::kButton, b);
      p_.setPen(QPen(hot ? accent_ : kEdge, 1));
      p_.setBrush(hot ? kPanelHover : QColor(0x1A, 0x1E, 0x25));
      p_.drawRoundedRect(r, 8, 8);
      Badge(QPointF(r.x() + 18, r.center().y()), b + 1, locked, hot);
      Badge(layout::ButtonSpot(b), b + 1, locked, hot);
      const QString name = Q(s_.texts[static_cast<OrderName>(b)]);
      p_.setPen(kTextDim);
      FitText(p_, QRectF(r.x() + 34, r.y() + 5, r.width() - 40, 18), Qt::AlignLeft | Qt::AlignVCenter, name,
              s_.fonts.At(2));
      const QString function =
          b < static_cast<int>(s_.buttonTexts.size()) ? s_.buttonTexts[static_cast<size_t>(b)] : QStringLiteral("-");
      p_.setPen(locked ? kTextDim : kText);
      FitText(p_, QRectF(r.x() + 34, r.y() + 23, r.width() - (locked ? 58 : 42), 22), Qt::AlignLeft | Qt::AlignVCenter,
              function, s_.fonts.At(5));
      if (locked) Lock(QPointF(r.right() - 22, r.y() + 26));
    }
    PushButton(MainRole::kColorSetting, Q(s_.texts[Label::kColorSetting]));
    PushButton(MainRole::kMacroEdit, Q(s_.texts[Label::kMacroEdit]));
    PushButton(MainRole::kFunctionList, Q(s_.texts[Label::kFunctionList]));
  }

  void Footer() {
    p_.setPen(kTextDim);
    FitText(p_, layout::VersionLine(), Qt::AlignLeft | Qt::AlignVCenter, Q(s_.model.VersionLine(s_.texts)),
            s_.fonts.At(4));
    QString status = s_.status;
    if (status.isEmpty() && !s_.model.HasDevice()) status = Q(s_.texts[Msg::kNoDevice]);
    p_.setPen(accent_.lighter(130));
    FitText(p_, layout::StatusLine(), Qt::AlignRight | Qt::AlignVCenter, status, s_.fonts.At(4));
  }

  void FocusRing() {
    const int focus = s_.interaction.FocusIndex();
    if (focus < 0 || focus >= static_cast<int>(s_.items.size())) return;
    const SkinItem& item = s_.items[static_cast<size_t>(focus)];
    if (item.hidden) return;
    p_.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 0xB0), 1.2, Qt::DashLine));
    p_.setBrush(Qt::NoBrush);
    p_.drawRoundedRect(item.rect.adjusted(-3, -3, 3, 3), 8, 8);
  }

  void Progress(double fraction) {
    p_.setPen(Qt::NoPen);
    p_.setBrush(QColor(0x08, 0x09, 0x0C, 170));
    p_.drawRoundedRect(QRectF(0, 0, kMainWindowWidth, kMainWindowHeight), 14, 14);
    // The bar sits on a card of its own, so nothing underneath shows through.
    const QRectF card(kMainWindowWidth / 2.0 - 240, kMainWindowHeight / 2.0 - 50, 480, 100);
    p_.setPen(QPen(kEdge, 1));
    p_.setBrush(kPanel);
    p_.drawRoundedRect(card, 12, 12);
    p_.setPen(Qt::NoPen);
    const QRectF bar(kMainWindowWidth / 2.0 - 200, kMainWindowHeight / 2.0 - 16, 400, 12);
    p_.setBrush(kControl);
    p_.drawRoundedRect(bar, 6, 6);
    p_.setBrush(accent_);
    p_.drawRoundedRect(QRectF(bar.x(), bar.y(), bar.width() * std::clamp(fraction, 0.0, 1.0), bar.height()), 6, 6);
    p_.setPen(kText);
    p_.setFont(s_.fonts.At(8));
    p_.drawText(QRectF(bar.x(), bar.bottom() + 10, bar.width(), 24), Qt::AlignCenter,
                QStringLiteral("%1%").arg(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100)));
  }

  QPainter& p_;
  const MainWindowScene& s_;
  PictureCache& pictures_;
  TintedLights& lights_;
  QColor accent_;
};

}  // namespace

QString ProfileName(const MainWindowModel& model, int profile) {
  const std::string& name = model.Image().profiles[static_cast<size_t>(profile)].name;
  if (model.HasDevice() && !name.empty()) return Q(name);
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(kProfileWord)).arg(profile + 1);
}

MainWindowPainter::MainWindowPainter(PictureCache& pictures)
    : pictures_(pictures), lights_(pictures, layout::MousePicture().size().toSize()) {}

void MainWindowPainter::Paint(QPainter& painter, const MainWindowScene& scene) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  Scene(painter, scene, pictures_, lights_).Paint();
  painter.restore();
}

}  // namespace quorix::ui
