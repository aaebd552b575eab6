#include "device/device_request.h"

#include "device/transport.h"

namespace quorix {

Report MakeRequest(std::initializer_list<uint8_t> bytes) {
  Report request{};
  size_t i = 1;
  for (uint8_t b : bytes) {
    if (i >= request.size()) break;
    request[i++] = b;
  }
  return request;
}

Report Transact(DeviceLink& link, const std::string& path, Report request, int delayMs) {
  Report answer{};
  DeviceTransact(link, path, request.data(), answer.data(), delayMs);
  return answer;
}

Report Transact(DeviceLink& link, const std::string& path, std::initializer_list<uint8_t> bytes, int delayMs) {
  return Transact(link, path, MakeRequest(bytes), delayMs);
}

void SendOnly(DeviceLink& link, const std::string& path, std::initializer_list<uint8_t> bytes) {
  Transact(link, path, MakeRequest(bytes), -1);
}

void SetLevel0Check(Report& request) {
  uint8_t x = 0;
  for (int i = 1; i <= 7; ++i) x ^= request[i];
  request[8] = x;
}

Report ReadStatusReport(DeviceLink& link, const std::string& path) {
  return Transact(link, path, {0x00, 0x00, 0x00}, 10);
}

bool StatusFlagSet(const Report& status) { return (status[10] & 0x40) != 0; }

}  // namespace quorix
