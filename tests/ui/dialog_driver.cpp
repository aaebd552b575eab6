#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "ui/skin/skin_window.h"

namespace quorix::test {

DialogAction::DialogAction(std::function<void(QWidget*)> act) : act_(std::move(act)) {
  qApp->installEventFilter(this);
}

DialogAction::~DialogAction() { qApp->removeEventFilter(this); }

bool DialogAction::eventFilter(QObject* watched, QEvent* event) {
  auto* dialog = qobject_cast<ui::SkinWindow*>(watched);
  if (done_ || event->type() != QEvent::Show || dialog == nullptr || !dialog->isWindow() ||
      dialog->windowModality() == Qt::NonModal)
    return false;
  done_ = true;
  title_ = dialog->windowTitle();
  qApp->removeEventFilter(this);
  // Once the dialog waits for its answer, as the user would.
  QTimer::singleShot(0, dialog, [dialog, act = act_] { act(dialog); });
  return false;
}

std::shared_ptr<DialogAction> PressWhenShown(const QString& name) {
  return std::make_shared<DialogAction>([name](QWidget* dialog) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(dialog);
    for (int i = 0; window != nullptr && i < window->childCount(); ++i) {
      QAccessibleInterface* button = window->child(i);
      if (button == nullptr || button->text(QAccessible::Name) != name) continue;
      const QPoint at = dialog->mapFromGlobal(button->rect().center());
      QTest::mouseMove(dialog, at);
      QTest::mouseClick(dialog, Qt::LeftButton, {}, at);
      return;
    }
    ADD_FAILURE() << "no button \"" << name.toStdString() << "\" in \"" << dialog->windowTitle().toStdString() << '"';
    dialog->close();  // a test that waits for an answer must not hang
  });
}

std::shared_ptr<DialogAction> LeaveWhenShown(Leave how) {
  return std::make_shared<DialogAction>([how](QWidget* dialog) {
    if (how == Leave::kEscape)
      QTest::keyClick(dialog, Qt::Key_Escape);
    else
      dialog->close();
  });
}

std::shared_ptr<DialogAction> TypeWhenShown(const QString& text, std::vector<int> keys) {
  return std::make_shared<DialogAction>([text, keys = std::move(keys)](QWidget* dialog) {
    QTest::keyClicks(dialog, text);
    for (int key : keys) QTest::keyClick(dialog, static_cast<Qt::Key>(key));
  });
}

}  // namespace quorix::test
