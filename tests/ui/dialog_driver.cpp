#include "dialog_driver.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <deque>
#include <functional>

#include "ui/skin/skin_window.h"

namespace quorix::test {
namespace {

// What an action does to its dialog; true when it could.
using Step = std::function<bool(ui::SkinWindow& dialog)>;

class ArmedAction : public DialogAction {
 public:
  explicit ArmedAction(Step step) : step_(std::move(step)) {}
  void Run(ui::SkinWindow& dialog) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
    if (window != nullptr)
      said_ = window->text(QAccessible::Name) + QLatin1Char('\n') + window->text(QAccessible::Description);
    fired_ = step_(dialog);
  }
  void Abandon() { fired_ = false; }

 private:
  Step step_;
};

// Sees every window shown in the application and hands each modal skin
// dialog to the first action still armed.
class ShowWatcher : public QObject {
 public:
  static ShowWatcher& Get() {
    static QPointer<ShowWatcher> watcher;
    if (!watcher) {
      watcher = new ShowWatcher(qApp);
      qApp->installEventFilter(watcher);
    }
    return *watcher;
  }
  void Arm(const std::shared_ptr<ArmedAction>& action) { armed_.push_back(action); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    // Every skin window that blocks the rest while it waits: the question
    // box, the text entry, and the macro list when it picks a macro.
    auto* dialog = qobject_cast<ui::SkinWindow*>(watched);
    if (dialog == nullptr || !dialog->isWindow() || dialog->windowModality() == Qt::NonModal) return false;
    while (!armed_.empty()) {
      std::weak_ptr<ArmedAction> next = armed_.front();
      armed_.pop_front();
      if (next.expired()) continue;
      // Queued: it runs once the dialog has set its focus and waits in its
      // own event loop, as it does when the user gets to it.
      QMetaObject::invokeMethod(
          dialog,
          [next, target = QPointer<ui::SkinWindow>(dialog)] {
            auto action = next.lock();
            if (!action || !target) return;
            action->Run(*target);
            // A dialog the action did not end would wait for ever: it is
            // closed, and the action did not do its work.
            QMetaObject::invokeMethod(
                target,
                [next, target] {
                  if (!target || !target->isVisible()) return;
                  if (auto stuck = next.lock()) stuck->Abandon();
                  target->close();
                },
                Qt::QueuedConnection);
          },
          Qt::QueuedConnection);
      break;
    }
    return false;
  }

 private:
  using QObject::QObject;
  std::deque<std::weak_ptr<ArmedAction>> armed_;
};

std::shared_ptr<DialogAction> Arm(Step step) {
  auto action = std::make_shared<ArmedAction>(std::move(step));
  ShowWatcher::Get().Arm(action);
  return action;
}

// Where keys go in the dialog: its focused field, or the dialog itself.
QWidget* KeyTarget(ui::SkinWindow& dialog) {
  QWidget* focus = dialog.focusWidget();
  return focus != nullptr ? focus : &dialog;
}

}  // namespace

bool PressItem(QWidget& window, const QString& name) {
  // The item as a screen reader finds it: by its name, at its place.
  QAccessibleInterface* skin = QAccessible::queryAccessibleInterface(&window);
  for (int i = 0; skin != nullptr && i < skin->childCount(); ++i) {
    QAccessibleInterface* item = skin->child(i);
    if (item == nullptr || item->text(QAccessible::Name) != name || item->state().invisible) continue;
    const QPoint at = window.mapFromGlobal(item->rect().center());
    QTest::mouseMove(&window, at);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
    return true;
  }
  return false;
}

std::shared_ptr<DialogAction> PressWhenShown(const QString& name) {
  return Arm([name](ui::SkinWindow& dialog) { return PressItem(dialog, name); });
}

std::shared_ptr<DialogAction> LeaveWhenShown(Leave how) {
  return Arm([how](ui::SkinWindow& dialog) {
    if (how == Leave::kEscape) {
      QTest::keyClick(KeyTarget(dialog), Qt::Key_Escape);
    } else if (QWindow* window = dialog.windowHandle()) {
      window->close();  // the way the window manager's close arrives
    } else {
      dialog.close();
    }
    return true;
  });
}

std::shared_ptr<DialogAction> TypeWhenShown(const QString& text, std::vector<int> keys) {
  return Arm([text, keys = std::move(keys)](ui::SkinWindow& dialog) {
    QTest::keyClicks(KeyTarget(dialog), text);
    // Each key goes where the focus is now: Tab moves it.
    for (int key : keys) {
      if (!dialog.isVisible()) return false;
      QTest::keyClick(KeyTarget(dialog), static_cast<Qt::Key>(key));
    }
    return true;
  });
}

}  // namespace quorix::test
