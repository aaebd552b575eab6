// quorix-mousectl doctor: on the simulated mouse end to end, and on the
// system's side with a fake of what the operating system says.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "device/device_link.h"
#include "support/cli_run.h"
#include "support/json_check.h"
#include "support/temp_dir.h"

namespace quorix {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

class FakeSupportFacts final : public SupportFacts {
 public:
  std::vector<HidrawNodeFacts> nodes;
  std::set<std::string> files;
  std::map<std::string, std::string> environment;
  LockFolderFacts lockFolder{"/run/user/1000/quorix-mouse", true, ""};

  std::vector<HidrawNodeFacts> HidrawNodes(uint16_t vendorId) override {
    std::vector<HidrawNodeFacts> matching;
    for (const HidrawNodeFacts& node : nodes)
      if (node.vendorId == vendorId) matching.push_back(node);
    return matching;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  std::string Environment(const std::string& name) override {
    const auto it = environment.find(name);
    return it == environment.end() ? "" : it->second;
  }
  LockFolderFacts LockFolder() override { return lockFolder; }
};

// The mouse's configuration interface: vendor page 0xFF18, one 64-byte
// feature report without report IDs.
HidrawNodeFacts ClosedNode(const std::string& devNode) {
  HidrawNodeFacts node;
  node.devNode = devNode;
  node.vendorId = 0x3A5C;
  node.productId = 0x0139;
  node.interfaceNumber = 1;
  node.reportDescriptor = {0x06, 0x18, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08,
                           0x95, 0x40, 0x09, 0x01, 0xB1, 0x02, 0xC0};
  node.mode = 0600;
  node.owner = "root";
  node.group = "root";
  node.usbDevNode = "/dev/bus/usb/001/004";
  return node;
}

test::CliRun Doctor(FakeSupportFacts& facts, std::vector<std::string> args = {}, GlobalOptions options = {}) {
  std::ostringstream out, err;
  CliContext ctx(std::move(options), std::move(args), out, err, false);
  test::CliRun run;
  run.status = RunDoctor(ctx, facts);
  run.out = out.str();
  run.err = err.str();
  return run;
}

TEST(DoctorCli, ReadsTheSimulatedMouseAtEveryLevelWithoutWritingToIt) {
  const struct {
    std::string level;
    std::string protocol;
  } cases[] = {{"level11", "protocol level: 11\n"}, {"level5", "protocol level: 5\n"}, {"level0", "protocol level: 0\n"}};
  for (const auto& c : cases) {
    test::TempDir dir;
    const std::string state = dir.Path("mouse.state");
    ASSERT_EQ(test::RunCommand({"--simulate=" + c.level, "--sim-state", state, "list"}).status, 0);
    const std::string before = ReadBytes(state);
    const test::CliRun run = test::RunCommand({"--simulate=" + c.level, "--sim-state", state, "doctor"});
    EXPECT_EQ(run.status, 0) << c.level << run.out << run.err;
    EXPECT_TRUE(Has(run.out, "mouse: sim#vid_3a5c&pid_0139")) << c.level;
    EXPECT_TRUE(Has(run.out, c.protocol)) << run.out;
    EXPECT_TRUE(Has(run.out, "memory end: 8191\n")) << c.level;
    EXPECT_TRUE(Has(run.out, "  information block:\n    00: ")) << c.level;
    EXPECT_TRUE(Has(run.out, "No problems found.\n")) << c.level;
    EXPECT_EQ(ReadBytes(state), before) << c.level;  // nothing written to the mouse
  }
  // A mouse that never answers is a problem with its fix, not a success.
  const test::CliRun silent = test::RunCommand({"--simulate", "--sim-option", "silent", "doctor"});
  EXPECT_EQ(silent.status, 1);
  EXPECT_TRUE(Has(silent.out, "  - the mouse stopped answering"));
  EXPECT_TRUE(Has(silent.out, "fix: unplug and replug the mouse, then run: quorix-mousectl --trace-file trace.txt doctor"));
}

TEST(DoctorCli, EachProblemComesWithTheSentenceThatFixesIt) {
  const std::string rule = "/usr/lib/udev/rules.d/70-quorix-mouse.rules";
  const struct {
    std::string what;
    std::function<void(FakeSupportFacts&)> setUp;
    std::vector<std::string> expected;  // in the output
    std::vector<std::string> absent;
  } cases[] = {
      {"no mouse, no rule", [](FakeSupportFacts&) {},
       {"hidraw nodes of vendor ID 0x3a5c: none\n", "mouse: not asked (no node can be opened)\n",
        "no hidraw node of a device with USB vendor ID 0x3a5c is present\n",
        "fix: plug the mouse in (straight into the computer, not through a switch box)",
        "the udev rule 70-quorix-mouse.rules is not installed",
        "fix: install the package, or from the source tree run: sudo install -m 644 "
        "packaging/70-quorix-mouse.rules /etc/udev/rules.d/"},
       {"No problems found."}},
      {"node and usbfs closed, rule installed",
       [&rule](FakeSupportFacts& f) {
         f.files.insert(rule);
         f.nodes = {ClosedNode("/dev/hidraw5"), ClosedNode("/dev/hidraw6")};
         f.nodes[1].canRead = true;
       },
       {"  /dev/hidraw5  product 0x0139  interface 1\n",
        "    permissions: 0600 root:root, no ACL; this user can read: no, write: no\n",
        "    collection: usage page 0xff18, usage 0x0001, report bytes in 0, out 0, feature 65\n",
        "udev rule: " + rule + "\n", "this user cannot open /dev/hidraw5 for reading and writing\n",
        "this user cannot open /dev/hidraw6 for reading and writing\n",
        "fix: run: sudo udevadm trigger, then replug the mouse;",
        "the identification string cannot be read: this user cannot read /dev/bus/usb/001/004\n",
        "mouse: not asked"},
       {"udev rule 70-quorix-mouse.rules is not installed", "no hidraw node"}},
      {"another vendor ID, lock folder writable by others, Wayland",
       [&rule](FakeSupportFacts& f) {
         f.files.insert(rule);
         f.nodes = {ClosedNode("/dev/hidraw5")};
         f.nodes[0].usbReadable = f.nodes[0].hasAcl = true;
         f.nodes[0].vendorId = 0x1234;
         f.lockFolder = {"/tmp/quorix-mouse-1000", true, "can be written by other users"};
         f.environment = {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}};
       },
       {"the lock folder /tmp/quorix-mouse-1000 cannot hold the locks: it can be written by other users\n",
        "fix: run: chmod 700 /tmp/quorix-mouse-1000\n", "desktop session: wayland (",
        "native Wayland windows are not seen", "the udev rule names the vendor ID 0x3a5c, not 0x1234\n",
        "set its ATTRS{idVendor} and ATTR{idVendor} values to 1234"},
       {"the identification string cannot be read"}},
  };
  for (const auto& c : cases) {
    FakeSupportFacts facts;
    c.setUp(facts);
    GlobalOptions options;
    if (!facts.nodes.empty() && facts.nodes[0].vendorId != kProductVendorId) options.vendorId = facts.nodes[0].vendorId;
    const test::CliRun run = Doctor(facts, {}, options);
    EXPECT_EQ(run.status, 1) << c.what;
    for (const std::string& part : c.expected) EXPECT_TRUE(Has(run.out, part)) << c.what << ": " << part << "\n" << run.out;
    for (const std::string& part : c.absent) EXPECT_FALSE(Has(run.out, part)) << c.what << ": " << part;
  }
}

TEST(DoctorCli, JsonIsOneValueWithEveryPart) {
  FakeSupportFacts facts;
  facts.nodes = {ClosedNode("/dev/hidraw5")};
  facts.nodes[0].owner = "root \"quoted\"\n";
  const test::CliRun run = Doctor(facts, {"--json"});
  EXPECT_EQ(run.status, 1);
  test::JsonCheck json(run.out);
  ASSERT_TRUE(json.Valid()) << run.out;
  const std::set<std::string> keys = {"version", "vendorId", "simulated", "hidrawNodes", "udevRules", "lockFolder",
                                      "desktop", "mouseAsked", "mice", "problems"};
  EXPECT_EQ(json.TopKeys(), keys);
  EXPECT_TRUE(Has(run.out, "\"owner\": \"root \\\"quoted\\\"\\u000a\""));
  EXPECT_TRUE(Has(run.out, "\"kind\": \"node-not-open\""));
  EXPECT_TRUE(Has(run.out, "\"featureBytes\": 65"));

  const test::CliRun simulated = test::RunCommand({"--simulate", "doctor", "--json"});
  test::JsonCheck simulatedJson(simulated.out);
  EXPECT_TRUE(simulatedJson.Valid()) << simulated.out;
  EXPECT_TRUE(Has(simulated.out, "\"memoryEnd\": 8191"));
  EXPECT_EQ(test::RunCommand({"--simulate", "doctor", "--yaml"}).status, 1);
}

}  // namespace
}  // namespace quorix
