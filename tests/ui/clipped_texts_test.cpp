// Texts that must fit their boxes in every language, measured in the fonts
// the tests use: the on-screen keyboard's legends, the macro modes of Button
// settings and the macro list's title.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <memory>
#include <set>

#include "options/language_setting.h"
#include "session/models/button_settings_model.h"
#include "support/sim_session.h"
#include "texts/text_tables.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/button_set_painter.h"
#include "ui/windows/macro_list.h"
#include "ui/windows/macro_list_painter.h"

namespace quorix::ui {
namespace {

struct Language {
  int id;
  const char* name;
};
constexpr Language kLanguages[] = {{1033, "English"}, {1041, "Japanese"}, {1028, "Traditional Chinese"}};

TextTables TextsIn(int language) {
  TextTables texts = DefaultTextTables();
  if (language != 1033) {
    EXPECT_TRUE(LoadLanguageFile(texts, std::string(QUORIX_SOURCE_DATA_DIR) + "/language.ini", language));
  }
  return texts;
}

struct ClippedTexts : ::testing::Test {
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
};

TEST_F(ClippedTexts, EveryKeyLegendFitsItsKeyReadably) {
  // The legends that were cut off before.
  const std::set<QString> once{QStringLiteral("Hankaku/\nZenkaku"), QStringLiteral("Muhenkan"),
                               QStringLiteral("Volume -"), QStringLiteral("再生/一時停止"), QStringLiteral("ミュート")};
  std::set<QString> seen;
  for (const Language& language : kLanguages) {
    const KeyboardLayout keyboard = LoadKeyboardLayoutFile(std::string(QUORIX_SOURCE_DATA_DIR) + "/keyboard.ini",
                                                           MakeKeyTexts(TextsIn(language.id)));
    ASSERT_GT(keyboard.keys.size(), 100u) << language.name;
    for (const KeyboardKey& key : keyboard.keys) {
      const QString text = QString::fromStdString(key.legend);
      if (text.isEmpty()) continue;
      seen.insert(text);
      const QRectF box =
          button_layout::KeyLegendBox(QRectF(key.left, key.top, key.right - key.left, key.bottom - key.top));
      const KeyLegend legend = FitKeyLegend(text, box, fonts, key.smallFont != 0);
      const QFontMetricsF metrics(legend.font);
      const QString where = QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(language.name), text);
      EXPECT_LE(legend.lines.size() * metrics.lineSpacing(), box.height() + 0.5) << where.toStdString();
      for (const QString& line : legend.lines)
        EXPECT_LE(metrics.horizontalAdvance(line) * legend.squeeze, box.width() + 0.5) << where.toStdString();
      // Nothing is dropped but the space a break takes.
      EXPECT_EQ(legend.lines.join(QString()).remove(QLatin1Char(' ')),
                QString(text).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')))
          << where.toStdString();
      EXPECT_GE(legend.font.pixelSize(), 9) << where.toStdString();
      EXPECT_GE(legend.squeeze, 0.75) << where.toStdString();
    }
  }
  for (const QString& text : once) EXPECT_TRUE(seen.count(text)) << text.toStdString();
}

TEST_F(ClippedTexts, MacroModesKeepTheWindowsFont) {
  for (const Language& language : kLanguages) {
    const TextTables texts = TextsIn(language.id);
    const QFontMetricsF metrics(fonts.At(4));
    for (int mode = 0; mode < 3; ++mode) {
      const QString label = QString::fromStdString(texts.buttonStr.at(15 + static_cast<size_t>(mode)));
      const QRectF box = button_layout::MacroMode(mode).adjusted(21, 0, 0, 0);  // after the radio picture
      EXPECT_LE(metrics.horizontalAdvance(label), box.width()) << language.name << " " << label.toStdString();
      if (mode > 0) {
        EXPECT_LE(button_layout::MacroMode(mode - 1).right(), button_layout::MacroMode(mode).left());
      }
    }
    EXPECT_LE(button_layout::MacroMode(2).right(), button_layout::SelectMacro().left());
  }
}

TEST_F(ClippedTexts, MacroListShowsItsTitleAboveTheRows) {
  test::SimSession world;
  AppSignals broadcasts;
  for (const Language& language : kLanguages) {
    const TextTables texts = TextsIn(language.id);
    UiEnv env{*world.session, texts, fonts, broadcasts};
    for (MacroListMode mode : {MacroListMode::kPickMacro, MacroListMode::kFunctionList}) {
      MacroList list(env, mode);
      const QString title = list.windowTitle();
      ASSERT_FALSE(title.isEmpty());
      const QRectF band(16, 6, list.width() - 32, kMacroTitleBand - 12);
      EXPECT_LE(QFontMetricsF(fonts.At(15)).horizontalAdvance(title), band.width()) << language.name;
      EXPECT_GE(list.ListRect().top(), band.bottom()) << "the rows start below the title";
      // Bright text pixels in the band: the title is painted there.
      const QImage shot = list.grab().toImage();
      int lit = 0;
      for (int y = static_cast<int>(band.top()); y < band.bottom(); ++y)
        for (int x = static_cast<int>(band.left()); x < band.right(); ++x) lit += qGray(shot.pixel(x, y)) > 160;
      EXPECT_GT(lit, 20) << language.name << (mode == MacroListMode::kFunctionList ? " function list" : " macro list");
    }
  }
}

}  // namespace
}  // namespace quorix::ui
