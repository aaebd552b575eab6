#include "options/language_setting.h"

#include <filesystem>
#include <system_error>

#include "base/file_replace.h"
#include "base/ini_file.h"
#include "base/text_case.h"
#include "options/options_store.h"
#include "texts/language.h"

namespace quorix {
namespace {

// The code page and the start-up go on in English when set.ini cannot be read.
int LanguageIdOr1033(const std::string& setIniPath) {
  const Result<int> id = ReadLanguageId(setIniPath);
  return id ? *id : kEnglishLanguageId;
}

}  // namespace

bool ApplyLangIdArguments(const std::vector<std::string>& args, const std::string& setIniPath) {
  bool seen = false;
  for (const std::string& argument : args) {
    const std::string arg = AsciiLower(argument);
    if (arg.rfind("/langid=", 0) != 0) continue;
    seen = true;
    // A value with a line break could not be stored; it is dropped like a
    // failed write and the stored language stays.
    WriteProfileString(setIniPath, kOptionsSection, "language", arg.substr(8));
  }
  return seen;
}

Result<int> ReadLanguageId(const std::string& setIniPath) {
  const IniDocument file = IniDocument::Load(setIniPath);
  if (!file.ReadError().empty()) return Outcome(Failure::kCannotReadFile, file.ReadError());
  return file.GetInt(kOptionsSection, "language", kEnglishLanguageId);
}

int AnsiCodePageFor(int languageId) {
  return languageId == kJapaneseLanguageId ? kCodePageShiftJis : kCodePageWindows1252;
}

int SetIniCodePage(const std::string& setIniPath) { return AnsiCodePageFor(LanguageIdOr1033(setIniPath)); }

Outcome LoadLanguageFile(TextTables& tables, const std::string& languageFile, int languageId) {
  const IniDocument file = IniDocument::Load(languageFile, AnsiCodePageFor(languageId));
  if (!file.ReadError().empty()) return Outcome(Failure::kCannotReadFile, file.ReadError());
  LoadLanguage(
      tables,
      [&file](const std::string& section, const std::string& key, const std::string& def) {
        return file.GetString(section, key, def, kIniValueLimit);
      },
      languageId);
  return {};
}

LanguageSelection SelectLanguage(const std::vector<std::string>& args, const std::string& dataFolder,
                                 const std::string& programFolder) {
  const std::string setIni = (std::filesystem::path(dataFolder) / kSetIniName).string();
  ApplyLangIdArguments(args, setIni);
  LanguageSelection selection;
  selection.languageId = LanguageIdOr1033(setIni);
  selection.texts = DefaultTextTables();
  LoadLanguageFile(selection.texts, (std::filesystem::path(programFolder) / kLanguageFileName).string(),
                   selection.languageId);
  return selection;
}

std::string DataFolderIn(const std::string& documentsFolder) {
  std::string folder = documentsFolder;
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + "QUORIX Gaming Mouse Software/";
}

Outcome PrepareDataFolder(const std::string& dataFolder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(fs::path(dataFolder) / "Favorite", error);
  const std::error_code created = error;
  if (fs::is_directory(fs::path(dataFolder) / "Favorite", error)) return {};
  return Outcome(Failure::kCannotWriteFile, FileErrorReason(created ? created : error));
}

}  // namespace quorix
