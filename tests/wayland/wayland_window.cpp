// A plain native Wayland window for the compositor suites: its app_id is the
// first argument, and the suites copy this binary under two names so that
// two windows have two process images.
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

namespace {

class PlainWindow final : public QRasterWindow {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan); }
};

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc > 1) QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
  PlainWindow window;
  window.resize(320, 200);
  window.show();
  return app.exec();
}
