// The world a command runs in: the simulated or real HID host, the device
// path, the exchange trace and the simulator's state file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/linux/system_services.h"
#include "platform/virtual_clock.h"
#include "session/world/session_world.h"
#include "sim/sim_state_file.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
  explicit CommandRun(GlobalOptions o) : context(std::move(o), {}, out, err, false) {}
  std::ostringstream out, err;
  CliContext context;
};

GlobalOptions Simulated(const std::string& level = "level11") {
  GlobalOptions o;
  o.simulate = level;
  return o;
}

std::string ErrorOf(GlobalOptions o) {
  CommandRun run(std::move(o));
  try {
    run.context.DevicePath();
  } catch (const CliError& e) {
    return e.message;
  }
  return "";
}

TEST(CliWorldTest, SimulatedMouseIsTheFirstDevice) {
  for (const char* level : {"level11", "level5", "level0"}) {
    CommandRun run(Simulated(level));
    const std::string path = run.context.DevicePath();
    EXPECT_EQ(path, "sim#vid_3a5c&pid_0139&mi_01#mouse1");
    EXPECT_EQ(ProtocolLevel(run.context.Link(), path), std::string(level) == "level11" ? 11
                                                       : std::string(level) == "level5" ? 5
                                                                                        : 0);
  }
}

TEST(CliWorldTest, DeviceOptionIsLowerCasedAndMustBeAMouse) {
  GlobalOptions o = Simulated();
  o.simOptions = {"second-mouse"};
  o.devicePath = "SIM#VID_3A5C&PID_0145&MI_01#MOUSE2";
  CommandRun run(o);
  EXPECT_EQ(run.context.DevicePath(), "sim#vid_3a5c&pid_0145&mi_01#mouse2");

  o.devicePath = "sim#vid_3a5c&pid_0139&mi_00#mouse1";  // the pointing interface is never a device
  EXPECT_EQ(ErrorOf(o), "No device !!");
}

TEST(CliWorldTest, VendorIdFollowsARebrandedMouse) {
  GlobalOptions o = Simulated();
  o.vendorId = 0x1234;
  CommandRun run(o);
  EXPECT_EQ(run.context.DevicePath(), "sim#vid_1234&pid_0139&mi_01#mouse1");
}

TEST(CliWorldTest, SimulatorOptions) {
  GlobalOptions o = Simulated();
  o.simOptions = {"frobnicate"};
  EXPECT_EQ(ErrorOf(o), "unknown simulator option frobnicate");
  o.simOptions = {"latency-ms"};
  EXPECT_NE(ErrorOf(o).find("needs a value"), std::string::npos);
  o.simOptions = {"busy=1"};
  EXPECT_NE(ErrorOf(o).find("takes no value"), std::string::npos);
  o.simOptions = {"unplug-after=x"};
  EXPECT_NE(ErrorOf(o).find("unplug-after"), std::string::npos);
  GlobalOptions real;
  real.simOptions = {"busy"};
  EXPECT_EQ(ErrorOf(real), "--sim-option needs --simulate");

  o.simOptions = {"unplug-after=3", "latency-ms=0", "silent", "busy", "odd-answers"};
  {
    CommandRun run(o);
    EXPECT_NO_THROW(run.context.Link());
  }
  o.simOptions = {"isp"};  // the programming identity is never a device
  CommandRun run(o);
  EXPECT_EQ(run.context.DevicePath(), "sim#vid_3a5c&pid_0139&mi_01#mouse1");
  EXPECT_EQ(DeviceCount(run.context.Link()), 1);
}

TEST(CliWorldTest, WithoutHidAccessThereIsNoDevice) {
  EXPECT_EQ(ErrorOf(GlobalOptions{}), "No device !!");
}

TEST(CliWorldTest, TracePrintsEveryExchange) {
  GlobalOptions o = Simulated();
  o.trace = true;
  CommandRun run(o);
  const std::string path = run.context.DevicePath();
  run.err.str("");
  CommitSettings(run.context.Link(), path);
  std::string expected = "> 01 14";
  for (int i = 0; i < 61; ++i) expected += " 00";
  expected += " 14\n";
  EXPECT_EQ(run.err.str(), expected);
  run.err.str("");
  ReadStatusWord(run.context.Link(), path);
  const std::string text = run.err.str();
  EXPECT_EQ(text.rfind("> 01 00 00 00", 0), 0u) << text;
  EXPECT_NE(text.find("\n< 01 00 "), std::string::npos) << text;
}

class CliWorldStateTest : public ::testing::Test {
 protected:
  GlobalOptions WithState() const {
    GlobalOptions o = Simulated();
    o.simState = dir_.Path("mouse.state");
    return o;
  }
  test::TempDir dir_;
};

TEST_F(CliWorldStateTest, MemorySurvivesBetweenRuns) {
  {
    CommandRun run(WithState());
    const std::string path = run.context.DevicePath();
    WriteMemoryByte(run.context.Link(), path, 300, 0x42);
    run.context.Finish();
  }
  EXPECT_TRUE(fs::exists(dir_.Root() / "mouse.state"));
  CommandRun again(WithState());
  const std::string path = again.context.DevicePath();
  EXPECT_EQ(ReadMemoryByte(again.context.Link(), path, 300, false), 0x42);
}

TEST_F(CliWorldStateTest, CommandsSeeTheStateOfEarlierRuns) {
  const std::string state = (dir_.Root() / "mouse.state").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--simulate", "--sim-state", state, "write", "0x300", "a1b2"}, out, err, false), 0) << err.str();
  out.str("");
  ASSERT_EQ(RunCli({"--simulate", "--sim-state", state, "read", "0x300", "2"}, out, err, false), 0) << err.str();
  EXPECT_NE(out.str().find("a1 b2"), std::string::npos) << out.str();
  out.str("");
  ASSERT_EQ(RunCli({"--simulate", "read", "0x300", "2"}, out, err, false), 0) << err.str();
  EXPECT_EQ(out.str().find("a1 b2"), std::string::npos) << out.str();  // no state file: a factory-fresh mouse
}

TEST_F(CliWorldStateTest, AFailedCommandStillKeepsWhatReachedTheMouse) {
  {
    CommandRun run(WithState());
    WriteMemoryByte(run.context.Link(), run.context.DevicePath(), 301, 0x43);
    // no Finish(): the command ended with an error
  }
  CommandRun again(WithState());
  EXPECT_EQ(ReadMemoryByte(again.context.Link(), again.context.DevicePath(), 301, false), 0x43);
}

TEST_F(CliWorldStateTest, CorruptStateIsAClearError) {
  std::ofstream(dir_.Root() / "mouse.state") << "garbage\n";
  const std::string message = ErrorOf(WithState());
  EXPECT_NE(message.find("mouse.state"), std::string::npos) << message;
  EXPECT_NE(message.find("bad header"), std::string::npos) << message;
  GlobalOptions level0 = WithState();
  level0.simulate = "level0";
  fs::remove(dir_.Root() / "mouse.state");
  {
    CommandRun run(WithState());
    run.context.DevicePath();
    run.context.Finish();
  }
  EXPECT_NE(ErrorOf(level0).find("level-11"), std::string::npos);
}

TEST_F(CliWorldStateTest, AStateFileNameTheSystemRefusesIsAOneLineError) {
  const std::string state = dir_.Path(std::string(5000, 'n'));
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--simulate", "--sim-state", state, "read", "0", "1"}, out, err, false), 1);
  const std::string text = err.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find("cannot write simulator state"), std::string::npos) << text;
}

TEST_F(CliWorldStateTest, UnwritableStateFailsTheCommandBeforeAnyRequest) {
  fs::create_directory(dir_.Root() / "folder.state");
  for (const std::string& state : {dir_.Path("missing/mouse.state"), dir_.Path("folder.state")}) {
    std::ostringstream out, err;
    EXPECT_NE(RunCli({"--simulate", "--sim-state", state, "--trace", "write", "0x100", "aa"}, out, err, false), 0);
    // One line and no trace: the mouse was never asked anything.
    const std::string text = err.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find("cannot write simulator state " + state), std::string::npos) << text;
  }
}

// Virtual time in which the other holder of a lock lets go after `pauses`
// pauses of the waiter (never when negative).
class LettingGoClock final : public VirtualClock {
 public:
  LettingGoClock(NamedMutex& held, int pauses) : held_(held), pauses_(pauses) {}
  void SleepMs(int64_t ms) override {
    VirtualClock::SleepMs(ms);
    if (--pauses_ == 0) held_.unlock();
  }

 private:
  NamedMutex& held_;
  int pauses_;
};

TEST_F(CliWorldStateTest, ARunWaitsForAnotherOnTheSameStateSaysSoAndGivesUpInTime) {
  const std::string state = dir_.Path("mouse.state");
  for (const int pauses : {3, -1}) {
    const auto lock = CreateFileLock(sim::ResolvedSimStatePath(state));
    ASSERT_TRUE(lock) << lock.detail();
    const std::unique_ptr<NamedMutex>& other = *lock;
    other->lock();
    LettingGoClock clock(*other, pauses);
    WorldOptions options;
    options.simulate = "level11";
    options.simState = state;
    options.stateLockClock = &clock;
    int notices = 0;
    options.stateWaitNotice = [&notices] { ++notices; };
    try {
      SessionWorld world(options);
      EXPECT_EQ(pauses, 3);
      EXPECT_EQ(clock.NowMs(), 3 * kLockWaitStepMs);
    } catch (const WorldError& e) {
      EXPECT_EQ(pauses, -1) << e.message;
      EXPECT_EQ(clock.NowMs(), kLockWaitLimitMs);
      EXPECT_EQ(e.message, "another run still uses the simulator state " + state +
                               " after 10 s: try again when it has finished");
      other->unlock();
    }
    EXPECT_EQ(notices, 1);
  }
}

TEST_F(CliWorldStateTest, ConcurrentRunsKeepEachOthersWrites) {
  // Two processes each write their own bytes, one run per byte; a run that
  // started from the state before the other's save would drop a byte.
  const std::string state = dir_.Path("mouse.state");
  std::vector<pid_t> children;
  for (const int first : {0x300, 0x308}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failed = 0;
      for (int i = 0; i < 8; ++i) {
        std::ostringstream out, err;
        const std::string address = std::to_string(first + i);
        const std::string value = (first == 0x300 ? "0" : "1") + std::to_string(i + 1);
        failed += RunCli({"--simulate", "--sim-state", state, "write", address, value}, out, err, false) != 0;
      }
      _exit(failed);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--simulate", "--sim-state", state, "read", "0x300", "16"}, out, err, false), 0) << err.str();
  EXPECT_EQ(out.str(), "0x0300: 01 02 03 04 05 06 07 08 11 12 13 14 15 16 17 18\n");
}

}  // namespace
}  // namespace quorix
