#include "session/macro_recording.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "base/ini_file.h"
#include "keys/key_tables.h"

namespace quorix {

namespace {
constexpr const char* kRecordSection = "record";
}  // namespace

RecordOptions LoadRecordOptions(const std::string& path) {
  const IniDocument ini = IniDocument::Load(path);
  const RecordOptions defaults;
  RecordOptions o;
  o.recordDelays = ini.GetInt(kRecordSection, "delays", defaults.recordDelays ? 1 : 0) != 0;
  o.intervalMs = ini.GetInt(kRecordSection, "interval", defaults.intervalMs) == 200 ? 200 : 50;
  o.cursorTrack = ini.GetInt(kRecordSection, "track", defaults.cursorTrack ? 1 : 0) != 0;
  o.clickPositions = ini.GetInt(kRecordSection, "clicks", defaults.clickPositions ? 1 : 0) != 0;
  return o;
}

Outcome SaveRecordOptions(const std::string& path, const RecordOptions& options) {
  // The first save makes the folder; a failure here shows in Save's reason.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  IniDocument ini = IniDocument::Load(path);
  try {
    ini.SetString(kRecordSection, "delays", options.recordDelays ? "1" : "0");
    ini.SetString(kRecordSection, "interval", std::to_string(options.intervalMs));
    ini.SetString(kRecordSection, "track", options.cursorTrack ? "1" : "0");
    ini.SetString(kRecordSection, "clicks", options.clickPositions ? "1" : "0");
  } catch (const std::invalid_argument& refused) {
    return Outcome(Failure::kCannotWriteFile, refused.what());
  }
  if (!ini.Modified()) return {};
  return ini.Save(path);
}

RecordingSettings::RecordingSettings(int hotkey, std::string optionsFile)
    : hotkey_(hotkey), optionsFile_(std::move(optionsFile)) {
  if (!optionsFile_.empty()) options_ = LoadRecordOptions(optionsFile_);
}

int RecordingSettings::Hotkey() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hotkey_;
}

void RecordingSettings::SetHotkey(int usage) {
  std::lock_guard<std::mutex> lock(mutex_);
  hotkey_ = usage;
}

RecordOptions RecordingSettings::Options() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return options_;
}

Outcome RecordingSettings::SetOptions(const RecordOptions& options) {
  std::lock_guard<std::mutex> lock(mutex_);
  options_ = options;
  if (optionsFile_.empty()) return {};
  return SaveRecordOptions(optionsFile_, options);
}

MacroRecording::MacroRecording(std::unique_ptr<InputCapture> capture, std::string unavailableReason, Clock& clock,
                               RecordingSettings* shared)
    : capture_(std::move(capture)),
      unavailableReason_(std::move(unavailableReason)),
      settings_(shared != nullptr ? shared : &ownSettings_),
      recorder_(clock) {}

MacroRecording::~MacroRecording() {
  if (capture_) capture_->Stop();
}

Outcome MacroRecording::StartReading() {
  if (!capture_) {
    std::lock_guard<std::mutex> lock(mutex_);
    recorder_.Stop();
    return Outcome(Failure::kUnavailable, unavailableReason_);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    inputLost_ = false;
    reading_ = true;
  }
  // Outside the lock: the capture's thread holds its own lock while it waits
  // for this one in the callback, so taking them the other way round could
  // stop both.
  Outcome started = capture_->Start([this](const InputEvent& event) { OnInput(event); });
  if (!started) {
    std::lock_guard<std::mutex> lock(mutex_);
    recorder_.Stop();
    reading_ = false;
  }
  Notify();
  return started;
}

void MacroRecording::TakeSharedSettings() {
  recorder_.SetHotkey(settings_->Hotkey());
  recorder_.SetOptions(settings_->Options());
}

Outcome MacroRecording::Record() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    TakeSharedSettings();
    recorder_.Arm();
    items_.clear();
    newItems_.clear();
  }
  return StartReading();
}

Outcome MacroRecording::Capture() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    TakeSharedSettings();
    recorder_.BeginCapture();
    items_.clear();
    newItems_.clear();
  }
  return StartReading();
}

Outcome MacroRecording::SelectHotkey() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    TakeSharedSettings();
    recorder_.BeginHotkeySelection();
  }
  return StartReading();
}

void MacroRecording::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    recorder_.Stop();
    reading_ = false;
  }
  // Outside the lock: stopping waits for a callback that may be waiting for it.
  if (capture_) capture_->Stop();
  Notify();
}

void MacroRecording::OnInput(const InputEvent& event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!reading_) return;
    if (event.hasPosition) {
      pointerX_ = event.x;
      pointerY_ = event.y;
    }
    switch (event.kind) {
      case InputEvent::Kind::kKey:
        if (event.makeCode != 0) recorder_.OnKey({event.down, event.makeCode, event.e0, 0});
        break;
      case InputEvent::Kind::kButton: {
        const auto bit = static_cast<uint8_t>(event.button & 0x1F);
        recorder_.OnMouse({event.down ? bit : uint8_t{0}, event.down ? uint8_t{0} : bit, 0, pointerX_, pointerY_});
        break;
      }
      case InputEvent::Kind::kWheel:
        recorder_.OnMouse({0, 0, event.wheelDelta, pointerX_, pointerY_});
        break;
      case InputEvent::Kind::kMotion:
        // Sources that know no screen position are followed by their motion.
        if (!event.hasPosition) {
          pointerX_ += event.dx;
          pointerY_ += event.dy;
        }
        recorder_.OnMouse({0, 0, 0, pointerX_, pointerY_});
        break;
      case InputEvent::Kind::kLost:
        inputLost_ = true;
        recorder_.Stop();
        break;
    }
    Collect();
    if (recorder_.State() == RecorderState::kIdle && !recorder_.SelectingHotkey()) {
      // Idle again: stop reading at once. Called from the callback, this
      // ends the capture's reading after it returns, without waiting for it.
      reading_ = false;
      capture_->Stop();
    }
  }
  Notify();
}

void MacroRecording::Collect() {
  auto made = recorder_.TakeItems();
  items_.insert(items_.end(), made.begin(), made.end());
  newItems_.insert(newItems_.end(), made.begin(), made.end());
  if (auto chosen = recorder_.TakeChosenHotkey()) {
    chosenHotkey_ = chosen;
    settings_->SetHotkey(*chosen);  // the other recordings use it from their next start
  }
}

void MacroRecording::Notify() {
  std::lock_guard<std::recursive_mutex> lock(callbackMutex_);
  if (changed_) {
    auto changed = changed_;  // the callback may replace itself
    changed();
  }
}

RecorderState MacroRecording::State() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return recorder_.State();
}

bool MacroRecording::SelectingHotkey() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return recorder_.SelectingHotkey();
}

bool MacroRecording::Reading() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reading_;
}

bool MacroRecording::InputLost() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inputLost_;
}

int MacroRecording::Hotkey() const { return settings_->Hotkey(); }

std::string MacroRecording::HotkeyName() const { return LookupKeyName(Hotkey()); }

void MacroRecording::SetHotkey(int usage) {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_->SetHotkey(usage);
  recorder_.SetHotkey(usage);
}

RecordOptions MacroRecording::Options() const { return settings_->Options(); }

Outcome MacroRecording::SetOptions(const RecordOptions& options) {
  std::lock_guard<std::mutex> lock(mutex_);
  recorder_.SetOptions(options);
  return settings_->SetOptions(options);
}

void MacroRecording::SetPointerOverRecordControls(bool over) {
  std::lock_guard<std::mutex> lock(mutex_);
  recorder_.SetPointerOverRecordControls(over);
}

std::vector<MacroItem> MacroRecording::Items() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_;
}

std::vector<MacroItem> MacroRecording::TakeNewItems() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(newItems_, {});
}

std::optional<int> MacroRecording::TakeChosenHotkey() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(chosenHotkey_, std::nullopt);
}

void MacroRecording::SetChangedCallback(std::function<void()> changed) {
  std::lock_guard<std::recursive_mutex> lock(callbackMutex_);
  changed_ = std::move(changed);
}

}  // namespace quorix
