#pragma once
// The desktop notification that stands in for the on-screen display where
// the desktop places no window and offers no overlay (GNOME on Wayland). It
// talks to org.freedesktop.Notifications on the session bus itself, because
// the tray's message balloon asks for a new notification every time: each
// notice here replaces the one before (replaces_id), so quick level changes
// leave one notification, not a stack.
//
// GUI thread only. Calls are asynchronous; while one waits for its id, a
// newer notice waits too (only the latest is kept) and goes out with that id.

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

namespace quorix::app {

class DesktopNotice : public QObject {
  Q_OBJECT
 public:
  explicit DesktopNotice(QString appName, QObject* parent = nullptr);

  // Shows summary and body for timeoutMs, in place of the notice before.
  void Show(const QString& summary, const QString& body, int timeoutMs);
  // The id the server gave the last notice shown; 0 before any.
  uint32_t LastId() const { return lastId_; }

 signals:
  // No session bus, or no notification server answered: the notice was not
  // shown, and the caller may say it another way.
  void failed(const QString& summary, const QString& body);

 private:
  struct Notice {
    QString summary, body;
    int timeoutMs = 0;
  };
  void Send(const Notice& notice);

  QString appName_;
  uint32_t lastId_ = 0;
  bool sending_ = false;          // a Notify call waits for its answer
  std::optional<Notice> queued_;  // the latest notice that came meanwhile
};

}  // namespace quorix::app
