#include "uhid_device.h"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace quorix::vm {
namespace {

bool WriteEvent(int fd, const uhid_event& event) {
  return write(fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

}  // namespace

UhidDevice::UhidDevice(const UhidIdentity& identity, FeatureResponder& responder) : responder_(responder) {
  fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC);
  if (fd_ < 0) return;
  uhid_event event{};
  event.type = UHID_CREATE2;
  auto& create = event.u.create2;
  std::strncpy(reinterpret_cast<char*>(create.name), identity.name.c_str(), sizeof create.name - 1);
  std::strncpy(reinterpret_cast<char*>(create.phys), identity.phys.c_str(), sizeof create.phys - 1);
  create.rd_size = static_cast<uint16_t>(std::min(identity.descriptor.size(), sizeof create.rd_data));
  std::memcpy(create.rd_data, identity.descriptor.data(), create.rd_size);
  create.bus = 0x03;  // BUS_USB, as the real mouse
  create.vendor = identity.vendorId;
  create.product = identity.productId;
  if (!WriteEvent(fd_, event)) {
    close(fd_);
    fd_ = -1;
    return;
  }
  thread_ = std::thread([this] { Serve(); });
}

UhidDevice::~UhidDevice() {
  if (fd_ < 0) return;
  stop_ = true;
  thread_.join();
  uhid_event event{};
  event.type = UHID_DESTROY;
  WriteEvent(fd_, event);
  close(fd_);
}

bool UhidDevice::SendInput(const std::vector<uint8_t>& report) {
  uhid_event event{};
  event.type = UHID_INPUT2;
  event.u.input2.size = static_cast<uint16_t>(std::min(report.size(), sizeof event.u.input2.data));
  std::memcpy(event.u.input2.data, report.data(), event.u.input2.size);
  return WriteEvent(fd_, event);
}

void UhidDevice::Serve() {
  while (!stop_) {
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    uhid_event event{};
    if (read(fd_, &event, sizeof event) <= 0) continue;
    uhid_event reply{};
    if (event.type == UHID_GET_REPORT) {
      const auto answer = responder_.GetFeature(event.u.get_report.rnum, UHID_DATA_MAX);
      reply.type = UHID_GET_REPORT_REPLY;
      reply.u.get_report_reply.id = event.u.get_report.id;
      reply.u.get_report_reply.err = answer.empty() ? 5 /* EIO */ : 0;
      reply.u.get_report_reply.size = static_cast<uint16_t>(answer.size());
      std::memcpy(reply.u.get_report_reply.data, answer.data(), answer.size());
      WriteEvent(fd_, reply);
    } else if (event.type == UHID_SET_REPORT) {
      const auto& request = event.u.set_report;
      const std::vector<uint8_t> report(request.data, request.data + std::min<size_t>(request.size, UHID_DATA_MAX));
      reply.type = UHID_SET_REPORT_REPLY;
      reply.u.set_report_reply.id = request.id;
      reply.u.set_report_reply.err = responder_.SetFeature(request.rnum, report) ? 0 : 5;
      WriteEvent(fd_, reply);
    }
  }
}

}  // namespace quorix::vm
