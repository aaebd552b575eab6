#pragma once
// set.ini, the program options' file, as the session reads and writes it.
// Called from any thread; each call opens the file afresh.

#include <string>
#include <vector>

#include "base/result.h"
#include "options/options_store.h"

namespace quorix {

// The program options of a set.ini, read without touching the desktop's
// pointer settings; application paths get their display names from
// `applicationFolders`. A missing file gives the defaults; kCannotReadFile,
// with the system's reason as the detail, for one that is there and cannot be
// read.
Result<Options> ReadSetIni(const std::string& setIni, const std::vector<std::string>& applicationFolders);

// Creates set.ini's folder (the data folder) when it is not there yet.
// kCannotWriteFile, with the system's reason as the detail, when it cannot.
// A caller that words the two failures differently calls it before
// WriteSetIni.
Outcome PrepareSetIniFolder(const std::string& setIni);
// Creates the data folder when needed and writes `options` into set.ini in
// `codePage` (the one the file was read in, also when the language changes
// with this write). `language`, when given, is kept beside the options the way
// the start-up switch writes it. kCannotWriteFile, with the system's reason as
// the detail, when the folder or the file cannot be written.
Outcome WriteSetIni(const std::string& setIni, const Options& options, int codePage,
                    const std::string* language = nullptr);

}  // namespace quorix
