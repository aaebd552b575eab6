#include "ui/skin/skin_fonts.h"

namespace quorix::ui {
namespace {

struct FontSpec {
  int pixels;
  bool bold;
};

constexpr std::array<FontSpec, SkinFonts::kCount> kTable{{{14, false},
                                                          {18, false},
                                                          {11, false},
                                                          {13, false},
                                                          {12, false},
                                                          {13, false},
                                                          {14, false},
                                                          {12, false},
                                                          {14, true},
                                                          {42, false},
                                                          {11, true},
                                                          {11, true},
                                                          {12, false},
                                                          {9, false},
                                                          {22, true},
                                                          {12, true},
                                                          {10, false}}};

QFont Make(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace

SkinFonts::SkinFonts(const QString& family, const QString& family15)
    : family_(family), gdi13_(Make(family, 13, false)), gdi15_(Make(family15, 15, false)) {
  for (int i = 0; i < kCount; ++i) fonts_[i] = Make(family, kTable[i].pixels, kTable[i].bold);
}

const QFont& SkinFonts::At(int index) const { return index >= 0 && index < kCount ? fonts_[index] : fonts_[0]; }

}  // namespace quorix::ui
