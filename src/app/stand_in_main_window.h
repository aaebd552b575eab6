#pragma once
// What the shell shows where the program is built without the main window:
// the same calls and broadcasts, a plain skinned surface with the device's
// state, so the shell, the on-screen display and the dialogs can be run and
// looked at on their own.

#include <QString>
#include <functional>
#include <optional>

#include "device/vendor_report.h"
#include "ui/skin/skin_window.h"

namespace quorix::ui {
struct UiEnv;
}

namespace quorix::app {

class StandInMainWindow : public ui::SkinWindow {
  Q_OBJECT
 public:
  explicit StandInMainWindow(ui::UiEnv& env, QWidget* parent = nullptr);

  void SetBusy(std::optional<double> fraction);
  void ShowLoaded();
  void ClearDevice();
  void ApplyStateReport(const VendorReport& report);
  void SetPage(int page);
  using AskFn = std::function<int(const QString& title, const QString& message)>;
  void SetAsk(AskFn ask) { ask_ = std::move(ask); }

 signals:
  void osdRequested(const VendorReport& report);
  void reloadRequested();
  void hideToTrayRequested();
  void quitRequested();

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;

 private:
  ui::UiEnv& env_;
  std::optional<double> busy_;
  QString status_;
  int page_ = 0;
  AskFn ask_;
};

}  // namespace quorix::app
