#pragma once
// Pointer settings held in memory, recording every write, so tests can check
// what the program would do to the desktop.

#include <vector>

#include "platform/pointer_settings.h"

namespace quorix::test {

class FakePointerSettings final : public PointerSettings {
 public:
  PointerAcceleration acceleration{6, 10, 1};  // a desktop with acceleration on
  int speed = 14;
  std::vector<PointerAcceleration> accelerationWrites;
  std::vector<int> speedWrites;
  int reads = 0;  // GetAcceleration and GetSpeed calls

  PointerAcceleration GetAcceleration() override {
    ++reads;
    return acceleration;
  }
  void SetAcceleration(const PointerAcceleration& value) override {
    acceleration = value;
    accelerationWrites.push_back(value);
  }
  int GetSpeed() override {
    ++reads;
    return speed;
  }
  void SetSpeed(int value) override {
    speed = value;
    speedWrites.push_back(value);
  }
  bool Untouched() const { return accelerationWrites.empty() && speedWrites.empty(); }
};

}  // namespace quorix::test
