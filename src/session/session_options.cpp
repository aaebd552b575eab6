#include "session/session_options.h"

#include <mutex>
#include <utility>

#include "base/ini_file.h"
#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "session/session.h"

namespace quorix {

Outcome Session::ReloadOptions() {
  Result<Options> read = ReadOptions(setIni_);
  if (!read) return read.outcome();
  std::lock_guard<std::mutex> lock(optionsMutex_);
  options_ = std::move(read).value();
  return {};
}

Options Session::CurrentOptions() const {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  return options_;
}

Outcome Session::SaveOptions(const Options& options) {
  if (setIni_.empty()) return {};
  if (Outcome written = WriteSetIni(setIni_, options, SetIniCodePage(setIni_)); !written) return written;
  ReloadOptions();  // a failed read back keeps the options of the last read
  return {};
}

Result<Options> Session::ReadOptions(const std::string& setIni) const {
  return ReadSetIni(setIni, applicationFolders_);
}

Result<BindResult> Session::BindApplication(const std::string& setIni, int profile, BindApplicationHooks hooks,
                                            const std::string& namePrompt) const {
  Result<Options> options = ReadOptions(setIni);
  if (!options) return options.outcome();
  const int codePage = SetIniCodePage(setIni);
  hooks.displayName = [this](const std::string& path) { return AppDisplayName(path, applicationFolders_); };
  Outcome saved;
  hooks.saveOptions = [&] {
    saved = WriteSetIni(setIni, *options, codePage);
    if (!saved && saved.detail.empty()) saved.detail = setIni;
  };
  const BindResult bound = quorix::BindApplication(options->apps, profile, hooks, namePrompt);
  if (!saved) return saved;
  return bound;
}

Result<Options> ReadSetIni(const std::string& setIni, const std::vector<std::string>& folders) {
  // No PointerSettings: reading options must not change the desktop.
  return LoadOptions(
      setIni, [&folders](const std::string& path) { return AppDisplayName(path, folders); }, nullptr,
      SetIniCodePage(setIni));
}

Outcome PrepareSetIniFolder(const std::string& setIni) {
  const std::string folder = setIni.substr(0, setIni.size() - std::string(kSetIniName).size());
  return PrepareDataFolder(folder);
}

Outcome WriteSetIni(const std::string& setIni, const Options& options, int codePage, const std::string* language) {
  if (Outcome folder = PrepareSetIniFolder(setIni); !folder) return folder;
  if (language != nullptr) {
    if (Outcome written = WriteProfileString(setIni, kOptionsSection, "language", *language); !written) return written;
  }
  return SaveOptions(setIni, options, codePage);
}

}  // namespace quorix
