// Finding configuration interfaces, identification, the device list and the
// information block.
#include "device/discovery.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link_fixture.h"

namespace quorix::test {
namespace {

struct Identity {
  int level = 11;
  int variantA = 14;
  int model = 18;
  int layout = 5;
  int check = 3;
  int table = 7;
  int featureLimit = 32;
  int variantB = 2;
  int flag = 1;
  const char* letters = "AG";
};

std::vector<uint8_t> IdString(const Identity& id) {
  std::vector<uint8_t> s(512, 0);
  s[0] = 0x30;  // whatever precedes the letters
  s[2] = static_cast<uint8_t>(id.letters[0]);
  s[3] = static_cast<uint8_t>(id.letters[1]);
  const int fields[] = {id.level, id.variantA, id.model, id.layout, id.check, id.table, id.featureLimit, id.variantB};
  for (int i = 0; i < 8; ++i) s[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(fields[i]);
  s[21] = static_cast<uint8_t>(id.flag);
  return s;
}

class DiscoveryTest : public ::testing::Test, public LinkFixture {
 protected:
  // A configuration interface answering the information-block requests:
  // button records (0x0A) with type 40 + button, memory words with byte
  // (2w + k + salt).
  FakeHidInterface& Mouse(const std::string& path, const Identity& id, int salt = 0) {
    FakeHidInterface& iface = host.Add(path, 64, 1, kVendorPage);
    iface.info.vendorId = 0x3A5C;
    iface.info.productId = 0x0139;
    iface.identification = IdString(id);
    iface.respond = [salt](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
      a[1] = r[1];
      if (r[1] == 0x0A) {
        a[2] = static_cast<uint8_t>(40 + r[2]);
        a[3] = r[2];
        a[4] = 0xB0;
        a[5] = static_cast<uint8_t>(0xC0 + salt);
      } else if (r[1] == 0x01 && r[2] == 0x00 && r[3] == 0x01) {
        for (int k = 0; k < 60; ++k) a[2 + static_cast<size_t>(k)] = static_cast<uint8_t>(2 * r[4] + k + salt);
      }
    };
    return iface;
  }
};

TEST_F(DiscoveryTest, AcceptedInterfaceIsListedOnceAndRefreshedOnReidentify) {
  const std::string path = PathFor(1);
  FakeHidInterface& iface = Mouse(path, {});
  EnumerateDevices(link);
  ASSERT_EQ(DeviceCount(link), 1);
  EXPECT_EQ(DevicePath(link, 0), path);

  DeviceInfo info;
  ASSERT_TRUE(GetDeviceInfo(link, path, info));
  EXPECT_EQ(info.protocolLevel, 11);
  EXPECT_EQ(info.variantA, 14);
  EXPECT_EQ(info.modelCode, 18);
  EXPECT_EQ(info.buttonLayout, 5);
  EXPECT_EQ(info.tableSelect, 7);
  EXPECT_EQ(info.featureLimit, 32);
  EXPECT_EQ(info.variantB, 2);
  EXPECT_EQ(info.optionFlag, 1);
  EXPECT_EQ(info.productId, 0x0139);
  EXPECT_EQ(info.vendorId, 0x3A5C);

  // Handshake, 12 ms, the 0x01 0x06 request, then the 32 button records.
  ASSERT_EQ(iface.sent.size(), 2u + 32u);
  EXPECT_EQ(iface.sent[0], Frame64({0x00, 0x12, 0x12}));
  EXPECT_EQ(iface.sent[1], Frame64({0x01, 0x06, 0x02, 0x02}));
  EXPECT_EQ(iface.sent[2 + 31], Frame64({0x0A, 31, 0x01, 0, 0, 0, 0x12}));
  EXPECT_EQ(clock.Sleeps(), std::vector<int64_t>{12});
  const auto block = DeviceInfoBlock(link, path);
  EXPECT_EQ(block[12], 5);
  EXPECT_EQ(block[13], 4);
  EXPECT_EQ((std::vector<int>{block[72], block[73], block[74], block[75]}), (std::vector<int>{40, 0, 0xB0, 0xC0}));
  EXPECT_EQ(block[72 + 4 * 10], 50);  // 50 is kept ...
  EXPECT_EQ(block[72 + 4 * 11], 1);   // ... above 50 reads as 1
  EXPECT_EQ(block[73 + 4 * 11], 11);

  // Again, with the device now answering differently: one entry, new block.
  iface.respond = [](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
    a[1] = r[1];
    a[5] = 0x77;
  };
  EXPECT_TRUE(IdentifyDevice(link, path));
  EXPECT_EQ(DeviceCount(link), 1);
  EXPECT_EQ(DeviceInfoBlock(link, path)[75], 0x77);
}

TEST_F(DiscoveryTest, RejectionsLeaveTheListUntouched) {
  Identity wrongTable;
  wrongTable.table = 6;
  Mouse(PathFor(1), wrongTable);
  EXPECT_TRUE(IdentifyDevice(link, PathFor(1)));  // the letters matched
  Identity wrongCheck;
  wrongCheck.check = 2;
  Mouse(PathFor(2), wrongCheck);
  EXPECT_TRUE(IdentifyDevice(link, PathFor(2)));
  Identity wrongLetters;
  wrongLetters.letters = "GA";
  FakeHidInterface& letters = Mouse(PathFor(3), wrongLetters);
  EXPECT_FALSE(IdentifyDevice(link, PathFor(3)));
  FakeHidInterface& noString = Mouse(PathFor(4), {});
  noString.identification.clear();
  EXPECT_FALSE(IdentifyDevice(link, PathFor(4)));

  EXPECT_EQ(DeviceCount(link), 0);
  EXPECT_TRUE(link.deviceInfo.empty());
  EXPECT_TRUE(letters.sent.empty());
  EXPECT_TRUE(noString.sent.empty());
}

TEST_F(DiscoveryTest, InterfaceTestsByPathAndCapabilities) {
  // The pointing interface passes the test but never enters the list.
  const std::string pointing = PathFor(1, "0139", "00");
  FakeHidInterface& mi00 = host.Add(pointing, 9, 2, 1);
  mi00.identification = IdString({});
  const std::string vendor = PathFor(2, "0145", "02");
  Mouse(vendor, {});
  host.Add(PathFor(3, "0139", "01"), 64, 2, kVendorPage);      // wrong usage
  host.Add(PathFor(4, "0139", "00"), 64, 1, kVendorPage);      // mi_00 with vendor caps
  host.Add("\\\\?\\hid#vid_3a5c&pid_0140&mi_01#x", 64, 1, kVendorPage);  // another product
  FakeHidInterface& noCaps = host.Add(PathFor(5, "0139", "01"), 64, 1, kVendorPage);
  noCaps.capsReadable = false;
  // The second top-level collection of an interface, tagged after its ids.
  const std::string collection = PathFor(6, "0139", "01&col02");
  host.Add(collection, 64, 1, kVendorPage);

  EXPECT_TRUE(IsConfigInterface(link, pointing));
  EXPECT_TRUE(IsConfigInterface(link, vendor));
  EXPECT_TRUE(IsConfigInterface(link, collection));
  EXPECT_FALSE(IsConfigInterface(link, PathFor(3, "0139", "01")));
  EXPECT_FALSE(IsConfigInterface(link, PathFor(4, "0139", "00")));
  EXPECT_FALSE(IsConfigInterface(link, PathFor(5, "0139", "01")));
  EXPECT_FALSE(IsConfigInterface(link, "\\\\?\\hid#vid_3a5c&pid_0140&mi_01#x"));
  EXPECT_FALSE(IsConfigInterface(link, "hid#gone&vid_3a5c&pid_0139&mi_01"));

  EnumerateDevices(link);
  EXPECT_EQ(DeviceCount(link), 1);
  EXPECT_EQ(DevicePath(link, 0), vendor);
  EXPECT_TRUE(mi00.sent.empty());
}

TEST_F(DiscoveryTest, ProductPathsAreMatchedCaseInsensitivelyFromIndexTwo) {
  EXPECT_TRUE(IsProductPath(link, "\\\\?\\HID#VID_3A5C&PID_0139&MI_01#x"));
  EXPECT_TRUE(IsProductPath(link, "ab" "vid_3a5cpid_0145"));
  EXPECT_FALSE(IsProductPath(link, "vid_3a5c&pid_0139"));  // tag at index 0
  EXPECT_FALSE(IsProductPath(link, "hid#vid_3a5d&pid_0139"));
  EXPECT_FALSE(IsProductPath(link, "hid#vid_3a5c&pid_0138"));

  // A rebranded mouse: the link's vendor ID decides.
  FakeClock c;
  CountingMutex a, b;
  DeviceLink other(host, c, a, b, 0x1234);
  EXPECT_TRUE(IsProductPath(other, "hid#vid_1234&pid_0139"));
  EXPECT_FALSE(IsProductPath(other, "hid#vid_3a5c&pid_0139"));
}

TEST_F(DiscoveryTest, IdentificationFieldRules) {
  Identity layout13;
  layout13.layout = 13;
  Mouse(PathFor(1), layout13);
  IdentifyDevice(link, PathFor(1));
  EXPECT_EQ(ButtonLayout(link, PathFor(1)), 9);

  struct FlagCase {
    int level;
    int flag;
    int expected;
  };
  int n = 2;
  for (const FlagCase& c : {FlagCase{0, 1, 0}, FlagCase{2, 1, 0}, FlagCase{5, 1, 1}, FlagCase{5, 0, 0},
                            FlagCase{11, 0, 1}}) {
    Identity id;
    id.level = c.level;
    id.flag = c.flag;
    Mouse(PathFor(n), id);
    IdentifyDevice(link, PathFor(n));
    DeviceInfo info;
    ASSERT_TRUE(GetDeviceInfo(link, PathFor(n), info));
    EXPECT_EQ(info.optionFlag, c.expected) << "level " << c.level;
    ++n;
  }
}

TEST_F(DiscoveryTest, OlderLevelsReadTheFirst256MemoryBytesIntoTheBlock) {
  Identity id;
  id.level = 10;
  FakeHidInterface& iface = Mouse(PathFor(1), id, 1);
  IdentifyDevice(link, PathFor(1));
  ASSERT_EQ(iface.sent.size(), 2u + 5u);
  EXPECT_EQ(iface.sent[2 + 4], Frame64({0x01, 0x00, 0x01, 120}));
  const auto block = DeviceInfoBlock(link, PathFor(1));
  EXPECT_EQ(block[0], 1);
  EXPECT_EQ(block[59], 60);
  EXPECT_EQ(block[60], 61);   // second read, word offset 30
  EXPECT_EQ(block[240], static_cast<uint8_t>(241));
  EXPECT_EQ(block[255], static_cast<uint8_t>(256 & 0xFF));
  EXPECT_EQ(block[12], 13);  // counts come from memory here, not constants
}

TEST_F(DiscoveryTest, ListAccessAndGettersOfUnknownPaths) {
  link.deviceList = {"a", "b"};
  EXPECT_EQ(DevicePath(link, 5), "");
  EXPECT_EQ(DevicePath(link, -1), "");
  EXPECT_EQ(DevicePath(link, 1), "b");
  EXPECT_TRUE(RemoveDevice(link, "a"));
  EXPECT_TRUE(RemoveDevice(link, "zz"));
  EXPECT_EQ(link.deviceList, std::vector<std::string>{"b"});
  EXPECT_FALSE(listMutex.held);

  EXPECT_EQ(ProtocolLevel(link, "nothing"), 0);
  EXPECT_EQ(ModelCode(link, "nothing"), 0);
  EXPECT_EQ(DeviceInfoBlock(link, "nothing"), (std::array<uint8_t, 256>{}));
  DeviceInfo info;
  EXPECT_FALSE(GetDeviceInfo(link, "nothing", info));
}

// A refresh on a worker while another thread reads the record: the records
// are read under the information lock, so no reader sees a torn block.
TEST_F(DiscoveryTest, ReadersOnOtherThreadsSeeWholeRecords) {
  const std::string path = PathFor(1);
  FakeHidInterface& iface = Mouse(path, {});
  IdentifyDevice(link, path);
  std::atomic<bool> done{false};
  int torn = 0;
  std::thread reader([&] {
    while (!done) {
      const auto block = DeviceInfoBlock(link, path);
      if (block[75] != block[79]) ++torn;
      if (ProtocolLevel(link, path) != 11) ++torn;
    }
  });
  for (int round = 0; round < 20; ++round) {
    const int salt = round;
    iface.respond = [salt](const std::vector<uint8_t>& r, std::vector<uint8_t>& a) {
      a[1] = r[1];
      a[5] = static_cast<uint8_t>(salt);
    };
    IdentifyDevice(link, path);
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace quorix::test
