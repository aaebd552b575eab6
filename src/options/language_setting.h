#pragma once
// The language of the interface: the "/langid=" start-up switch, the
// language identifier kept in set.ini, and loading the text tables from
// language.ini with the ini engine.

#include <string>
#include <vector>

#include "base/result.h"
#include "texts/text_tables.h"

namespace quorix {

inline constexpr const char* kLanguageFileName = "language.ini";

// Handles "/langid=" among the start-up arguments: an argument whose first 8
// characters, in any case, are "/langid=" has the rest (lower-cased, as every
// argument is) written to set.ini [ARG] language. Every such argument is
// written in order, so the last one wins. Returns true when one was seen.
bool ApplyLangIdArguments(const std::vector<std::string>& args, const std::string& setIniPath);

// set.ini [ARG] language as an integer, 1033 when missing. A file that is
// there but cannot be read is kCannotReadFile, with the system's reason as
// the detail.
Result<int> ReadLanguageId(const std::string& setIniPath);

// The code page Windows saves text files in for a language: 932 (Shift-JIS)
// for Japanese, 1041, and Windows-1252 for every other language.
int AnsiCodePageFor(int languageId);
// The code page of set.ini itself: AnsiCodePageFor its own language key
// (digits, which read the same in every code page).
int SetIniCodePage(const std::string& setIniPath);

// Reads the language file once and fills `tables` from its section
// `languageId` (texts/language.h gives the rules). A missing file or section
// leaves the tables as they are. A file that is there but cannot be read
// leaves them too: kCannotReadFile, with the system's reason as the detail.
Outcome LoadLanguageFile(TextTables& tables, const std::string& languageFile, int languageId);

// Start-up steps 1-3 of the language selection: "/langid=" among `args` is
// stored in the data folder's set.ini, the language identifier is read back
// from there (1033 when missing) and the text tables are loaded from the
// program folder's language.ini. The font face is then ChooseUiFace() with the
// returned identifier.
struct LanguageSelection {
  int languageId = 1033;
  TextTables texts;
};
LanguageSelection SelectLanguage(const std::vector<std::string>& args, const std::string& dataFolder,
                                 const std::string& programFolder);

// The folder the program keeps its writable data in: the documents folder
// followed by "QUORIX Gaming Mouse Software/" (with the trailing separator).
std::string DataFolderIn(const std::string& documentsFolder);
// Creates the data folder and its "Favorite" sub-folder; an existing folder
// is fine. Fails (kCannotWriteFile) when either is missing afterwards, the
// detail saying why ("permission denied", "not a directory").
Outcome PrepareDataFolder(const std::string& dataFolder);

}  // namespace quorix
