#include "platform/linux/hidraw_node.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text_case.h"

namespace quorix {

std::string FormatHidrawPath(const HidrawNode& node, int collection) {
  char ids[64];
  if (node.interfaceNumber >= 0) {
    std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x&mi_%02x", node.vendorId, node.productId,
                  node.interfaceNumber & 0xFF);
  } else {
    std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", node.vendorId, node.productId);
  }
  std::string tags = ids;
  if (collection > 0) {
    char col[16];
    std::snprintf(col, sizeof col, "&col%02d", collection);
    tags += col;
  }
  return AsciiLower("hid#" + tags + "#" + node.hidSysPath);
}

bool ParseHidId(const std::string& hidId, uint16_t& bus, uint16_t& vendorId, uint16_t& productId) {
  unsigned busValue = 0, vendorValue = 0, productValue = 0;
  char tail = 0;
  if (std::sscanf(hidId.c_str(), "%x:%x:%x%c", &busValue, &vendorValue, &productValue, &tail) != 3) return false;
  if (busValue > 0xFFFF || vendorValue > 0xFFFF || productValue > 0xFFFF) return false;
  bus = static_cast<uint16_t>(busValue);
  vendorId = static_cast<uint16_t>(vendorValue);
  productId = static_cast<uint16_t>(productValue);
  return true;
}

int InterfaceNumberFromPhys(const std::string& phys) {
  const size_t slash = phys.rfind('/');
  if (slash == std::string::npos || phys.compare(slash + 1, 5, "input") != 0) return -1;
  const std::string digits = phys.substr(slash + 6);
  if (digits.empty() || digits.size() > 3 ||
      !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
    return -1;
  }
  const int number = std::atoi(digits.c_str());
  return number <= 255 ? number : -1;
}

bool NodeNameLess(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& s) {
    size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
    return std::make_pair(s.substr(0, digits), s.substr(digits));
  };
  const auto [prefixA, numberA] = split(a);
  const auto [prefixB, numberB] = split(b);
  if (prefixA != prefixB) return prefixA < prefixB;
  if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
  return numberA < numberB;
}

bool ParseKernelUevent(const char* data, size_t size, KernelUevent& event) {
  event = KernelUevent{};
  size_t pos = 0;
  bool first = true;
  while (pos < size) {
    const char* start = data + pos;
    const size_t length = strnlen(start, size - pos);
    const std::string field(start, length);
    pos += length + 1;
    if (first) {
      // The header "action@devpath"; udev's own messages start "libudev".
      first = false;
      if (field.find('@') == std::string::npos) return false;
      continue;
    }
    const size_t eq = field.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = field.substr(0, eq);
    const std::string value = field.substr(eq + 1);
    if (key == "ACTION") event.action = value;
    else if (key == "DEVPATH") event.devPath = value;
    else if (key == "SUBSYSTEM") event.subsystem = value;
    else if (key == "DEVNAME") event.devName = value;
  }
  return !first && !event.action.empty() && !event.devPath.empty();
}

}  // namespace quorix
