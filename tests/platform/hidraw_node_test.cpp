#include "platform/linux/hidraw_node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quorix {
namespace {

TEST(HidrawPath, CarriesTheTagsTheDeviceLinkLooksFor) {
  HidrawNode node;
  node.vendorId = 0x3A5C;
  node.productId = 0x0139;
  node.interfaceNumber = 1;
  node.hidSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:3A5C:0139.000B";
  EXPECT_EQ(FormatHidrawPath(node),
            "hid#vid_3a5c&pid_0139&mi_01#/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:3a5c:0139.000b");
  // One of several top-level collections: numbered from 01 after the ids.
  EXPECT_EQ(FormatHidrawPath(node, 2).substr(0, 34), "hid#vid_3a5c&pid_0139&mi_01&col02#");
  node.interfaceNumber = -1;  // not on USB: no interface tag
  EXPECT_EQ(FormatHidrawPath(node).substr(0, 22), "hid#vid_3a5c&pid_0139#");
  EXPECT_EQ(FormatHidrawPath(node, 12).substr(0, 28), "hid#vid_3a5c&pid_0139&col12#");
  // The instance counter in the sysfs name keeps two plug-ins apart.
  HidrawNode replugged = node;
  replugged.hidSysPath = "/sys/devices/virtual/misc/uhid/0003:3A5C:0139.000C";
  node.hidSysPath = "/sys/devices/virtual/misc/uhid/0003:3A5C:0139.000B";
  EXPECT_NE(FormatHidrawPath(node), FormatHidrawPath(replugged));
}

TEST(HidrawPath, HidIdAndPhys) {
  uint16_t bus = 0, vendor = 0, product = 0;
  ASSERT_TRUE(ParseHidId("0003:00003A5C:00000145", bus, vendor, product));
  EXPECT_EQ(bus, 3);
  EXPECT_EQ(vendor, 0x3A5C);
  EXPECT_EQ(product, 0x0145);
  EXPECT_FALSE(ParseHidId("", bus, vendor, product));
  EXPECT_FALSE(ParseHidId("0003:00003A5C", bus, vendor, product));
  EXPECT_FALSE(ParseHidId("0003:00013A5C:00000145", bus, vendor, product));
  EXPECT_FALSE(ParseHidId("0003:00003A5C:00000145x", bus, vendor, product));

  EXPECT_EQ(InterfaceNumberFromPhys("usb-0000:00:14.0-2/input1"), 1);
  EXPECT_EQ(InterfaceNumberFromPhys("usb-0000:00:14.0-2/input12"), 12);
  EXPECT_EQ(InterfaceNumberFromPhys("aa:bb:cc:dd:ee:ff"), -1);
  EXPECT_EQ(InterfaceNumberFromPhys("x/input"), -1);
  EXPECT_EQ(InterfaceNumberFromPhys("x/input9999"), -1);
  EXPECT_EQ(InterfaceNumberFromPhys("x/inputs"), -1);
}

TEST(HidrawPath, NodeNamesSortNumerically) {
  std::vector<std::string> names = {"hidraw10", "hidraw2", "hidraw1", "hidraw0"};
  std::sort(names.begin(), names.end(), NodeNameLess);
  EXPECT_EQ(names, (std::vector<std::string>{"hidraw0", "hidraw1", "hidraw2", "hidraw10"}));
}

TEST(KernelUevent, ParsesHidrawMessagesAndRejectsOthers) {
  static const char kAdd[] = "add@/devices/virtual/misc/uhid/0003:3A5C:0139.0001/hidraw/hidraw0\0ACTION=add\0"
                        "DEVPATH=/devices/virtual/misc/uhid/0003:3A5C:0139.0001/hidraw/hidraw0\0"
                        "SUBSYSTEM=hidraw\0MAJOR=245\0MINOR=0\0DEVNAME=hidraw0\0SEQNUM=1234";
  const std::string add(kAdd, sizeof kAdd - 1);
  KernelUevent event;
  ASSERT_TRUE(ParseKernelUevent(add.data(), add.size(), event));
  EXPECT_EQ(event.action, "add");
  EXPECT_EQ(event.subsystem, "hidraw");
  EXPECT_EQ(event.devName, "hidraw0");
  EXPECT_EQ(event.devPath, "/devices/virtual/misc/uhid/0003:3A5C:0139.0001/hidraw/hidraw0");
  // udev's rebroadcasts carry a binary header instead of "action@devpath".
  const std::string udev("libudev\0\xfe\xed\xca\xfe", 12);
  EXPECT_FALSE(ParseKernelUevent(udev.data(), udev.size(), event));
  // Truncated in the middle of a field, and without the ACTION key.
  EXPECT_FALSE(ParseKernelUevent(add.data(), 80, event));
  EXPECT_FALSE(ParseKernelUevent("", 0, event));
}

}  // namespace
}  // namespace quorix
