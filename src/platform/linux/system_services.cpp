#include "platform/linux/system_services.h"

#include "platform/linux/flock_mutex.h"
#include "platform/linux/hidraw_host.h"
#include "platform/linux/udev_hidraw_directory.h"

namespace quorix {

std::unique_ptr<HidHost> CreateSystemHidHost() {
  auto directory = UdevHidrawDirectory::Create();
  if (!directory) return nullptr;
  return std::make_unique<HidrawHost>(std::move(directory));
}

std::unique_ptr<NamedMutex> CreateNamedMutex(const std::string& name, std::string* error) {
  return FlockMutex::Open(name, error);
}

std::unique_ptr<NamedMutex> CreateFileLock(const std::string& file, std::string* error) {
  return FlockMutex::OpenForFile(file, error);
}

}  // namespace quorix
