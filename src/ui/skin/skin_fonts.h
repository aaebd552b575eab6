#pragma once
// The fonts every skinned window shares, made once at start-up in the
// language's interface family and kept until exit. Sizes are in pixels so
// that text fits the pictures whatever the screen's DPI setting.

#include <array>

#include <QFont>
#include <QString>

namespace quorix::ui {

class SkinFonts {
 public:
  // The number of fonts At() knows.
  static constexpr int kCount = 17;

  // `family` for all fonts; `family15` for the two 15-pixel ones (the shell
  // picks it by language).
  explicit SkinFonts(const QString& family, const QString& family15);

  // Font `index` of the shared table (0..16): pixel sizes 14, 18, 11, 13,
  // 12, 13, 14, 12, 14 bold, 42, 11 bold, 11 bold, 12, 9, 22 bold, 12 bold,
  // 10. An index outside the table gives font 0.
  const QFont& At(int index) const;
  const QFont& Gdi13() const { return gdi13_; }  // 13 pixels, interface family
  const QFont& Gdi15() const { return gdi15_; }  // 15 pixels, family15
  QString Family() const { return family_; }

 private:
  QString family_;
  std::array<QFont, kCount> fonts_;
  QFont gdi13_;
  QFont gdi15_;
};

}  // namespace quorix::ui
