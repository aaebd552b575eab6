#include <QAccessible>
#include <QSignalSpy>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "ui/art/picture_ids.h"
#include "ui/skin/due_timer.h"
#include "ui/skin/picture.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_item.h"
#include "ui/skin/skin_painter.h"
#include "ui/skin/skin_window.h"

namespace quorix::ui {
namespace {

// A picture drawn as text, one string per row: '.' transparent, '#' opaque
// white, 'k' opaque black, 'h' half-transparent grey.
QImage Picture(const std::vector<std::string>& rows, QImage::Format format = QImage::Format_ARGB32) {
  QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), format);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const char c = rows[y][x];
      image.setPixel(x, y, c == '#' ? qRgba(255, 255, 255, 255) : c == 'k' ? qRgba(0, 0, 0, 255)
                           : c == 'h' ? qRgba(128, 128, 128, 128) : qRgba(0, 0, 0, 0));
    }
  }
  return image;
}

std::vector<QRect> Rects(const QRegion& region) { return {region.begin(), region.end()}; }

TEST(SkinPicture, RegionFromPictureTakesEachRowsRunsOfVisiblePixels) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    QImage::Format format;
    std::vector<QRect> expected;
  };
  const std::vector<Case> cases{
      {"transparent, opaque, opaque", {".##"}, QImage::Format_ARGB32, {QRect(1, 0, 2, 1)}},
      {"fully transparent", {"...", "..."}, QImage::Format_ARGB32, {}},
      {"runs end at the right edge, never join rows",
       {"#.##", "####"},
       QImage::Format_ARGB32,
       {QRect(0, 0, 1, 1), QRect(2, 0, 2, 1), QRect(0, 1, 4, 1)}},
      {"black and half-transparent count when there is alpha", {"k.h"}, QImage::Format_ARGB32,
       {QRect(0, 0, 1, 1), QRect(2, 0, 1, 1)}},
      {"without alpha black is the key", {"#k#"}, QImage::Format_RGB32, {QRect(0, 0, 1, 1), QRect(2, 0, 1, 1)}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rects(RegionFromPicture(Picture(c.rows, c.format))), c.expected) << c.what;
  }
  // A @2x picture gives the region of its plain size.
  QImage large = Picture({"..##", "..##", "....", "...."});
  large.setDevicePixelRatio(2.0);
  EXPECT_EQ(Rects(RegionFromPicture(large)), (std::vector<QRect>{QRect(1, 0, 1, 1)}));
}

TEST(SkinPicture, TintPictureScalesVisiblePixelsOnly) {
  struct Case {
    const char* what;
    double factor, red, green, blue;
    int flags;
    std::optional<QRect> rect;
    QRgb expectedInside;
  };
  const QRgb source = qRgba(200, 100, 50, 255);
  const std::vector<Case> cases{
      {"uniform halves every channel", 0.5, 9.0, 9.0, 9.0, kTintUniform, {}, qRgba(100, 50, 25, 127)},
      {"per channel", 1.0, 0.5, 1.0, 0.0, 0, {}, qRgba(100, 100, 0, 255)},
      {"factor and channel multiply, truncated", 0.5, 0.5, 1.0, 1.0, 0, {}, qRgba(50, 50, 25, 127)},
      {"results stay within a byte", 2.0, 1.0, 1.0, 1.0, 0, {}, qRgba(255, 200, 100, 255)},
      {"only inside the rectangle", 0.5, 1, 1, 1, kTintUniform, QRect(0, 0, 1, 1), qRgba(100, 50, 25, 127)},
  };
  for (const Case& c : cases) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, source);
    image.setPixel(1, 0, qRgba(10, 20, 30, 0));  // invisible, with colour left in it
    image.setPixel(2, 0, source);
    TintPicture(image, c.factor, c.red, c.green, c.blue, c.flags, c.rect);
    EXPECT_EQ(image.pixel(0, 0), c.expectedInside) << c.what;
    EXPECT_EQ(image.pixel(1, 0), qRgba(10, 20, 30, 0)) << c.what;
    EXPECT_EQ(image.pixel(2, 0), c.rect ? source : c.expectedInside) << c.what;
    EXPECT_EQ(image.format(), QImage::Format_ARGB32) << c.what;
  }
}

TEST(SkinPicture, PictureBoundsFromTheTopRow) {
  struct Case {
    std::vector<std::string> rows;
    QRect expected;  // left, top 0, right and bottom inclusive
  };
  const std::vector<Case> cases{
      {{"....", "....", "...."}, QRect(QPoint(0, 0), QPoint(4, 3))},
      {{"....", ".#..", "..h.", "...."}, QRect(QPoint(1, 0), QPoint(2, 2))},
      {{"k...", "...."}, QRect(QPoint(0, 0), QPoint(0, 0))},
  };
  for (const Case& c : cases) EXPECT_EQ(PictureBounds(Picture(c.rows)), c.expected) << c.rows.size();
}

TEST(SkinPicture, LoadPictureOfAMissingIdIsNull) {
  for (int id : {0, 128, 577, 9999}) {
    EXPECT_TRUE(LoadPicture(id).isNull()) << id;
    EXPECT_TRUE(LoadPicture(id, 2.0).isNull()) << id;
  }
  PictureCache cache;
  EXPECT_TRUE(cache.Get(128).isNull());
}

TEST(SkinPicture, EveryPictureIsCompiledInAtBothRatios) {
  namespace p = pic;
  std::vector<int> ids{p::kMainBackground, p::kTabNormal, p::kTabHover, p::kTabSelected, p::kCloseNormal,
                       p::kCloseHover, p::kMinimizeNormal, p::kMinimizeHover, p::kLogo, p::kProgressTrack,
                       p::kProgressFill, p::kRadioNormal, p::kRadioSelected, p::kCheckOff, p::kCheckOn,
                       p::kSwitchOff, p::kSwitchOn, p::kWideButtonNormal, p::kWideButtonHover,
                       p::kWideButtonDisabled, p::kLargeButtonNormal, p::kLargeButtonHover, p::kSliderTrack,
                       p::kSliderThumb, p::kSliderTick, p::kProfileItemNormal, p::kProfileItemHover,
                       p::kProfileItemSelected, p::kAppField, p::kLevelNormal, p::kLevelHover, p::kLevelSelected,
                       p::kMouseTop, p::kButtonSpot, p::kButtonSpotHover, p::kButtonSpotLocked, p::kFunctionLabel,
                       p::kDialogBackground, p::kEditField, p::kListBox, p::kPickPosition, p::kHandCursor,
                       p::kAppIcon, p::kOsdDpiPanel, p::kVirtualButton, p::kVirtualButtonHover, p::kColourWheel,
                       p::kColourWheelMarker};
  for (int zone = 0; zone < p::kLightZoneCount; ++zone) ids.push_back(p::kLightZoneFirst + zone);
  for (int profile = 0; profile <= 4; ++profile) ids.push_back(p::OsdProfilePicture(profile));
  for (int id : ids) {
    const QImage plain = LoadPicture(id, 1.0);
    const QImage large = LoadPicture(id, 2.0);
    ASSERT_FALSE(plain.isNull()) << id;
    ASSERT_FALSE(large.isNull()) << id;
    EXPECT_EQ(plain.devicePixelRatio(), 1.0) << id;
    EXPECT_EQ(large.devicePixelRatio(), 2.0) << id;
    EXPECT_EQ(large.size(), plain.size() * 2) << id;
    EXPECT_TRUE(plain.hasAlphaChannel()) << id;
  }
  // Sizes that windows lay themselves out by; light zones lie over the mouse.
  const std::vector<std::pair<int, QSize>> sizes{{p::kMainBackground, {1024, 674}},
                                                 {p::kRadioNormal, {15, 15}},
                                                 {p::kRadioSelected, {15, 15}},
                                                 {p::kWideButtonNormal, {160, 32}},
                                                 {p::kLargeButtonNormal, {200, 32}},
                                                 {p::kLightZoneFirst + 12, LoadPicture(p::kMouseTop, 1.0).size()}};
  for (const auto& [id, size] : sizes) EXPECT_EQ(LoadPicture(id, 1.0).size(), size) << id;
  // The main surface's corners are see-through; its middle is not.
  const QRegion shape = RegionFromPicture(LoadPicture(p::kMainBackground, 2.0));
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_TRUE(shape.contains(QPoint(512, 337)));
}

// Three buttons in a row and a radio item below; the middle one overlaps the
// first to show that array order wins.
std::vector<SkinItem> Row() {
  std::vector<SkinItem> items(4);
  items[0].rect = QRectF(10, 10, 20, 10);
  items[1].rect = QRectF(20, 10, 20, 10);
  items[2].rect = QRectF(40, 10, 20, 10);
  items[3].rect = QRectF(10, 30, 15, 15);
  items[3].kind = kSkinItemRadio;
  for (int i = 0; i < 4; ++i) items[i].label = QStringLiteral("item %1").arg(i);
  return items;
}

TEST(SkinItems, HitTest) {
  struct Case {
    const char* what;
    QPointF point;
    int expected;
    void (*change)(std::vector<SkinItem>&);
  };
  const std::vector<Case> cases{
      {"left and top edges are inside", {10, 10}, 0, nullptr},
      {"right edge is outside", {30, 12}, 1, nullptr},
      {"right edge of the last is outside", {60, 12}, -1, nullptr},
      {"bottom edge is outside", {12, 20}, -1, nullptr},
      {"first in array order wins", {25, 12}, 0, nullptr},
      {"hidden items are not hit", {25, 12}, 1, [](auto& v) { v[0].hidden = true; }},
      {"disabled items are hit", {25, 12}, 0, [](auto& v) { v[0].disabled = true; }},
      {"a region replaces the rectangle", {12, 12}, -1, [](auto& v) { v[0].region = QRegion(50, 50, 2, 2); }},
      {"a region outside the rectangle", {51, 51}, 0, [](auto& v) { v[0].region = QRegion(50, 50, 2, 2); }},
      {"fractions inside", {59.9, 19.9}, 2, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<SkinItem> items = Row();
    if (c.change) c.change(items);
    EXPECT_EQ(HitTest(items, c.point), c.expected) << c.what;
  }
}

TEST(SkinItems, InteractionActivatesOnReleaseOverThePressedItem) {
  enum Op { kMove, kPress, kRelease, kLeave };
  struct Step {
    Op op;
    QPointF at;
    SkinAction action;
    int hover, press;
    bool hand;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    void (*change)(std::vector<SkinItem>&);
  };
  const QPointF on0(12, 12), on2(45, 12), bare(5, 5);
  const std::vector<Case> cases{
      {"hover, press, release activates",
       {{kMove, on0, {true, -1, false}, 0, -1, true},
        {kMove, {13, 13}, {false, -1, false}, 0, -1, true},
        {kPress, on0, {true, -1, false}, 0, 0, true},
        {kRelease, on0, {true, 0, false}, 0, -1, true},
        {kMove, bare, {true, -1, false}, -1, -1, false}},
       nullptr},
      {"release elsewhere activates nothing",
       {{kPress, on0, {true, -1, false}, 0, 0, true},
        {kMove, on2, {true, -1, false}, 2, 0, true},
        {kRelease, on2, {true, -1, false}, 2, -1, true}},
       nullptr},
      {"press off items moves the window",
       {{kPress, bare, {false, -1, true}, -1, -1, false}, {kRelease, bare, {false, -1, false}, -1, -1, false}},
       nullptr},
      {"pressed item stays pressed off it, hand shows",
       {{kPress, on0, {true, -1, false}, 0, 0, true}, {kLeave, {}, {true, -1, false}, -1, 0, true}},
       nullptr},
      {"disabled: no hover, no press, no move",
       {{kMove, on0, {false, -1, false}, -1, -1, false},
        {kPress, on0, {false, -1, false}, -1, -1, false},
        {kRelease, on0, {false, -1, false}, -1, -1, false}},
       [](auto& v) { v[0].disabled = true; }},
  };
  for (const Case& c : cases) {
    std::vector<SkinItem> items = Row();
    if (c.change) c.change(items);
    SkinInteraction in;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      const SkinAction got = s.op == kMove    ? in.Move(items, s.at)
                             : s.op == kPress ? in.Press(items, s.at)
                             : s.op == kRelease ? in.Release(items, s.at)
                                                : in.Leave();
      EXPECT_EQ(got, s.action) << c.what << " step " << i;
      EXPECT_EQ(in.HoverIndex(), s.hover) << c.what << " step " << i;
      EXPECT_EQ(in.PressIndex(), s.press) << c.what << " step " << i;
      EXPECT_EQ(in.HandCursor(), s.hand) << c.what << " step " << i;
    }
  }
}

TEST(SkinItems, KeyboardFocusWalksUsableItemsRound) {
  struct Case {
    const char* what;
    std::vector<SkinKey> keys;
    std::vector<int> focus;      // after each key
    std::vector<int> activated;  // after each key
    void (*change)(std::vector<SkinItem>&);
  };
  using K = SkinKey;
  const std::vector<Case> cases{
      {"forward and round", {K::kNext, K::kNext, K::kNext, K::kNext, K::kNext}, {0, 1, 2, 3, 0}, {-1, -1, -1, -1, -1},
       nullptr},
      {"backward from nothing starts at the end", {K::kPrevious, K::kPrevious}, {3, 2}, {-1, -1}, nullptr},
      {"skips hidden and disabled", {K::kNext, K::kNext, K::kPrevious}, {0, 3, 0}, {-1, -1, -1},
       [](auto& v) {
         v[1].hidden = true;
         v[2].disabled = true;
       }},
      {"activate needs a focus", {K::kActivate, K::kNext, K::kNext, K::kActivate}, {-1, 0, 1, 1}, {-1, -1, -1, 1},
       nullptr},
      {"nothing usable", {K::kNext, K::kActivate}, {-1, -1}, {-1, -1},
       [](auto& v) {
         for (auto& item : v) item.hidden = true;
       }},
  };
  for (const Case& c : cases) {
    std::vector<SkinItem> items = Row();
    if (c.change) c.change(items);
    SkinInteraction in;
    for (size_t i = 0; i < c.keys.size(); ++i) {
      EXPECT_EQ(in.Key(items, c.keys[i]).activated, c.activated[i]) << c.what << " key " << i;
      EXPECT_EQ(in.FocusIndex(), c.focus[i]) << c.what << " key " << i;
    }
  }
}

TEST(SkinItems, PainterPicksTheLookOfEachState) {
  SkinItem item;
  item.rect = QRectF(0, 0, 10, 10);
  item.imageNormal = 1;
  item.imageHover = 2;
  item.imagePressed = 3;
  const std::vector<SkinItem> one{item};
  SkinInteraction idle, hover, press;
  hover.Move(one, {1, 1});
  press.Press(one, {1, 1});
  struct Case {
    const char* what;
    bool selected, disabled, hidden;
    const SkinInteraction& in;
    int expected;
  };
  const std::vector<Case> cases{
      {"normal", false, false, false, idle, 1},   {"hover", false, false, false, hover, 2},
      {"pressed", false, false, false, press, 3}, {"selected", true, false, false, idle, 3},
      {"selected wins over hover", true, false, false, hover, 3}, {"disabled", false, true, false, idle, 1},
      {"hidden", false, false, true, idle, 0},
  };
  for (const Case& c : cases) {
    SkinItem it = item;
    it.selected = c.selected;
    it.disabled = c.disabled;
    it.hidden = c.hidden;
    EXPECT_EQ(ItemPicture(it, 0, c.in), c.expected) << c.what;
  }
}

TEST(SkinFontsTest, TableSizesAndFallback) {
  const SkinFonts fonts(QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP"));
  const std::vector<std::pair<int, bool>> table{{14, false}, {18, false}, {11, false}, {13, false}, {12, false},
                                                {13, false}, {14, false}, {12, false}, {14, true},  {42, false},
                                                {11, true},  {11, true},  {12, false}, {9, false},  {22, true},
                                                {12, true},  {10, false}};
  for (int i = 0; i < SkinFonts::kCount; ++i) {
    EXPECT_EQ(fonts.At(i).pixelSize(), table[i].first) << i;
    EXPECT_EQ(fonts.At(i).bold(), table[i].second) << i;
    EXPECT_EQ(fonts.At(i).family(), "DejaVu Sans") << i;
  }
  EXPECT_EQ(fonts.At(17), fonts.At(0));
  EXPECT_EQ(fonts.At(-1), fonts.At(0));
  EXPECT_EQ(fonts.Gdi13().pixelSize(), 13);
  EXPECT_EQ(fonts.Gdi15().pixelSize(), 15);
  EXPECT_EQ(fonts.Gdi15().family(), "Noto Sans CJK JP");
}

// A window with the Row() items that fills its surface and counts
// activations.
class TestWindow : public SkinWindow {
 public:
  TestWindow() : SkinWindow(QSize(80, 60)) { Items() = Row(); }
  std::vector<int> activated;
  std::vector<std::pair<int, int>> arrows;
  int dismissals = 0;

 protected:
  void PaintSkin(QPainter& painter) override { painter.fillRect(QRect(0, 0, 40, 60), QColor(20, 30, 40)); }
  void OnItemActivated(int index) override { activated.push_back(index); }
  void OnItemArrow(int index, int step) override { arrows.emplace_back(index, step); }
  bool Dismiss() override {
    ++dismissals;
    return true;
  }
};

TEST(SkinWindowTest, FramelessTranslucentAndPaintedOffScreen) {
  TestWindow window;
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  for (qreal ratio : {1.0, 2.0}) {
    const QImage surface = window.Render(ratio);
    EXPECT_EQ(surface.size(), QSize(80, 60) * ratio);
    EXPECT_EQ(surface.pixel(QPoint(5, 5) * ratio), qRgb(20, 30, 40));
    EXPECT_EQ(qAlpha(surface.pixel(QPoint(60, 5) * ratio)), 0);  // unpainted stays see-through
  }
}

TEST(SkinWindowTest, RoutesMouseAndKeysUnlessBlocked) {
  TestWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::mouseMove(&window, {45, 12});
  EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(&window, Qt::LeftButton, {}, {45, 12});
  EXPECT_EQ(window.activated, (std::vector<int>{2}));

  // Tab walks the items; Space activates.
  QTest::keyClick(&window, Qt::Key_Tab);
  QTest::keyClick(&window, Qt::Key_Tab);
  EXPECT_EQ(window.Interaction().FocusIndex(), 1);
  QTest::keyClick(&window, Qt::Key_Space);
  QTest::keyClick(&window, Qt::Key_Right);
  QTest::keyClick(&window, Qt::Key_Backtab);
  QTest::keyClick(&window, Qt::Key_Return);
  QTest::keyClick(&window, Qt::Key_Down);
  EXPECT_EQ(window.activated, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(window.arrows, (std::vector<std::pair<int, int>>{{1, 1}, {0, -1}}));

  window.SetInputBlocked(true);
  EXPECT_EQ(window.cursor().shape(), Qt::BusyCursor);
  QTest::mouseClick(&window, Qt::LeftButton, {}, {45, 12});
  QTest::keyClick(&window, Qt::Key_Return);
  EXPECT_EQ(window.activated.size(), 3u);
  window.SetInputBlocked(false);
  QTest::mouseClick(&window, Qt::LeftButton, {}, {12, 32});
  EXPECT_EQ(window.activated, (std::vector<int>{2, 1, 0, 3}));
}

// Where the platform refuses the system move (window managers without
// _NET_WM_MOVERESIZE, and the offscreen platform), a drag on bare surface
// moves the window itself, and only until the button is released.
TEST(SkinWindowTest, DraggingBareSurfaceMovesTheWindowWithoutTheSystemMove) {
  TestWindow window;
  window.move(100, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_FALSE(window.windowHandle()->startSystemMove());
  const auto mouse = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(global - window.pos()), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
  };
  mouse(QEvent::MouseButtonPress, {170, 150}, Qt::LeftButton);  // bare surface
  mouse(QEvent::MouseMove, {200, 170}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(130, 120));
  mouse(QEvent::MouseMove, {150, 160}, Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(80, 110));
  mouse(QEvent::MouseButtonRelease, {150, 160}, Qt::NoButton);
  mouse(QEvent::MouseMove, {300, 300}, Qt::NoButton);
  EXPECT_EQ(window.pos(), QPoint(80, 110)) << "the release ends the drag";
  // A press on an item is a click, not a drag.
  mouse(QEvent::MouseButtonPress, window.pos() + QPoint(45, 12), Qt::LeftButton);
  mouse(QEvent::MouseMove, window.pos() + QPoint(90, 40), Qt::LeftButton);
  EXPECT_EQ(window.pos(), QPoint(80, 110));
  EXPECT_TRUE(window.activated.empty());
}

TEST(SkinWindowTest, EscapeAndTheCloseButtonDismissAlike) {
  TestWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_EQ(window.dismissals, 1);
  EXPECT_TRUE(window.close());
  EXPECT_EQ(window.dismissals, 2);
  EXPECT_FALSE(window.isVisible());
}

TEST(SkinWindowTest, ScreenReadersSeeEachItem) {
  TestWindow window;
  window.Items()[1].disabled = true;
  window.Items()[3].selected = true;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&window);
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->childCount(), 4);
  QTest::keyClick(&window, Qt::Key_Tab);
  for (int i = 0; i < 4; ++i) {
    QAccessibleInterface* item = tree->child(i);
    ASSERT_NE(item, nullptr) << i;
    EXPECT_EQ(item, tree->child(i)) << i;
    EXPECT_EQ(tree->indexOfChild(item), i);
    EXPECT_EQ(item->parent(), tree);
    EXPECT_EQ(item->text(QAccessible::Name), QStringLiteral("item %1").arg(i));
    EXPECT_EQ(item->role(), i == 3 ? QAccessible::RadioButton : QAccessible::Button) << i;
    EXPECT_EQ(item->state().focused, i == 0) << i;
    EXPECT_EQ(item->state().disabled, i == 1) << i;
    EXPECT_EQ(item->state().checked, i == 3) << i;
    EXPECT_EQ(item->rect().size(), window.Items()[i].rect.toAlignedRect().size()) << i;
  }
  EXPECT_EQ(tree->focusChild(), tree->child(0));
  const QPoint onItem2 = window.mapToGlobal(QPoint(45, 12));
  EXPECT_EQ(tree->childAt(onItem2.x(), onItem2.y()), tree->child(2));
  // Pressing through the reader activates, except a disabled item or while blocked.
  for (int i : {2, 1}) tree->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  window.SetInputBlocked(true);
  tree->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(window.activated, (std::vector<int>{2}));
}

TEST(DueTimer, ArmsForTheNextDueMomentOrStops) {
  struct Case {
    std::optional<int64_t> due;
    int64_t now;
    bool active;
    int interval;
  };
  const Case cases[] = {
      {std::nullopt, 1000, false, 0},
      {1250, 1000, true, 250},
      {900, 1000, true, 0},  // already past: at once, not a negative wait
      {int64_t{1} << 40, 0, true, INT_MAX},  // further than an int counts: as long as it can
  };
  for (const auto& c : cases) {
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(5);  // a timer left armed by an earlier moment
    ArmForDue(timer, c.due, c.now);
    EXPECT_EQ(timer.isActive(), c.active) << c.now;
    if (c.active) {
      EXPECT_EQ(timer.interval(), c.interval) << c.now;
    }
  }
}

}  // namespace
}  // namespace quorix::ui
