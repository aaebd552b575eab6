#include "platform/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace quorix {
namespace {

// Item types and tags of the short item format (HID 1.11, 6.2.2).
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTypeLocal = 2;

constexpr int kMainInput = 0x8;
constexpr int kMainOutput = 0x9;
constexpr int kMainCollection = 0xA;
constexpr int kMainFeature = 0xB;
constexpr int kMainEndCollection = 0xC;

constexpr int kGlobalUsagePage = 0x0;
constexpr int kGlobalReportSize = 0x7;
constexpr int kGlobalReportId = 0x8;
constexpr int kGlobalReportCount = 0x9;
constexpr int kGlobalPush = 0xA;
constexpr int kGlobalPop = 0xB;

constexpr int kLocalUsage = 0x0;
constexpr int kLocalUsageMinimum = 0x1;

constexpr uint8_t kLongItemPrefix = 0xFE;

enum ReportKind { kInput = 0, kOutput = 1, kFeature = 2 };

struct GlobalState {
  uint32_t usagePage = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

class Parser {
 public:
  // The layout of the descriptor, or kInvalidFormat with the first defect.
  Result<HidReportDescriptorInfo> Run(const uint8_t* data, size_t size) {
    size_t pos = 0;
    while (pos < size) {
      const uint8_t prefix = data[pos];
      if (prefix == kLongItemPrefix) {
        // Long items carry vendor data the report layout does not depend on.
        if (size - pos < 3) return Fail("truncated long item", pos);
        const size_t dataSize = data[pos + 1];
        if (size - pos - 3 < dataSize) return Fail("truncated long item", pos);
        pos += 3 + dataSize;
        continue;
      }
      const size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
      const int type = (prefix >> 2) & 3;
      const int tag = prefix >> 4;
      if (size - pos - 1 < dataSize) return Fail("truncated item", pos);
      uint32_t value = 0;
      for (size_t i = 0; i < dataSize; ++i) value |= static_cast<uint32_t>(data[pos + 1 + i]) << (8 * i);
      bool ok = true;
      if (type == kTypeMain) {
        ok = Main(tag);
      } else if (type == kTypeGlobal) {
        ok = Global(tag, value);
      } else if (type == kTypeLocal) {
        Local(tag, value, dataSize);
      }
      // Type 3 (reserved) short items are skipped, as the kernel does.
      if (!ok) return Fail(error_, pos);
      pos += 1 + dataSize;
    }
    if (depth_ != 0) return Outcome(Failure::kInvalidFormat, "unbalanced collection at end of descriptor");
    HidReportDescriptorInfo info;
    Finish(info);
    return info;
  }

 private:
  static Outcome Fail(const std::string& what, size_t pos) {
    return Outcome(Failure::kInvalidFormat, what + " at offset " + std::to_string(pos));
  }

  bool Main(int tag) {
    bool ok = true;
    switch (tag) {
      case kMainCollection:
        if (depth_ >= kHidMaxCollectionDepth) {
          error_ = "collections nested too deeply";
          ok = false;
          break;
        }
        if (depth_ == 0) {
          HidTopLevelCollection collection;
          collection.caps.usagePage = static_cast<uint16_t>(firstUsagePage_);
          collection.caps.usage = static_cast<uint16_t>(firstUsage_);
          collections_.push_back(collection);
        }
        ++depth_;
        break;
      case kMainEndCollection:
        if (depth_ == 0) {
          error_ = "end collection without collection";
          ok = false;
          break;
        }
        --depth_;
        break;
      case kMainInput:
        ok = AddReportBits(kInput);
        break;
      case kMainOutput:
        ok = AddReportBits(kOutput);
        break;
      case kMainFeature:
        ok = AddReportBits(kFeature);
        break;
      default:
        break;  // reserved main tags carry no report data
    }
    // Local items apply to the next main item only.
    haveUsage_ = false;
    firstUsagePage_ = 0;
    firstUsage_ = 0;
    return ok;
  }

  bool AddReportBits(ReportKind kind) {
    // Fields outside any top-level collection belong to no interface the
    // system would present; they are checked but not counted.
    const uint64_t bits = static_cast<uint64_t>(global_.reportSize) * global_.reportCount;
    if (depth_ == 0) return true;
    const size_t collection = collections_.size() - 1;
    uint64_t& total = reportBits_[{collection, kind, global_.reportId}];
    total += bits;
    if (total > static_cast<uint64_t>(kHidMaxReportBytes) * 8) {
      error_ = "report longer than " + std::to_string(kHidMaxReportBytes) + " bytes";
      return false;
    }
    if (kind == kInput) {
      auto& ids = collections_[collection].inputReportIds;
      if (std::find(ids.begin(), ids.end(), global_.reportId) == ids.end()) ids.push_back(global_.reportId);
    }
    return true;
  }

  bool Global(int tag, uint32_t value) {
    switch (tag) {
      case kGlobalUsagePage:
        global_.usagePage = value & 0xFFFF;
        break;
      case kGlobalReportSize:
        if (value > kHidMaxReportSizeBits) {
          error_ = "report size " + std::to_string(value) + " too large";
          return false;
        }
        global_.reportSize = value;
        break;
      case kGlobalReportCount:
        if (value > kHidMaxReportCount) {
          error_ = "report count " + std::to_string(value) + " too large";
          return false;
        }
        global_.reportCount = value;
        break;
      case kGlobalReportId:
        if (value == 0 || value > 255) {
          error_ = "invalid report ID " + std::to_string(value);
          return false;
        }
        global_.reportId = static_cast<uint8_t>(value);
        usesReportIds_ = true;
        break;
      case kGlobalPush:
        if (stack_.size() >= static_cast<size_t>(kHidMaxGlobalStackDepth)) {
          error_ = "global stack overflow";
          return false;
        }
        stack_.push_back(global_);
        break;
      case kGlobalPop:
        if (stack_.empty()) {
          error_ = "global stack underflow";
          return false;
        }
        global_ = stack_.back();
        stack_.pop_back();
        break;
      default:
        break;  // logical/physical ranges and units do not change lengths
    }
    return true;
  }

  void Local(int tag, uint32_t value, size_t dataSize) {
    if ((tag != kLocalUsage && tag != kLocalUsageMinimum) || haveUsage_) return;
    haveUsage_ = true;
    if (dataSize == 4) {
      // An extended usage names its own page in the upper half.
      firstUsagePage_ = value >> 16;
      firstUsage_ = value & 0xFFFF;
    } else {
      firstUsagePage_ = global_.usagePage;
      firstUsage_ = value & 0xFFFF;
    }
  }

  void Finish(HidReportDescriptorInfo& info) {
    for (const auto& [key, bits] : reportBits_) {
      const auto [collection, kind, id] = key;
      // The report ID byte is counted whether it is explicit or implicit.
      const auto bytes = static_cast<uint16_t>((bits + 7) / 8 + 1);
      HidCaps& caps = collections_[collection].caps;
      uint16_t& length = kind == kInput    ? caps.inputReportByteLength
                         : kind == kOutput ? caps.outputReportByteLength
                                           : caps.featureReportByteLength;
      length = std::max(length, bytes);
    }
    info.collections = std::move(collections_);
    info.usesReportIds = usesReportIds_;
    info.caps = info.collections.empty() ? HidCaps{} : info.collections.front().caps;
  }

  GlobalState global_;
  std::vector<GlobalState> stack_;
  int depth_ = 0;
  bool haveUsage_ = false;
  uint32_t firstUsagePage_ = 0;
  uint32_t firstUsage_ = 0;
  bool usesReportIds_ = false;
  std::vector<HidTopLevelCollection> collections_;
  std::map<std::tuple<size_t, int, uint8_t>, uint64_t> reportBits_;
  std::string error_;  // why the item that failed is wrong
};

}  // namespace

Result<HidReportDescriptorInfo> ParseHidReportDescriptor(const uint8_t* data, size_t size) {
  if (data == nullptr && size != 0) return Outcome(Failure::kInvalidFormat, "no descriptor data");
  Parser parser;
  return parser.Run(data, size);
}

}  // namespace quorix
