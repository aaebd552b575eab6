#include "platform/linux/sysfs_hidraw_directory.h"

#include <gtest/gtest.h>

#include "fake_sysfs.h"

namespace quorix {
namespace {

const std::vector<uint8_t> kVendorDescriptor = {0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01,
                                                0x75, 0x08, 0x95, 0x3F, 0xB1, 0x02, 0xC0};

TEST(SysfsHidrawDirectory, DescribesUsbAndVirtualNodesInNodeOrder) {
  test::FakeSysfs sysfs;
  const std::string usb = sysfs.AddUsbDevice("pci0000:00/0000:00:14.0/usb1/1-2", 1, 4);
  sysfs.AddHidraw(usb, "1-2:1.1", 1, "0003:3A5C:0139.000B", "0003:00003A5C:00000139", "usb-0000:00:14.0-2/input1",
                  kVendorDescriptor, "hidraw10");
  // A uhid device: no USB ancestors; the interface number comes from phys.
  sysfs.AddHidraw(sysfs.SysRoot() + "/devices/virtual/misc/uhid", "", 0, "0003:3A5C:0145.000C",
                  "0003:00003A5C:00000145", "quorix-vm/input2", kVendorDescriptor, "hidraw2");
  // A hid device whose uevent lacks HID_ID is left out.
  sysfs.AddHidraw(sysfs.SysRoot() + "/devices/virtual/misc/uhid", "", 0,
                  "0003:0000:0000.000D", "garbage", "", {}, "hidraw5");

  SysfsHidrawDirectory directory(sysfs.SysRoot(), sysfs.DevRoot());
  const auto nodes = directory.List();
  ASSERT_EQ(nodes.size(), 2u);

  EXPECT_EQ(nodes[0].devNode, sysfs.DevRoot() + "/hidraw2");
  EXPECT_EQ(nodes[0].productId, 0x0145);
  EXPECT_EQ(nodes[0].interfaceNumber, 2);
  EXPECT_EQ(nodes[0].usbDevNode, "");
  EXPECT_EQ(nodes[0].hidSysPath, sysfs.SysRoot() + "/devices/virtual/misc/uhid/0003:3A5C:0145.000C");

  EXPECT_EQ(nodes[1].devNode, sysfs.DevRoot() + "/hidraw10");
  EXPECT_EQ(nodes[1].vendorId, 0x3A5C);
  EXPECT_EQ(nodes[1].productId, 0x0139);
  EXPECT_EQ(nodes[1].interfaceNumber, 1);
  EXPECT_EQ(nodes[1].usbDevNode, sysfs.DevRoot() + "/bus/usb/001/004");
  EXPECT_EQ(nodes[1].sysPath, usb + "/1-2:1.1/0003:3A5C:0139.000B/hidraw/hidraw10");

  EXPECT_EQ(ReadSysfsReportDescriptor(nodes[1].hidSysPath), kVendorDescriptor);
  EXPECT_TRUE(ReadSysfsReportDescriptor(sysfs.SysRoot() + "/nowhere").empty());
}

TEST(SysfsHidrawDirectory, InterfaceFolderWinsOverPhys) {
  test::FakeSysfs sysfs;
  const std::string usb = sysfs.AddUsbDevice("usb2/2-1", 2, 17);
  // A phys that disagrees with the interface folder: the folder is the truth.
  sysfs.AddHidraw(usb, "2-1:1.0", 0, "0003:3A5C:0139.0001", "0003:00003A5C:00000139", "usb-x/input7",
                  kVendorDescriptor, "hidraw0");
  SysfsHidrawDirectory directory(sysfs.SysRoot(), sysfs.DevRoot());
  const auto nodes = directory.List();
  ASSERT_EQ(nodes.size(), 1u);
  EXPECT_EQ(nodes[0].interfaceNumber, 0);
  EXPECT_EQ(nodes[0].usbDevNode, sysfs.DevRoot() + "/bus/usb/002/017");
}

TEST(SysfsHidrawDirectory, EmptyWithoutHidrawClass) {
  SysfsHidrawDirectory directory("/nonexistent-sysfs", "/dev");
  EXPECT_TRUE(directory.List().empty());
  EXPECT_EQ(directory.MonitorFd(), -1);
  EXPECT_TRUE(directory.ReadChanges().empty());
}

}  // namespace
}  // namespace quorix
