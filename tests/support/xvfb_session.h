#pragma once
// A private X server (Xvfb) for tests of the X11 code, optionally with a
// window manager, plus helper processes started on it. Tests that cannot get
// one skip themselves. Every process started here is ended by its pid when the
// session goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace quorix::test {

class XvfbSession {
 public:
  XvfbSession() {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // -noreset: a server with no clients left resets and drops connections
    // that are just being made, which made helpers fail at random.
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"};
    xvfb_ = SpawnWith(args, &actions, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (xvfb_ > 0) {
      // Xvfb writes its display number once it accepts clients.
      std::string number;
      pollfd pfd{fds[0], POLLIN, 0};
      while (poll(&pfd, 1, 10000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
      }
      if (!number.empty()) display_ = ":" + number;
    }
    close(fds[0]);
  }

  ~XvfbSession() {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) Stop(*it);
    if (xvfb_ > 0) Stop(xvfb_);
  }
  XvfbSession(const XvfbSession&) = delete;
  XvfbSession& operator=(const XvfbSession&) = delete;

  bool Ok() const { return !display_.empty(); }
  // Ends the X server, as a display that goes away under its clients.
  void KillServer() {
    if (xvfb_ > 0) Stop(xvfb_);
    xvfb_ = -1;
  }
  const std::string& Display() const { return display_; }

  // Starts a program with DISPLAY set to this server; its pid, or -1.
  pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string(*e).rfind("DISPLAY=", 0) != 0) envStrings.emplace_back(*e);
    }
    envStrings.push_back("DISPLAY=" + display_);
    std::vector<char*> env;
    for (auto& s : envStrings) env.push_back(s.data());
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const pid_t pid = SpawnWith(args, &actions, env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (pid > 0) children_.push_back(pid);
    return pid;
  }

  // Starts the window manager and waits until it has announced itself on
  // the root window, so that windows mapped later are managed and focused.
  // Should the window manager quit at once (it cannot open the display), it
  // is started again, up to three times.
  bool StartWindowManager(const std::function<bool()>& announced) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      const pid_t pid = Spawn({"openbox"});
      if (pid <= 0) return false;
      bool quit = false;
      const bool up = WaitFor(
          [&] {
            int status = 0;
            quit = waitpid(pid, &status, WNOHANG) == pid;
            return quit || announced();
          },
          5000);
      if (up && !quit) {
        // Openbox announces itself before it is ready for new clients; a
        // window mapped in that gap stays unmanaged for seconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return true;
      }
      if (quit) children_.erase(std::find(children_.begin(), children_.end(), pid));
      else return false;
    }
    return false;
  }

  // Polls until done() holds or timeoutMs passes (real time: these are real
  // processes).
  static bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
  }

 private:
  static pid_t SpawnWith(const std::vector<std::string>& args, posix_spawn_file_actions_t* actions, char** env) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), env) != 0) return -1;
    return pid;
  }

  static void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid, &status, WNOHANG) == pid) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }

  pid_t xvfb_ = -1;
  std::string display_;
  std::vector<pid_t> children_;
};

}  // namespace quorix::test
