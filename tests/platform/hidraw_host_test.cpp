#include "platform/linux/hidraw_host.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <deque>
#include <thread>

#include "fake_sysfs.h"
#include "platform/linux/sysfs_hidraw_directory.h"

namespace quorix {
namespace {

// Vendor collection 0xFF18/1 with a 64-byte feature report (ID 1), then a
// second vendor collection 0xFF19/2 with 8-byte input reports (ID 4).
const std::vector<uint8_t> kVendor = {0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0x75,
                                      0x08, 0x95, 0x3F, 0xB1, 0x02, 0xC0, 0x06, 0x19, 0xFF, 0x09, 0x02, 0xA1,
                                      0x01, 0x85, 0x04, 0x09, 0x02, 0x95, 0x07, 0x81, 0x02, 0x85, 0x06, 0x09,
                                      0x03, 0x95, 0x02, 0x81, 0x02, 0xC0};
// A mouse collection (input report 2, 3 bytes) before the 0xFF18/1 vendor
// collection (feature report 1, 64 bytes; input report 1, 16 bytes).
const std::vector<uint8_t> kMouseFirst = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x02, 0x75, 0x08, 0x95,
                                          0x03, 0x81, 0x02, 0xC0, 0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01,
                                          0x85, 0x01, 0x95, 0x3F, 0xB1, 0x02, 0x95, 0x0F, 0x81, 0x02, 0xC0};
// A boot-style mouse without report IDs: 3-byte input reports.
const std::vector<uint8_t> kMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};

std::string Lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Lists the fake sysfs through the real sysfs reader; changes come from the
// test through a pipe, as a monitor socket would deliver them.
class ScriptedDirectory final : public HidrawDirectory {
 public:
  explicit ScriptedDirectory(test::FakeSysfs& sysfs) : sysfs_(sysfs), reader_(sysfs.SysRoot(), sysfs.DevRoot()) {}
  ~ScriptedDirectory() override {
    if (pipe_[0] >= 0) close(pipe_[0]);
    if (pipe_[1] >= 0) close(pipe_[1]);
  }
  std::vector<HidrawNode> List() override { return reader_.List(); }
  bool StartMonitor() override { return pipe_[0] >= 0 || pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) == 0; }
  int MonitorFd() override { return pipe_[0]; }
  std::vector<HidrawChange> ReadChanges() override {
    char drain[64];
    while (read(pipe_[0], drain, sizeof drain) > 0) {
    }
    std::vector<HidrawChange> out(queued_.begin(), queued_.end());
    queued_.clear();
    return out;
  }
  void Announce(HidrawChange change) {
    queued_.push_back(std::move(change));
    ASSERT_EQ(write(pipe_[1], "x", 1), 1);
  }
  HidrawNode Describe(const std::string& sysPath) {
    HidrawNode node;
    EXPECT_TRUE(DescribeHidrawNode(sysPath, sysfs_.SysRoot(), sysfs_.DevRoot(), node));
    return node;
  }

 private:
  test::FakeSysfs& sysfs_;
  SysfsHidrawDirectory reader_;
  int pipe_[2] = {-1, -1};
  std::deque<HidrawChange> queued_;
};

class HidrawHostTest : public ::testing::Test {
 protected:
  HidrawHostTest() {
    usb_ = sysfs_.AddUsbDevice("usb1/1-2", 1, 4);
    vendorSys_ = sysfs_.AddHidraw(usb_, "1-2:1.1", 1, "0003:3A5C:0139.000B", "0003:00003A5C:00000139", "p/input1",
                                  kVendor, "hidraw1");
    mouseSys_ = sysfs_.AddHidraw(usb_, "1-2:1.0", 0, "0003:3A5C:0139.000A", "0003:00003A5C:00000139", "p/input0",
                                 kMouse, "hidraw0");
    auto directory = std::make_unique<ScriptedDirectory>(sysfs_);
    directory_ = directory.get();
    host_ = std::make_unique<HidrawHost>(std::move(directory));
  }

  // Writes one input report into a node, as the kernel would queue it.
  void Send(const std::string& node, const std::vector<uint8_t>& report) {
    const int fd = open((sysfs_.DevRoot() + "/" + node).c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    writers_.push_back(fd);  // kept open: a closed writer reads as a vanished device
    ASSERT_EQ(write(fd, report.data(), report.size()), static_cast<ssize_t>(report.size()));
  }

  void TearDown() override {
    for (int fd : writers_) close(fd);
  }

  test::FakeSysfs sysfs_;
  std::string usb_, vendorSys_, mouseSys_;
  ScriptedDirectory* directory_ = nullptr;
  std::unique_ptr<HidrawHost> host_;
  std::vector<int> writers_;
};

TEST_F(HidrawHostTest, EnumeratesEachTopLevelCollectionWithItsCaps) {
  const auto interfaces = host_->EnumerateInterfaces();
  // A node with one collection keeps the untagged path; each collection of
  // the two-collection vendor node is an interface of its own.
  struct Row {
    std::string tags;
    int interfaceNumber;
    uint16_t usagePage, usage, feature, input;
  };
  const Row rows[] = {
      {"mi_00#", 0, 1, 2, 0, 4}, {"mi_01&col01#", 1, 0xFF18, 1, 64, 0}, {"mi_01&col02#", 1, 0xFF19, 2, 0, 8}};
  ASSERT_EQ(interfaces.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& info = interfaces[i];
    const std::string hid = i == 0 ? "/1-2:1.0/0003:3a5c:0139.000a" : "/1-2:1.1/0003:3a5c:0139.000b";
    EXPECT_EQ(info.path, "hid#vid_3a5c&pid_0139&" + rows[i].tags + Lower(usb_) + hid);
    EXPECT_EQ(info.interfaceNumber, rows[i].interfaceNumber) << info.path;
    EXPECT_EQ(info.caps.usagePage, rows[i].usagePage) << info.path;
    EXPECT_EQ(info.caps.usage, rows[i].usage) << info.path;
    EXPECT_EQ(info.caps.featureReportByteLength, rows[i].feature) << info.path;
    EXPECT_EQ(info.caps.inputReportByteLength, rows[i].input) << info.path;
  }
  // Every collection opens the same node; a collection the node lacks does not.
  EXPECT_NE(host_->Open(interfaces[2].path), nullptr);
  EXPECT_EQ(host_->Open("hid#vid_3a5c&pid_0139&mi_01&col03#" + Lower(usb_) + "/1-2:1.1/0003:3a5c:0139.000b"),
            nullptr);
  EXPECT_EQ(host_->Open("hid#vid_3a5c&pid_0139&mi_05#nowhere"), nullptr);
}

TEST_F(HidrawHostTest, FeatureErrorsThatMeanTheDeviceIsGone) {
  const HidrawNode node = directory_->Describe(vendorSys_);
  struct Case {
    int error;
    bool whilePresent;  // gone while the node's sysfs folder is there
    bool afterRemoval;  // gone once it has disappeared
  };
  const Case cases[] = {{ENODEV, true, true},     {ESHUTDOWN, true, true}, {ENXIO, true, true},
                        {EPIPE, false, true},     {EIO, false, true},      {ETIMEDOUT, false, true},
                        {EPROTO, false, true},    {EINVAL, false, false},  {ENOTTY, false, false}};
  for (const bool removed : {false, true}) {
    if (removed) std::filesystem::remove_all(vendorSys_);
    for (const auto& c : cases) {
      EXPECT_EQ(FeatureErrorMeansGone(c.error, node), removed ? c.afterRemoval : c.whilePresent)
          << "errno " << c.error << (removed ? " after removal" : " while present");
    }
  }
}

TEST_F(HidrawHostTest, InputReportsOfWatchedCollectionsOnly) {
  sysfs_.AddHidraw(usb_, "1-2:1.2", 2, "0003:3A5C:0139.000C", "0003:00003A5C:00000139", "p/input2", kMouseFirst,
                   "hidraw2");
  host_->StartEvents({{0xFF19, 2}, {1, 2}, {0xFF18, 1}});
  const auto interfaces = host_->EnumerateInterfaces();
  ASSERT_EQ(interfaces.size(), 5u);
  const std::string mousePath = interfaces[0].path;
  const std::string vendorPath = interfaces[2].path;  // 0xFF19/2, the node's second collection

  Send("hidraw1", {4, 1, 2, 3, 4, 5, 6, 7});
  HidEvent event;
  ASSERT_TRUE(host_->WaitEvent(event, 2000));
  EXPECT_EQ(event.kind, HidEventKind::kInputReport);
  EXPECT_EQ(event.path, vendorPath);
  EXPECT_EQ(event.report, (std::vector<uint8_t>{4, 1, 2, 3, 4, 5, 6, 7}));

  // Report 9 belongs to no collection, report 6 to a watched one.
  Send("hidraw1", {9, 1, 2});
  EXPECT_FALSE(host_->WaitEvent(event, 50));
  Send("hidraw1", {6, 0xAA, 0xBB});
  ASSERT_TRUE(host_->WaitEvent(event, 2000));
  EXPECT_EQ(event.report, (std::vector<uint8_t>{6, 0xAA, 0xBB}));

  // Without report IDs the event still starts with report ID 0.
  Send("hidraw0", {0x01, 0x05, 0xFB});
  ASSERT_TRUE(host_->WaitEvent(event, 2000));
  EXPECT_EQ(event.path, mousePath);
  EXPECT_EQ(event.report, (std::vector<uint8_t>{0, 0x01, 0x05, 0xFB}));

  // One node, two watched collections: the report ID picks the collection.
  const std::pair<std::vector<uint8_t>, std::string> routed[] = {{{1, 9, 9}, interfaces[4].path},
                                                                  {{2, 7, 7, 7}, interfaces[3].path}};
  for (const auto& [report, path] : routed) {
    Send("hidraw2", report);
    ASSERT_TRUE(host_->WaitEvent(event, 2000));
    EXPECT_EQ(event.path, path);
    EXPECT_EQ(event.report, report);
  }
}

TEST_F(HidrawHostTest, ArrivalAndRemovalCarryThePath) {
  host_->StartEvents({});
  const std::string arrivedSys = sysfs_.AddHidraw(usb_, "1-2:1.2", 2, "0003:3A5C:0139.000C",
                                                  "0003:00003A5C:00000139", "p/input2", kVendor, "hidraw7");
  directory_->Announce({HidrawChangeKind::kAdded, directory_->Describe(arrivedSys)});
  // Its two collections arrive, and later leave, as two interfaces.
  const std::string hid = "#" + Lower(usb_) + "/1-2:1.2/0003:3a5c:0139.000c";
  const std::string arrivedPaths[] = {"hid#vid_3a5c&pid_0139&mi_02&col01" + hid,
                                      "hid#vid_3a5c&pid_0139&mi_02&col02" + hid};
  HidEvent event;
  for (const auto& path : arrivedPaths) {
    ASSERT_TRUE(host_->WaitEvent(event, 2000));
    EXPECT_EQ(event.kind, HidEventKind::kArrival);
    EXPECT_EQ(event.path, path);
  }

  // The device is gone from sysfs before its removal is announced; the host
  // still knows what path it had.
  std::filesystem::remove(sysfs_.SysRoot() + "/class/hidraw/hidraw7");
  HidrawChange removal;
  removal.kind = HidrawChangeKind::kRemoved;
  removal.node.sysPath = arrivedSys;
  directory_->Announce(removal);
  for (const auto& path : arrivedPaths) {
    ASSERT_TRUE(host_->WaitEvent(event, 2000));
    EXPECT_EQ(event.kind, HidEventKind::kRemoval);
    EXPECT_EQ(event.path, path);
  }
  EXPECT_EQ(host_->Open(arrivedPaths[1]), nullptr);

  // A removal of a node the host never saw has no path to report.
  removal.node.sysPath = sysfs_.SysRoot() + "/devices/unknown/hidraw/hidraw9";
  directory_->Announce(removal);
  EXPECT_FALSE(host_->WaitEvent(event, 50));
}

TEST_F(HidrawHostTest, InterruptWakesAWaiter) {
  host_->StartEvents({{0xFF19, 2}});
  HidEvent event;
  const auto start = std::chrono::steady_clock::now();
  std::thread waker([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    host_->Interrupt();
  });
  EXPECT_FALSE(host_->WaitEvent(event, 10000));
  waker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  // An interrupt that comes first makes the next wait return at once.
  host_->Interrupt();
  EXPECT_FALSE(host_->WaitEvent(event, 10000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace quorix
