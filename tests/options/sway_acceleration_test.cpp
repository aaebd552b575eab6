// The acceleration switch on sway's pointer settings, against a fake sway
// IPC socket (a headless sway has no libinput pointer to read back).
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "options/acceleration_switch.h"
#include "platform/linux/sway_ipc.h"
#include "platform/linux/sway_pointer_settings.h"
#include "support/fake_socket_server.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

// sway as far as the pointer settings see it: get_inputs lists one mouse
// with the profile and speed the commands last set.
class FakeSwayInputs {
 public:
  explicit FakeSwayInputs(const std::string& path, std::string profile)
      : profile_(std::move(profile)), server_(path, [this](int fd) { Serve(fd); }) {}
  std::vector<std::string> Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }
  bool Ok() const { return server_.Ok(); }

 private:
  void Serve(int fd) {
    std::string received;
    for (std::string chunk; !(chunk = test::FakeSocketServer::ReadSome(fd)).empty();) {
      received += chunk;
      bool malformed = false;
      while (auto message = TakeSwayMessage(received, malformed)) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string reply = R"([{"success":true}])";
        if (message->type == sway::kGetInputs) {
          reply = R"([{"identifier":"1:2:kbd","type":"keyboard"},{"identifier":"3:4:mouse","type":"pointer",
                    "libinput":{"accel_profile":")" +
                  profile_ + R"(","accel_speed":)" + speed_ + "}}]";
        } else if (message->type == sway::kRunCommand) {
          commands_.push_back(message->payload);
          const std::string profileCommand = "input type:pointer accel_profile ";
          const std::string speedCommand = "input type:pointer pointer_accel ";
          if (message->payload.rfind(profileCommand, 0) == 0) profile_ = message->payload.substr(profileCommand.size());
          if (message->payload.rfind(speedCommand, 0) == 0) speed_ = message->payload.substr(speedCommand.size());
        }
        test::FakeSocketServer::Write(fd, EncodeSwayMessage(message->type, reply));
      }
    }
  }

  std::mutex mutex_;
  std::string profile_;
  std::string speed_ = "0.3";
  std::vector<std::string> commands_;
  test::FakeSocketServer server_;
};

TEST(SwayPointerSettings, TheSwitchTurnsAccelerationOffAndGivesTheUsersProfileBack) {
  const struct {
    const char* userProfile;
    std::vector<std::string> commands;  // switching off, then giving back
  } cases[] = {
      {"adaptive", {"input type:pointer accel_profile flat", "input type:pointer accel_profile adaptive"}},
      {"flat", {"input type:pointer accel_profile flat", "input type:pointer accel_profile flat"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.userProfile);
    test::TempDir dir;
    const std::string path = dir.Path("sway.sock");
    FakeSwayInputs sway(path, c.userProfile);
    ASSERT_TRUE(sway.Ok());
    Result<std::unique_ptr<SwayPointerSettings>> opened = SwayPointerSettings::Open(path);
    ASSERT_TRUE(opened) << opened.detail();
    std::unique_ptr<SwayPointerSettings>& pointer = *opened;
    EXPECT_EQ(pointer->GetSpeed(), 13);  // accel_speed 0.3
    AccelerationSwitch accelerationSwitch(*pointer);
    accelerationSwitch.Apply(true);
    EXPECT_EQ(pointer->GetAcceleration().threshold1, 0);
    accelerationSwitch.GiveBack();
    EXPECT_EQ(pointer->GetAcceleration().threshold1 > 0, std::string(c.userProfile) == "adaptive");
    // The speed the user had is kept (only 10 is written, at most).
    std::vector<std::string> profileCommands;
    for (const std::string& command : sway.Commands()) {
      if (command.find("accel_profile") != std::string::npos) profileCommands.push_back(command);
    }
    EXPECT_EQ(profileCommands, c.commands);
    EXPECT_EQ(pointer->GetSpeed(), 13);
    pointer.reset();  // the fake's connection ends
  }
}

}  // namespace
}  // namespace quorix
