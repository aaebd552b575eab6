// quorix-mouse-tour OUTDIR --simulate [SWITCH]...: starts the desktop
// program's windows on the simulated mouse, saves a picture of each as
// OUTDIR/<language>/<window>.png and quits. Built with the tests, never
// installed: scripts/screenshots.sh runs it.
#include <QApplication>
#include <QDir>
#include <iostream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "screenshot_tour.h"
#include "tour_switches.h"
#include "ui/app_signals.h"
#include "ui/ui_env.h"

int main(int argc, char** argv) {
  const quorix::tour::TourSwitches switches =
      quorix::tour::ParseTourSwitches(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::string problem = quorix::tour::TourSwitchesProblem(switches); !problem.empty()) {
    std::cerr << "quorix-mouse-tour: " << problem << "\n";
    return 2;
  }
  QApplication app(argc, argv);
  quorix::app::SetUpApplication();
  quorix::app::Shell shell(switches.start);
  shell.ShowVirtualMouseAtStart(false);
  const int status = shell.InitInstance();
  if (status >= 0) return status;
  const quorix::app::ShellWindows windows = shell.Windows();
  const QString folder = QDir(QString::fromStdString(switches.folder)).filePath(QString::number(shell.LanguageId()));
  quorix::tour::ScreenshotTour tour(folder, windows);
  // After the windows have taken the reload: the pictures show them loaded.
  QObject::connect(&windows.env->appSignals, &quorix::ui::AppSignals::reloaded, &tour,
                   &quorix::tour::ScreenshotTour::Begin);
  QObject::connect(&tour, &quorix::tour::ScreenshotTour::finished, &shell, &quorix::app::Shell::Quit);
  return QApplication::exec();
}
