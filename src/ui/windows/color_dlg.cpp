#include "ui/windows/color_dlg.h"

#include <QDateTime>
#include <algorithm>

#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/art/lighting_geometry.h"
#include "ui/art/picture_ids.h"
#include "ui/gui_thread.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/color_pick_dlg.h"

namespace quorix::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The effects' radio labels, effect 1 first.
constexpr Label kEffectLabels[] = {Label::kCustomize, Label::kWave, Label::kWaveInvert, Label::kRandom1,
                                   Label::kRandom2};

}  // namespace

ColorDlg::ColorDlg(UiEnv& env, QWidget* parent)
    : SkinWindow(QSize(lighting_layout::kDlgWidth, lighting_layout::kDlgHeight), parent),
      env_(env),
      random_(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch())),
      model_(env.session, random_),
      openJob_(model_.Open()),
      painter_(Pictures()),
      runPicker_([](ColorPickDlg& picker) { return picker.Run(); }) {
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(Q(env_.texts[Label::kColorSetting]));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ColorDlg::RunDueTimers);

  auto& items = Items();
  SkinItem close;
  close.rect = QRectF(684, 11, 21, 21);
  close.imageNormal = pic::kCloseNormal;
  close.imageHover = close.imagePressed = pic::kCloseHover;
  close.label = QStringLiteral("Close");
  items.push_back(close);
  for (int n = 1; n <= 5; ++n) {
    SkinItem radio;
    radio.kind = kSkinItemRadio;
    radio.rect = QRectF(40, 80.0 + 35 * (n - 1), 170, 15);
    radio.imageNormal = radio.imageHover = pic::kRadioNormal;
    radio.imagePressed = pic::kRadioSelected;
    radio.label = Q(env_.texts[kEffectLabels[n - 1]]);
    radio.code = n - 1;
    items.push_back(radio);
  }
  for (int unused = 0; unused < 2; ++unused) {
    SkinItem none;
    none.hidden = true;
    items.push_back(none);
  }
  SkinItem all;
  all.rect = QRectF(500, 390, 200, 32);
  all.imageNormal = pic::kLargeButtonNormal;
  all.imageHover = all.imagePressed = pic::kLargeButtonHover;
  all.label = Q(env_.texts[Label::kSetAllLights]);
  items.push_back(all);
  for (int i = 0; i < static_cast<int>(art::kZoneMarkers.size()); ++i) {
    SkinItem marker;
    const QPolygonF polygon = lighting_layout::ZoneMarker(i);
    marker.rect = polygon.boundingRect();
    marker.region = QRegion(polygon.toPolygon());
    marker.code = kZoneCodeBase + art::kZoneMarkers[static_cast<size_t>(i)].zone;
    marker.label = QString::number(art::kZoneMarkers[static_cast<size_t>(i)].zone);
    items.push_back(marker);
  }
  SyncItems();
  openJob_.Then(OnGuiThread(this, [this](const Outcome&) { SyncItems(); }));
  connect(&env_.appSignals, &AppSignals::deviceGone, this, &ColorDlg::Finish);
  connect(&env_.appSignals, &AppSignals::closing, this, &ColorDlg::Finish);
}

ColorDlg::~ColorDlg() = default;

void ColorDlg::Run() {
  ShowOverOwner();
  if (!finished_) loop_.exec();
  hide();
}

void ColorDlg::Finish() {
  finished_ = true;
  loop_.quit();
}

void ColorDlg::SyncItems() {
  const int effect = model_.CurrentEffect();
  auto& items = Items();
  for (int n = 0; n < 5; ++n) items[static_cast<size_t>(kFirstEffect + n)].selected = n == effect;
  for (size_t i = kFirstMarker; i < items.size(); ++i) items[i].hidden = effect != 0;
  ItemsChanged();
}

void ColorDlg::ArmTimer() { ArmForDue(timer_, model_.NextDueMs(), env_.session.GetClock().NowMs()); }

void ColorDlg::RunDueTimers() {
  if (model_.Poll()) update(lighting_layout::kPictureArea);
  ArmTimer();
}

void ColorDlg::showEvent(QShowEvent* event) {
  SkinWindow::showEvent(event);
  model_.Show();
  ArmTimer();
}

void ColorDlg::hideEvent(QHideEvent* event) {
  model_.Hide();
  timer_.stop();
  SkinWindow::hideEvent(event);
}

void ColorDlg::OpenPicker(PickerSetup setup) {
  ColorPickDlg picker(env_, this, setup);
  if (runPicker_(picker) == Answer::kOk) model_.PickerConfirmed(setup, picker.Picker().Live());
  update();
}

void ColorDlg::OnItemActivated(int index) {
  const SkinItem& item = Items()[static_cast<size_t>(index)];
  if (index == kClose) {
    Finish();
  } else if (index >= kFirstEffect && index < kFirstEffect + 5) {
    if (const auto chosen = model_.ChooseEffect(item.code))
      chosen->Then(OnGuiThread(this, [this](const Outcome&) { update(); }));
    SyncItems();
  } else if (index == kSetAllLights) {
    OpenPicker(model_.SetAllLights());
  } else if (item.code >= kZoneCodeBase) {
    if (auto setup = model_.EditZone(item.code - kZoneCodeBase)) OpenPicker(std::move(*setup));
  }
}

bool ColorDlg::Dismiss() {
  Finish();
  return true;
}

void ColorDlg::PaintSkin(QPainter& p) {
  LightingPainter::DlgView view;
  view.title = Q(env_.texts[Label::kColorSetting]);
  view.effectHeading = Q(env_.texts[Label::kLightEffect]);
  view.markers = model_.CurrentEffect() == 0;
  const int hover = Interaction().HoverIndex();
  view.hoverMarker = hover >= kFirstMarker ? hover - kFirstMarker : -1;
  view.preview = model_.Snapshot();
  painter_.PaintDlg(p, view, Items(), Interaction(), env_.fonts);
}

}  // namespace quorix::ui
