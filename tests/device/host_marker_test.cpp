// Handing the host marker to every listed mouse.
#include <gtest/gtest.h>

#include "device/commands.h"
#include "link_fixture.h"

namespace quorix::test {
namespace {

using Frames = std::vector<std::vector<uint8_t>>;

// Echoes the last marker it was given in the status answer byte `echoByte`.
void EchoMarker(FakeHidInterface& iface, size_t echoByte, bool level0) {
  auto marker = std::make_shared<uint8_t>(0);
  iface.respond = [marker, echoByte, level0](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
    a[1] = r[1];
    if (r[1] == 0x00 && r[2] == 0x01) *marker = level0 ? r[3] : r[4];
    if (r[1] == 0x00 && r[2] == 0x00) a[echoByte] = *marker;
  };
}

class HostMarkerTest : public ::testing::Test, public LinkFixture {};

TEST_F(HostMarkerTest, EachLayoutMarksTheChosenDeviceAndClearsTheOthers) {
  const std::string direct = ListMouse(11, 1);
  const std::string grouped = ListMouse(5, 2);
  const std::string level0 = ListMouse(0, 3);
  EchoMarker(Iface(direct), 12, false);
  EchoMarker(Iface(grouped), 6, false);
  EchoMarker(Iface(level0), 7, true);

  SelectHostMarker(link, grouped, true);
  EXPECT_EQ(Iface(direct).sent, (Frames{Frame64({0x00, 0x12, 0x12}), Frame64({0x00, 0x01, 0x12, 0}),
                                        Frame64({0x00, 0x00, 0x00})}));
  EXPECT_EQ(Iface(grouped).sent, (Frames{Frame64({0x00, 0x01, 0x12, 0x5D}), Frame64({0x00, 0x00, 0x00})}));
  EXPECT_EQ(Iface(level0).sent,
            (Frames{Frame64({0x00, 0x01, 0, 0, 0, 0, 0x12}), Frame64({0x00, 0x00, 0, 0, 0, 0, 0x12})}));
  EXPECT_FALSE(listMutex.held);
}

TEST_F(HostMarkerTest, ResetsTheCacheForThePath) {
  const std::string path = ListMouse(11);
  EchoMarker(Iface(path), 12, false);
  link.cache.path = "old";
  link.cache.data[500] = 9;
  link.cache.valid[500] = 1;
  SelectHostMarker(link, path, false);
  EXPECT_EQ(link.cache.path, path);
  EXPECT_FALSE(link.cache.enabled);
  EXPECT_EQ(link.cache.data[500], 0);
  EXPECT_EQ(link.cache.valid[500], 0);
  SelectHostMarker(link, path, true);
  EXPECT_TRUE(link.cache.enabled);
}

TEST_F(HostMarkerTest, AMouseThatNeverEchoesIsGivenUpAfterBoundedAttempts) {
  const std::string deaf = ListMouse(0, 1);   // answers, but never echoes
  const std::string other = ListMouse(11, 2);
  EchoMarker(Iface(other), 12, false);
  SelectHostMarker(link, deaf, true);
  // Two requests per attempt at level 0; the next mouse is still served.
  EXPECT_EQ(Iface(deaf).sent.size(), 2u * kHostMarkerAttempts);
  EXPECT_EQ(Iface(other).sent.size(), 3u);
  EXPECT_EQ(Iface(other).sent[1], Frame64({0x00, 0x01, 0x12, 0}));
}

}  // namespace
}  // namespace quorix::test
