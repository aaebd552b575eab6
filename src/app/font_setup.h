#pragma once
// The interface fonts on this desktop. The language picks a classic face
// name (DesktopProgram::Faces); each face maps to an installed family that
// has the language's glyphs (docs/fonts.md).

#include <QString>

namespace quorix {
class DesktopProgram;
}

namespace quorix::app {

struct UiFontFamilies {
  QString face;      // the classic face the language asks for
  QString family;    // what draws it here
  QString family15;  // the two 15-pixel fonts
};

// The family that stands in for a classic face ("" keeps the face itself).
QString FamilyForFace(const QString& face);

// Chooses the faces for the program's language from the installed families
// and sets up the fallbacks, so a missing family still falls back to one with
// the glyphs.
UiFontFamilies SetUpUiFonts(const DesktopProgram& program);

}  // namespace quorix::app
