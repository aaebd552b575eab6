#pragma once
// --screenshot-tour DIR: once the first load is done, shows each window in
// turn and saves the whole screen as DIR/<name>.png: the main window's pages,
// the on-screen display full and fading, the question box, the text entry in
// each mode, the lighting window and its colour picker, and the virtual mouse. Then the program quits.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace quorix::ui {
struct UiEnv;
class OsdWindow;
class OptionDlg;
class CStrDlg;
class VirtualMouseWindow;
class ColorDlg;
class ColorPickDlg;
}  // namespace quorix::ui

namespace quorix::app {

class ScreenshotTour : public QObject {
  Q_OBJECT
 public:
  ScreenshotTour(ui::UiEnv& env, QString folder, QWidget* mainWindow, ui::OsdWindow* osd,
                 ui::VirtualMouseWindow* virtualMouse);
  ~ScreenshotTour() override;

  void Begin();

 signals:
  void finished();

 private:
  struct Shot {
    QString name;
    std::function<void()> show;  // before the picture
    int waitMs;                  // for the window to be mapped and painted
    std::function<bool()> ready = {};  // then, when given, until it says so
  };
  void Next();
  void Take();
  void HideDialogs();

  ui::UiEnv& env_;
  QString folder_;
  QWidget* mainWindow_;
  ui::OsdWindow* osd_;
  ui::VirtualMouseWindow* virtualMouse_;
  std::unique_ptr<ui::OptionDlg> question_;
  std::unique_ptr<ui::CStrDlg> entry_;
  std::unique_ptr<ui::ColorDlg> lighting_;
  std::unique_ptr<ui::ColorPickDlg> picker_;
  std::vector<Shot> shots_;
  size_t next_ = 0;
  QTimer timer_;
};

}  // namespace quorix::app
