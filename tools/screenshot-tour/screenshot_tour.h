#pragma once
// quorix-mouse-tour's work: once the first load is done, shows each window in
// turn and saves the whole screen as DIR/<name>.png: the main window's pages,
// the button settings window, the on-screen display full and fading, the
// question box, the text entry in each mode, the virtual mouse, the macro
// list in both modes, the macro editor during a recording, and the lighting
// window with its colour picker. Then the program quits.
//
// A picture is taken when what it shows is there, not after a guessed
// delay: its condition holds (a loaded mouse and no progress for the main
// window's pages, a dialog shown), its windows are exposed and have painted
// since, and the screen shows what they painted (a compositor starved of
// time shows an old frame for a while). On a machine busy enough that this
// takes longer, the picture waits longer.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace quorix::app {
struct ShellWindows;
}  // namespace quorix::app

namespace quorix::ui {
struct UiEnv;
class OsdWindow;
class OptionDlg;
class CStrDlg;
class VirtualMouseWindow;
class MacroList;
class MacroEdit;
class ColorDlg;
class ColorPickDlg;
class MainWindow;
}  // namespace quorix::ui

namespace quorix::tour {

class ScreenshotTour : public QObject {
  Q_OBJECT
 public:
  // The pictures go to `folder`; the windows are the started shell's.
  ScreenshotTour(QString folder, const app::ShellWindows& windows);
  ~ScreenshotTour() override;

  // Starts at the first load that found the mouse; later calls do nothing.
  void Begin();

 signals:
  void finished();

 private:
  struct Shot {
    QString name;
    std::function<void()> show;  // before the picture
    // The windows the picture is about: exposed, and painted once after the
    // condition holds.
    std::function<std::vector<QWidget*>()> windows;
    std::function<bool()> ready = [] { return true; };
    int settleMs = 150;  // after that paint, for the compositor
  };
  enum class Step { kWaiting, kPainting, kSettling };
  // The macro list in both modes and the editor during a recording.
  void AddMacroShots(ui::MacroEdit* editor);
  void Next();
  void Poll();
  bool Exposed(const std::vector<QWidget*>& windows) const;
  bool PaintedSince(const std::vector<QWidget*>& windows) const;
  bool OnScreen(const std::vector<QWidget*>& windows) const;
  void Take();
  void HideDialogs();
  bool eventFilter(QObject* watched, QEvent* event) override;

  ui::UiEnv& env_;
  QString folder_;
  ui::MainWindow* mainWindow_;
  ui::OsdWindow* osd_;
  ui::VirtualMouseWindow* virtualMouse_;
  std::unique_ptr<ui::OptionDlg> question_;
  std::unique_ptr<ui::CStrDlg> entry_;
  std::unique_ptr<ui::MacroList> macroList_;
  ui::MacroEdit* macroEdit_ = nullptr;
  std::unique_ptr<ui::ColorDlg> lighting_;
  std::unique_ptr<ui::ColorPickDlg> picker_;
  std::vector<Shot> shots_;
  size_t next_ = 0;
  bool begun_ = false;
  Step step_ = Step::kWaiting;
  QHash<const QObject*, int> paints_;    // paint events seen per window
  QHash<const QObject*, int> paintsAt_;  // ... when the condition held
  QElapsedTimer shotTime_;
  QTimer timer_;
};

}  // namespace quorix::tour
