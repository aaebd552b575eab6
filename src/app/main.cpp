// quorix-mouse: the desktop program. Without any display it says so and
// prints what the command-line tool's "show" prints instead.
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/local_instance_channel.h"
#include "app/shell.h"
#include "cli/cli.h"
#include "session/start_switches.h"

namespace {

bool HaveDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The command-line tool's "show" on the same mouse the program would use.
int ShowInstead(const quorix::StartSwitches& switches) {
  std::vector<std::string> cli;
  if (!switches.simulate.empty()) cli.push_back("--simulate=" + switches.simulate);
  if (!switches.simState.empty()) cli.insert(cli.end(), {"--sim-state", switches.simState});
  for (const std::string& option : switches.simOptions) cli.insert(cli.end(), {"--sim-option", option});
  cli.push_back("show");
  return quorix::RunCli(cli, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}

}  // namespace

int main(int argc, char** argv) {
  const quorix::StartSwitches early = quorix::ParseStartSwitches(std::vector<std::string>(argv + 1, argv + argc));
  if (early.close) {
    // Needs no display: the running program is only asked to quit.
    QCoreApplication app(argc, argv);
    quorix::app::LocalInstanceChannel channel(
        quorix::app::InstanceSocketName(QString::fromLatin1(quorix::app::kWaitEventName)));
    channel.Send(quorix::InstanceSignal::kClose);
    return 0;
  }
  if (!HaveDisplay()) {
    std::cerr << "quorix-mouse: no display (DISPLAY and WAYLAND_DISPLAY are empty); the mouse's settings follow\n";
    return ShowInstead(early);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quorix-mouse"));
  QApplication::setApplicationDisplayName(QStringLiteral("QUORIX Gaming Mouse Software"));
  QStringList qtArgs = QCoreApplication::arguments();
  qtArgs.removeFirst();
  std::vector<std::string> args;
  for (const QString& arg : qtArgs) args.push_back(arg.toStdString());
  quorix::app::Shell shell(quorix::ParseStartSwitches(args));
  const int status = shell.InitInstance();
  if (status >= 0) return status;
  return QApplication::exec();
}
