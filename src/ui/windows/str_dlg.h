#pragma once
// The text entry: a name (mode 0), a number (1 and 4), a pair of coordinates
// with absolute or relative (3), a folder from a list (5) or a yes/no
// question (10). Skinned and modal; the caller sets the fields of its mode,
// runs it and reads them back when it ended with OK. The typing rules of each
// field are the session's (str_entry_rules.h); the window only forwards keys.

#include <QEventLoop>
#include <QString>
#include <vector>

#include "ui/skin/skin_window.h"

class QLineEdit;
class QListWidget;

namespace quorix::ui {

struct UiEnv;

struct FolderChoice {
  QString name;
  int depth = 0;  // shown as one "." per level
  int value = 0;  // what selectedValue gets
};

class CStrDlg : public SkinWindow {
  Q_OBJECT
 public:
  explicit CStrDlg(UiEnv& env, QWidget* parent = nullptr);

  // ---- set by the caller before Run(), read after it ended with OK ----
  int mode = 0;
  QString prompt;
  QString text;           // the entry text
  long long limit = 0xFFFF;  // number modes: the largest value typed
  int x = 0, y = 0;       // mode 3
  int check = 0;          // mode 3: 1 when "Absolute" is chosen
  std::vector<FolderChoice> folders;  // mode 5
  int selectedValue = -1;             // mode 5: the chosen folder's value
  long long number = 0;               // the entry text read as a number

  // Shows the entry and waits; true when it ended with OK.
  bool Run();
  // Lays the window out for its mode (Run does it; screenshots show it so).
  void Layout();
  // Ends it as cancelled (the device went, the program closes).
  void Cancel() { Finish(false); }

  // The captions of the two buttons as shown (tests, screenshots).
  QString OkCaption() const;
  QString CancelCaption() const;

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum ItemCode { kOk = 0, kCancel = 1, kRelative = 10, kAbsolute = 11, kPick = 12 };

  void Finish(bool ok);
  void TakePosition(QPoint global);
  int IndexOf(int code) const;

  UiEnv& env_;
  QLineEdit* entry_;
  QLineEdit* xField_;
  QLineEdit* yField_;
  QListWidget* list_;
  QEventLoop loop_;
  bool done_ = true;
  bool ok_ = false;
  bool picking_ = false;
};

}  // namespace quorix::ui
