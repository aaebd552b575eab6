#pragma once
// Screen readers see a skinned window's items as its children: each item a
// button (a radio button for radio items) named by its label, with its
// place on the screen, its focus, selection and disabled states, and a
// "press" action that activates it as a click would.

#include <QAccessibleWidget>

namespace quorix::ui {

class SkinWindow;

class SkinWindowAccessible : public QAccessibleWidget {
 public:
  explicit SkinWindowAccessible(SkinWindow* window);

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* focusChild() const override;
  QAccessibleInterface* childAt(int x, int y) const override;

 private:
  SkinWindow* Window() const;
};

// Makes QAccessible create SkinWindowAccessible for every SkinWindow.
void InstallSkinAccessibility();

}  // namespace quorix::ui
