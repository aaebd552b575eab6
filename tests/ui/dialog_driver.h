#pragma once
// Window tests answer the program's modal skin dialogs as the user does: the
// next modal skin dialog to show gets a button pressed by a mouse click on
// the place of the item with that accessible name, Escape, its window's close
// button, or typed text and keys. Keep the action alive until the dialog has
// come and gone; it acts once, on the first dialog that shows.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace quorix::test {

enum class Leave { kEscape, kCloseButton };

class DialogAction : public QObject {
 public:
  explicit DialogAction(std::function<void(QWidget*)> act);
  ~DialogAction() override;
  // A dialog showed and was acted on.
  bool Done() const { return done_; }
  // Its window title.
  const QString& Title() const { return title_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(QWidget*)> act_;
  bool done_ = false;
  QString title_;
};

std::shared_ptr<DialogAction> PressWhenShown(const QString& name);
std::shared_ptr<DialogAction> LeaveWhenShown(Leave how);
std::shared_ptr<DialogAction> TypeWhenShown(const QString& text, std::vector<int> keys);

}  // namespace quorix::test
