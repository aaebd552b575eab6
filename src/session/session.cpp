#include "session/session.h"

#include <utility>

#include "device/discovery.h"

namespace quorix {

Session::Session(SessionParts parts)
    : clock_(std::move(parts.clock)),
      host_(std::move(parts.host)),
      exchangeMutex_(std::move(parts.exchangeMutex)),
      deviceListMutex_(std::move(parts.deviceListMutex)),
      link_(std::make_unique<DeviceLink>(*host_, *clock_, *exchangeMutex_, *deviceListMutex_, parts.vendorId)),
      applicationFolders_(std::move(parts.applicationFolders)),
      setIni_(std::move(parts.setIni)),
      texts_(parts.texts ? std::move(*parts.texts) : DefaultTextTables()),
      executor_(std::make_unique<DeviceExecutor>()) {}

Session::~Session() {
  // The worker may still be inside an exchange: it must be gone before the
  // link, the host and the clock it uses.
  executor_.reset();
}

void Session::SelectDevice(const std::string& path) {
  std::lock_guard<std::mutex> lock(selectionMutex_);
  selectedPath_ = ToLowerPath(path);
  // What was found for the previous selection no longer counts.
  currentPath_.clear();
}

std::string Session::CurrentDevicePath() const {
  std::lock_guard<std::mutex> lock(selectionMutex_);
  return currentPath_;
}

int Session::ButtonLayoutAt(const std::string& path) const { return path.empty() ? 0 : ButtonLayout(*link_, path); }

Job<void> Session::IdentifyArrival(std::string path) {
  return Post("identify", [path = std::move(path)](JobContext& job, DeviceLink& link, SettingsState&) {
    DeviceOperation operation(link, job.StopToken());
    IdentifyDevice(link, path);
    return Outcome{};
  });
}

Job<void> Session::ResolveDevice() {
  return Post("find the device", [this](JobContext& job, DeviceLink& link, SettingsState&) -> Outcome {
    std::string wanted;
    {
      std::lock_guard<std::mutex> lock(selectionMutex_);
      wanted = selectedPath_;
      currentPath_.clear();
    }
    // A mouse that is there but does not answer is not listed: its failed
    // exchange says more than "no device".
    DeviceOperation identification(link, job.StopToken());
    auto listed = [&]() -> std::string {
      for (int i = 0, count = DeviceCount(link); i < count; ++i) {
        const std::string path = DevicePath(link, i);
        if (wanted.empty() || path == wanted) return path;
      }
      return "";
    };
    EnumerateDevices(link);
    std::string found = listed();
    // A path given by the user still has to be an identified configuration
    // interface: the command layout depends on what its identification says.
    if (found.empty() && !wanted.empty() && IsConfigInterface(link, wanted)) {
      IdentifyDevice(link, wanted);
      found = listed();
    }
    if (found.empty()) return identification.Failed() ? identification.Result() : Outcome(Failure::kNoDevice);
    std::lock_guard<std::mutex> lock(selectionMutex_);
    currentPath_ = found;
    return {};
  });
}

bool Session::PointStateAtSelection() {
  std::string wanted;
  {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    wanted = currentPath_.empty() ? selectedPath_ : currentPath_;
  }
  for (int i = 0, count = DeviceCount(*link_); i < count; ++i) {
    const std::string path = DevicePath(*link_, i);
    if (wanted.empty() || path == wanted) {
      state_.selectedDevice = i;
      std::lock_guard<std::mutex> lock(selectionMutex_);
      currentPath_ = path;
      return true;
    }
  }
  return false;
}

Job<void> Session::Post(std::string name, SessionWork work) {
  return Job<void>::Post(*executor_, std::move(name),
                         [this, work = std::move(work)](JobContext& job) { return work(job, *link_, state_); });
}

void Session::FinishPostedWork() {
  // The executor runs jobs in order: once this one ends, all before it have.
  Post("finish posted work", [](JobContext&, DeviceLink&, SettingsState&) { return Outcome(); }).Wait();
}

std::unique_ptr<DeviceEventPump> Session::MakeEventPump(DeviceEventPump::Deliver deliver) {
  return std::make_unique<DeviceEventPump>(*link_, *clock_, std::move(deliver), [this] { return LoadRunning(); });
}

Job<void> Session::OnDevice(std::string name, DeviceJobWork work) {
  return OnCurrentDevice<void>(std::move(name), std::move(work));
}

Session::WorkPoster Session::Poster(std::string name) {
  return [this, name = std::move(name)](std::function<Outcome()> work) {
    executor_->Post(name, [work = std::move(work)](JobContext&) { return work(); });
  };
}

}  // namespace quorix
