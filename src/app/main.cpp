// quorix-mouse: the desktop program. Without any display it says so and
// runs the command-line tool's "show" instead.
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/local_instance_channel.h"
#include "app/shell.h"
#include "session/start_switches.h"

namespace {

bool HaveDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The command-line tool beside this program: in the same folder once
// installed, in the build tree's cli folder before.
std::string CommandLineTool() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  for (const std::filesystem::path& candidate :
       {self.parent_path() / "quorix-mousectl", self.parent_path().parent_path() / "cli" / "quorix-mousectl"}) {
    std::error_code missing;
    if (!error && std::filesystem::is_regular_file(candidate, missing)) return candidate.string();
  }
  return "quorix-mousectl";  // from PATH
}

// Replaces this process by the command-line tool's "show" on the same mouse
// the program would use; returns only when that cannot be started.
int ShowInstead(const quorix::StartSwitches& switches) {
  std::vector<std::string> args{CommandLineTool()};
  if (!switches.simulate.empty()) args.push_back("--simulate=" + switches.simulate);
  if (!switches.simState.empty()) args.insert(args.end(), {"--sim-state", switches.simState});
  for (const std::string& option : switches.simOptions) args.insert(args.end(), {"--sim-option", option});
  args.push_back("show");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  std::cerr << "quorix-mouse: cannot run " << args[0] << ": " << std::strerror(errno) << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const quorix::StartSwitches early = quorix::ParseStartSwitches(std::vector<std::string>(argv + 1, argv + argc));
  // Answered before anything else: they need no display and touch no mouse.
  if (early.help) {
    std::cout << quorix::StartSwitchesUsage();
    return 0;
  }
  if (early.version) {
    std::cout << "quorix-mouse " << QUORIX_VERSION << "\n";
    return 0;
  }
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
  quorix::app::SetUpApplication();
  QStringList qtArgs = QCoreApplication::arguments();
  qtArgs.removeFirst();
  std::vector<std::string> args;
  for (const QString& arg : qtArgs) args.push_back(arg.toStdString());
  quorix::app::Shell shell(quorix::ParseStartSwitches(args));
  const int status = shell.InitInstance();
  if (status >= 0) return status;
  return QApplication::exec();
}
