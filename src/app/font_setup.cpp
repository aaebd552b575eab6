#include "app/font_setup.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <string>
#include <vector>

#include "session/desktop_program.h"

namespace quorix::app {
namespace {

struct FaceMapping {
  const char* face;
  const char* family;
};

// The classic faces and the families that draw them. Japanese faces go to the
// Japanese CJK family (its kana and kanji shapes); "Arial", which the
// Traditional Chinese interface asks for, to the Traditional Chinese one,
// whose Latin letters are plain sans serif too; "Tahoma" to DejaVu Sans.
constexpr FaceMapping kFaces[] = {
    {"Meiryo UI", "Noto Sans CJK JP"},
    {"MS PGothic", "Noto Sans CJK JP"},
    {"Arial", "Noto Sans CJK TC"},
    {"Tahoma", "DejaVu Sans"},
};

}  // namespace

QString FamilyForFace(const QString& face) {
  for (const FaceMapping& m : kFaces) {
    if (face == QLatin1String(m.face)) return QString::fromLatin1(m.family);
  }
  return face;
}

UiFontFamilies SetUpUiFonts(const DesktopProgram& program) {
  std::vector<std::string> installed;
  for (const QString& family : QFontDatabase::families()) installed.push_back(family.toStdString());
  const InterfaceFaces faces = program.Faces(installed);
  UiFontFamilies fonts;
  fonts.face = QString::fromStdString(faces.face);
  // A real Meiryo UI is used as it is.
  const bool haveFace = QFontDatabase::hasFamily(fonts.face) && faces.face != "Arial";
  fonts.family = haveFace ? fonts.face : FamilyForFace(fonts.face);
  const QString face15 = QString::fromStdString(faces.face15);
  fonts.family15 = face15 == fonts.face ? fonts.family : FamilyForFace(face15);
  // Without the CJK families, any sans serif family; Qt still falls back per
  // glyph to a family that has it.
  const QStringList fallbacks{"Noto Sans CJK JP", "Noto Sans CJK TC", "DejaVu Sans", "Sans Serif"};
  for (const FaceMapping& m : kFaces) {
    QStringList others = fallbacks;
    others.removeAll(QString::fromLatin1(m.family));
    QFont::insertSubstitutions(QString::fromLatin1(m.family), others);
  }
  return fonts;
}

}  // namespace quorix::app
