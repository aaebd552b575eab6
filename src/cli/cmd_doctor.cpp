// doctor: what the system and the mouse look like, for a bug report.
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/doctor.h"
#include "cli/json_writer.h"
#include "device/device_link.h"
#include "device/discovery.h"
#include "platform/linux/linux_support_facts.h"
#include "session/session.h"
#include "session/support_report.h"

namespace quorix {
namespace {

std::string Hex(long value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*lx", digits, value);
  return text;
}

std::string Octal(uint32_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", mode);
  return text;
}

const char* KindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kNoNode: return "no-node";
    case ProblemKind::kRuleMissing: return "udev-rule-missing";
    case ProblemKind::kOtherVendor: return "other-vendor-id";
    case ProblemKind::kNodeClosed: return "node-not-open";
    case ProblemKind::kUsbfsClosed: return "usbfs-not-readable";
    case ProblemKind::kLockFolder: return "lock-folder";
    case ProblemKind::kNotIdentified: return "not-identified";
    case ProblemKind::kNoAnswer: return "no-answer";
  }
  return "";
}

constexpr const char* kReplugAndTrace =
    "unplug and replug the mouse, then run: quorix-mousectl --trace-file trace.txt doctor, and attach trace.txt "
    "to the bug report";

struct Worded {
  std::string problem;
  std::string fix;
};

Worded Word(const Problem& p, const SupportReport& report) {
  const std::string vendor = Hex(report.vendorId, 4);
  std::string folders;
  for (const std::string& folder : UdevRuleFolders()) folders += (folders.empty() ? "" : ", ") + folder;
  switch (p.kind) {
    case ProblemKind::kNoNode:
      return {"no hidraw node of a device with USB vendor ID " + vendor + " is present",
              "plug the mouse in (straight into the computer, not through a switch box) and run doctor again; if "
              "lsusb lists it under another vendor ID, run: quorix-mousectl --vendor-id HEX doctor"};
    case ProblemKind::kRuleMissing:
      return {std::string("the udev rule ") + kUdevRuleName + " is not installed (looked in " + folders + ")",
              "install the package, or from the source tree run: sudo install -m 644 packaging/" +
                  std::string(kUdevRuleName) +
                  " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger, then replug "
                  "the mouse"};
    case ProblemKind::kOtherVendor:
      return {"the udev rule names the vendor ID " + Hex(kProductVendorId, 4) + ", not " + vendor,
              "copy the rule to /etc/udev/rules.d/, set its ATTRS{idVendor} and ATTR{idVendor} values to " +
                  vendor.substr(2) +
                  ", then run: sudo udevadm control --reload && sudo udevadm trigger, then replug the mouse"};
    case ProblemKind::kNodeClosed:
      return {"this user cannot open " + p.subject + " for reading and writing",
              report.rulesFound.empty()
                  ? "install the udev rule (see above), then replug the mouse"
                  : "run: sudo udevadm trigger, then replug the mouse; the rule hands the mouse to the user "
                    "logged in at the seat, so run this there rather than over ssh"};
    case ProblemKind::kUsbfsClosed:
      return {"the identification string cannot be read: this user cannot read " + p.subject,
              "run: sudo udevadm trigger, then replug the mouse (the udev rule opens the USB device node too)"};
    case ProblemKind::kLockFolder:
      return {"the lock folder " + p.subject + " cannot hold the locks: it " + p.detail,
              p.detail == "can be written by other users"
                  ? "run: chmod 700 " + p.subject
                  : "remove " + p.subject +
                        " (it is made again at the next run); if it belongs to another user, ask the "
                        "administrator to remove it"};
    case ProblemKind::kNotIdentified:
      return {"no interface answered as the mouse (identification string and information block)", kReplugAndTrace};
    case ProblemKind::kNoAnswer:
      return {p.detail, kReplugAndTrace};  // the failure's own sentence
  }
  return {};
}

const char* DesktopName(DesktopKind kind) {
  switch (kind) {
    case DesktopKind::kX11: return "x11";
    case DesktopKind::kWayland: return "wayland";
    case DesktopKind::kNone: return "none";
  }
  return "";
}

// What the desktop program can do in this session, feature by feature.
std::vector<std::pair<std::string, std::string>> DesktopNotes(DesktopKind kind) {
  switch (kind) {
    case DesktopKind::kX11:
      return {{"per-application switching", "sees every window"},
              {"macro recording", "reads the keyboard and mouse through XInput2 while a recording runs"},
              {"lift-test nudge", "moves the pointer through XTest"},
              {"on-screen display", "shown at the top left of the primary screen"}};
    case DesktopKind::kWayland:
      return {{"per-application switching", "sees X11 (XWayland) windows only; native Wayland windows are not seen"},
              {"macro recording", "reads the /dev/input devices, which needs membership of the input group"},
              {"lift-test nudge", "needs a /dev/uinput this user may write; without it the test asks you to move "
                                  "the mouse yourself"},
              {"on-screen display", "not shown; a desktop notification gives the level and DPI instead"}};
    case DesktopKind::kNone:
      return {{"desktop program", "needs a desktop session (X11 or Wayland); quorix-mousectl does not"}};
  }
  return {};
}

void PrintText(std::ostream& out, const SupportReport& r) {
  out << "quorix-mousectl " << QUORIX_VERSION << " doctor\n";
  if (r.simulated) {
    out << "Simulated mouse: hidraw nodes, udev rule and usbfs are not used\n";
  } else {
    out << "hidraw nodes of vendor ID " << Hex(r.vendorId, 4) << ":" << (r.nodes.empty() ? " none\n" : "\n");
    for (const NodeReport& n : r.nodes) {
      const HidrawNodeFacts& f = n.facts;
      out << "  " << f.devNode << "  product " << Hex(f.productId, 4) << "  interface " << f.interfaceNumber << "\n"
          << "    permissions: " << Octal(f.mode) << " " << f.owner << ":" << f.group
          << (f.hasAcl ? ", with an ACL" : ", no ACL") << "; this user can read: " << (f.canRead ? "yes" : "no")
          << ", write: " << (f.canWrite ? "yes" : "no") << "\n";
      if (!n.descriptorError.empty()) out << "    report descriptor: " << n.descriptorError << "\n";
      for (const HidCaps& c : n.collections) {
        out << "    collection: usage page " << Hex(c.usagePage, 4) << ", usage " << Hex(c.usage, 4) << ", report bytes in "
            << c.inputReportByteLength << ", out " << c.outputReportByteLength << ", feature "
            << c.featureReportByteLength << "\n";
      }
      out << "    usbfs: " << (f.usbDevNode.empty() ? "(not a USB device)" : f.usbDevNode)
          << (f.usbDevNode.empty() ? "" : f.usbReadable ? " readable" : " not readable") << "\n";
    }
    out << "udev rule: ";
    if (r.rulesFound.empty()) out << "not installed";
    for (size_t i = 0; i < r.rulesFound.size(); ++i) out << (i ? ", " : "") << r.rulesFound[i];
    out << "\n";
  }
  out << "lock folder: " << r.lockFolder.folder
      << (!r.lockFolder.exists ? " (made at first use)" : r.lockFolder.problem.empty() ? " (usable)" : " (not usable)")
      << "\n";
  const DesktopReport& d = r.desktop;
  out << "desktop session: " << DesktopName(d.kind) << " (XDG_SESSION_TYPE=" << d.sessionType
      << ", XDG_CURRENT_DESKTOP=" << d.currentDesktop << ", WAYLAND_DISPLAY=" << d.waylandDisplay
      << ", DISPLAY=" << d.display << ")\n";
  for (const auto& [feature, meaning] : DesktopNotes(d.kind)) out << "  " << feature << ": " << meaning << "\n";
  if (!r.mouseAsked) out << "mouse: not asked (no node can be opened)\n";
  for (const MouseReport& m : r.mice) {
    const DeviceInfo& i = m.info;
    out << "mouse: " << m.path << "\n"
        << "  identification: vendor " << Hex(i.vendorId, 4) << ", product " << Hex(i.productId, 4) << ", model "
        << i.modelCode << ", firmware " << FirmwareNumber(i.variantA) << " (variant " << i.variantA << "/"
        << i.variantB << "), button layout " << i.buttonLayout << ", table " << i.tableSelect << "\n"
        << "  protocol level: " << i.protocolLevel << "\n"
        << "  memory end: "
        << (m.memoryEnd < 0 ? "not known yet (the first load marks it)" : std::to_string(m.memoryEnd)) << "\n";
    if (!HasInformationBlock(i)) {
      out << "  information block: none at this protocol level\n";
      continue;
    }
    out << "  information block:\n";
    for (size_t at = 0; at < i.deviceInfoBlock.size(); at += 16) {
      out << "    " << Hex(static_cast<long>(at), 2).substr(2) << ": " << HexBytes(&i.deviceInfoBlock[at], 16) << "\n";
    }
  }
  if (r.problems.empty()) {
    out << "No problems found.\n";
    return;
  }
  out << "Problems:\n";
  for (const Problem& p : r.problems) {
    const Worded w = Word(p, r);
    out << "  - " << w.problem << "\n    fix: " << w.fix << "\n";
  }
}

void PrintJson(std::ostream& out, const SupportReport& r) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key("version").String(QUORIX_VERSION);
  json.Key("vendorId").String(Hex(r.vendorId, 4));
  json.Key("simulated").Bool(r.simulated);
  json.Key("hidrawNodes").BeginArray();
  for (const NodeReport& n : r.nodes) {
    const HidrawNodeFacts& f = n.facts;
    json.BeginObject();
    json.Key("node").String(f.devNode);
    json.Key("productId").String(Hex(f.productId, 4));
    json.Key("interface").Number(f.interfaceNumber);
    json.Key("mode").String(Octal(f.mode));
    json.Key("owner").String(f.owner);
    json.Key("group").String(f.group);
    json.Key("acl").Bool(f.hasAcl);
    json.Key("canRead").Bool(f.canRead);
    json.Key("canWrite").Bool(f.canWrite);
    json.Key("usbNode").String(f.usbDevNode);
    json.Key("usbReadable").Bool(f.usbReadable);
    json.Key("descriptorError").String(n.descriptorError);
    json.Key("collections").BeginArray();
    for (const HidCaps& c : n.collections) {
      json.BeginObject();
      json.Key("usagePage").String(Hex(c.usagePage, 4));
      json.Key("usage").String(Hex(c.usage, 4));
      json.Key("inputBytes").Number(c.inputReportByteLength);
      json.Key("outputBytes").Number(c.outputReportByteLength);
      json.Key("featureBytes").Number(c.featureReportByteLength);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("udevRules").BeginArray();
  for (const std::string& rule : r.rulesFound) json.String(rule);
  json.EndArray();
  json.Key("lockFolder").BeginObject();
  json.Key("folder").String(r.lockFolder.folder);
  json.Key("exists").Bool(r.lockFolder.exists);
  json.Key("problem").String(r.lockFolder.problem);
  json.EndObject();
  json.Key("desktop").BeginObject();
  json.Key("session").String(DesktopName(r.desktop.kind));
  json.Key("XDG_SESSION_TYPE").String(r.desktop.sessionType);
  json.Key("XDG_CURRENT_DESKTOP").String(r.desktop.currentDesktop);
  json.Key("WAYLAND_DISPLAY").String(r.desktop.waylandDisplay);
  json.Key("DISPLAY").String(r.desktop.display);
  json.Key("features").BeginObject();
  for (const auto& [feature, meaning] : DesktopNotes(r.desktop.kind)) json.Key(feature).String(meaning);
  json.EndObject();
  json.EndObject();
  json.Key("mouseAsked").Bool(r.mouseAsked);
  json.Key("mice").BeginArray();
  for (const MouseReport& m : r.mice) {
    const DeviceInfo& i = m.info;
    json.BeginObject();
    json.Key("path").String(m.path);
    json.Key("vendorId").String(Hex(i.vendorId, 4));
    json.Key("productId").String(Hex(i.productId, 4));
    json.Key("protocolLevel").Number(i.protocolLevel);
    json.Key("modelCode").Number(i.modelCode);
    json.Key("firmware").Number(FirmwareNumber(i.variantA));
    json.Key("variantA").Number(i.variantA);
    json.Key("variantB").Number(i.variantB);
    json.Key("buttonLayout").Number(i.buttonLayout);
    json.Key("tableSelect").Number(i.tableSelect);
    json.Key("featureLimit").Number(i.featureLimit);
    json.Key("optionFlag").Number(i.optionFlag);
    json.Key("memoryEnd");
    if (m.memoryEnd < 0) {
      json.Null();
    } else {
      json.Number(m.memoryEnd);
    }
    json.Key("informationBlock");
    if (HasInformationBlock(i)) {
      json.String(HexBytes(i.deviceInfoBlock.data(), i.deviceInfoBlock.size()));
    } else {
      json.Null();
    }
    json.EndObject();
  }
  json.EndArray();
  json.Key("problems").BeginArray();
  for (const Problem& p : r.problems) {
    const Worded w = Word(p, r);
    json.BeginObject();
    json.Key("kind").String(KindName(p.kind));
    json.Key("problem").String(w.problem);
    json.Key("fix").String(w.fix);
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

int RunDoctorCommand(CliContext& ctx) {
  LinuxSupportFacts facts;
  return RunDoctor(ctx, facts);
}

}  // namespace

int RunDoctor(CliContext& ctx, SupportFacts& facts) {
  const auto& args = ctx.Args();
  const bool json = args.size() == 1 && args[0] == "--json";
  if (!(args.empty() || json)) throw ctx.UsageError();
  const GlobalOptions& options = ctx.Options();
  SupportReport report = ReportSystem(facts, options.vendorId.value_or(kProductVendorId), !options.simulate.empty());
  if (CanAskMouse(report)) {
    const Outcome outcome = ctx.GetSession()
                                .Post("doctor",
                                      [&report](JobContext& job, DeviceLink& link, SettingsState&) {
                                        DeviceOperation operation(link, job.StopToken());
                                        ReportMice(link, report);
                                        return operation.Result();
                                      })
                                .Wait();
    AddMouseProblems(report, outcome, FailureMessage(outcome.failure, "", false));
  }
  if (json) {
    PrintJson(ctx.Out(), report);
  } else {
    PrintText(ctx.Out(), report);
  }
  return report.problems.empty() ? 0 : 1;
}

void RegisterDoctorCommand(CommandRegistry& registry) {
  registry.Add({"doctor", {"doctor [--json]"},
                "what the system and the mouse look like, for a bug report: hidraw nodes, udev rule, usbfs, lock "
                "folder, desktop session and the mouse's identification, read without writing to it; exits 1 when "
                "it finds a problem, each with the sentence that fixes it",
                RunDoctorCommand});
}

}  // namespace quorix
