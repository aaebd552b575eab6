#pragma once
// The tray icon with the language's "Settings" and "Quit". A left click
// opens the menu after 500 ms, a right click after 10 ms, a double click
// restores the window without a menu (TrayClicks decides; one single-shot
// timer waits for it).

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include "session/models/tray_clicks.h"

namespace quorix {
class Session;
}

namespace quorix::app {

class Tray : public QObject {
  Q_OBJECT
 public:
  // The menu in the session's texts; the clicks on its clock.
  explicit Tray(Session& session, QObject* parent = nullptr);
  // False where the desktop has no tray: closing the window then quits.
  bool Available() const;
  QSystemTrayIcon& Icon() { return icon_; }

 signals:
  void restoreRequested();
  void quitRequested();

 private:
  void OnActivated(QSystemTrayIcon::ActivationReason reason);
  void Arm();

  Clock& clock_;
  TrayClicks clicks_;
  QSystemTrayIcon icon_;
  QMenu menu_;
  QTimer timer_;
};

}  // namespace quorix::app
