#include "macro/macro_library.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/ini_file.h"
#include "base/text_case.h"
#include "macro/macro_file.h"
#include "macro/macro_memory.h"
#include "texts/language.h"
#include "texts/text_tables.h"

namespace quorix {

namespace fs = std::filesystem;

namespace {

MacroListItem GroupHeader(const std::string& caption, int groupId, int count, int level, int parent, bool open) {
  MacroListItem row;
  row.name = caption;
  row.path = "@_INTERNAL_" + std::to_string(groupId);
  row.kind = MacroRowKind::kFolder;
  row.size = count;
  row.id = groupId;
  row.level = level;
  row.parent = parent;
  row.expanded = open ? 1 : 0;
  return row;
}

MacroListItem Caption(const std::string& text, int id) {
  MacroListItem row;
  row.name = text;
  row.kind = MacroRowKind::kCaption;
  row.id = id;
  return row;
}

// One function library file: its entries under sections prefix0, prefix1, ...
struct LibrarySource {
  const IniDocument* ini;
  std::string folder;  // macro entry paths are relative to it
  std::string prefix;
};

int CountPresent(const LibrarySource& source) {
  int count = 0;
  for (int n = 0; n < 100; ++n) {
    if (source.ini->GetString(source.prefix + std::to_string(n), "name", kNoStringMarker) != kNoStringMarker) ++count;
  }
  return count;
}

// Appends the group header and (when the group is open) its entries.
void AppendGroup(const LibrarySource& source, const std::string& caption, int groupId, int level, int parent, bool open,
                 const FunctionListInputs& inputs, std::vector<MacroListItem>& rows) {
  if (CountPresent(source) == 0) return;
  const size_t headerAt = rows.size();
  rows.push_back(GroupHeader(caption, groupId, 0, level, parent, open));
  int count = 0;
  for (int n = 0; n < 160; ++n) {
    const std::string section = source.prefix + std::to_string(n);
    const std::string name = source.ini->GetString(section, "name", kNoStringMarker);
    if (name == kNoStringMarker) continue;
    MacroListItem row;
    row.description = source.ini->GetString(section, "desc", "");
    row.type = source.ini->GetInt(section, "type", 0);
    row.op1 = source.ini->GetInt(section, "op1", 0);
    row.op2 = source.ini->GetInt(section, "op2", 0);
    row.op3 = source.ini->GetInt(section, "op3", 0);
    if ((row.type == 18 || row.type == 19) && inputs.deviceTypeCode != 2 && inputs.deviceTypeCode != 3) continue;
    std::string title;
    if (row.type >= kModeOnce && row.type <= kModeFire) {
      std::string relative = source.ini->GetString(section, "path", "");
      if (relative.empty()) continue;
      // Library files written on Windows separate folders with backslashes.
      std::replace(relative.begin(), relative.end(), '\\', '/');
      fs::path full = fs::path(source.folder) / fs::path(relative).relative_path();
      MacroFileHeader header;
      if (ReadMacroFileHeader(full.string(), header) != MacroFileStatus::kOk) continue;
      row.path = full.string();
      row.time = header.time;
      row.size = header.ShownSize();
      title = header.name;
    } else {
      title = FunctionText(*inputs.keyTexts, row.type, row.op1, row.op2, row.op3);
    }
    row.name = title.empty() ? name : title;
    ++count;
    if (row.type == 2 && (row.op1 & 1) && !inputs.osVersionFlag) continue;
    if (!open) continue;
    row.level = level + 1;
    row.parent = groupId;
    rows.push_back(std::move(row));
  }
  rows[headerAt].size = count;
}

std::vector<int> UsedSlotsByName(const MacroSlots& slots) {
  std::vector<int> used;
  for (int i = 0; i < kMacroSlotCount; ++i) {
    if (slots[static_cast<size_t>(i)].InUse()) used.push_back(i);
  }
  std::stable_sort(used.begin(), used.end(), [&slots](int a, int b) {
    return AsciiLower(slots[static_cast<size_t>(a)].name) < AsciiLower(slots[static_cast<size_t>(b)].name);
  });
  return used;
}

// A row for a device macro slot: its name and the code address its buttons use.
MacroListItem DeviceSlotRow(const SettingsImage& image, int index) {
  const MacroSlot& slot = image.macroSlots[static_cast<size_t>(index)];
  MacroListItem row;
  row.name = slot.name;
  row.type = kModeOnce;
  row.op1 = slot.codeAddress & 0xFF;
  row.op2 = (slot.codeAddress >> 8) & 0xFF;
  row.parameter = 0;
  row.kind = MacroRowKind::kDeviceSlot;
  row.slot = index;
  row.start = slot.start;
  return row;
}

std::string UniqueFilePath(const fs::path& folder, int64_t now) {
  fs::path candidate = folder / (std::to_string(now) + ".mf");
  std::error_code error;
  for (int n = 1; fs::exists(candidate, error) && n < 10000; ++n) {
    candidate = folder / (std::to_string(now) + "_" + std::to_string(n) + ".mf");
  }
  return candidate.string();
}

}  // namespace

LibraryTexts MakeLibraryTexts(const TextTables& t) {
  LibraryTexts texts;
  texts.mouse = t[ClassName::kMouse];
  texts.keyboard = t[ClassName::kKeyboard];
  texts.advanced = t[ClassName::kAdvanced];
  texts.userMacro = t[ClassName::kUserMacro];
  texts.consumer = t[FnName::kMultimedia];
  texts.addStatus = t[Msg::kAddToFavorite];
  texts.functionLibrary = t[Msg::kFunctionLibrary];
  texts.macroListPc = t[Msg::kMacroListPc];
  texts.mouseMemory = t[Msg::kMouseMemory];
  texts.empty = t[Msg::kEmpty];
  return texts;
}

MacroLibrary::MacroLibrary(std::string root, std::string programFolder, LibraryTexts texts)
    : root_(std::move(root)), programFolder_(std::move(programFolder)), texts_(std::move(texts)) {}

void MacroLibrary::Scan() {
  files_.clear();
  invalidFiles_.clear();
  nextId_ = 1;
  ScanFolder(root_, 0, 0);
  std::stable_sort(files_.begin(), files_.end(), [](const MacroListItem& a, const MacroListItem& b) {
    if (a.name != b.name) return a.name < b.name;
    return a.time > b.time;
  });
}

void MacroLibrary::ScanFolder(const std::string& path, int parent, int level) {
  std::error_code error;
  std::vector<fs::path> folders;
  std::vector<fs::path> macroFiles;
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      folders.push_back(it->path());
    } else if (EndsWithNoCase(it->path().extension().string(), ".mf")) {
      macroFiles.push_back(it->path());
    }
  }
  std::sort(folders.begin(), folders.end());
  std::sort(macroFiles.begin(), macroFiles.end());
  for (const auto& folder : folders) {
    MacroListItem row;
    row.kind = MacroRowKind::kFolder;
    row.level = level;
    row.id = nextId_++;
    row.parent = parent;
    row.name = folder.filename().string();
    row.path = folder.string();
    row.expanded = openFolders_.count(row.path) ? 1 : 0;
    files_.push_back(row);
    const size_t at = files_.size() - 1;
    const size_t before = files_.size();
    ScanFolder(row.path, row.id, level + 1);
    int children = 0;
    for (size_t i = before; i < files_.size(); ++i) children += files_[i].parent == files_[at].id;
    files_[at].size = children;
  }
  for (const auto& file : macroFiles) {
    MacroFileHeader header;
    MacroFileStatus status = ReadMacroFileHeader(file.string(), header);
    if (status == MacroFileStatus::kInvalidFormat) invalidFiles_.push_back(file.string());
    if (status != MacroFileStatus::kOk) continue;
    MacroListItem row;
    row.name = header.name;
    row.path = file.string();
    row.size = header.ShownSize();
    row.type = NormaliseMode(header.mode);
    row.time = header.time;
    row.level = level;
    row.id = nextId_++;
    row.parent = parent;
    files_.push_back(row);
  }
}

const MacroListItem* MacroLibrary::FindRow(int id) const {
  for (const auto& row : files_) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

void MacroLibrary::SetGroupOpen(int groupId, bool open) {
  if (open) {
    openGroups_.insert(groupId);
  } else {
    openGroups_.erase(groupId);
  }
}

FunctionListInputs FunctionListInputsFor(const SettingsImage& current, const KeyTexts& keyTexts) {
  FunctionListInputs inputs;
  inputs.keyTexts = &keyTexts;
  if (!current.devicePath.empty()) {
    inputs.device = &current;
    inputs.deviceTypeCode = current.modelCode;
  }
  // The flag marks the one desktop whose touch entries (type 2, op1 bit 0)
  // make sense; those entries drive a feature this platform does not have,
  // so they stay hidden here.
  inputs.osVersionFlag = false;
  return inputs;
}

void MacroLibrary::SetFolderOpen(const std::string& path, bool open) {
  if (open) {
    openFolders_.insert(path);
  } else {
    openFolders_.erase(path);
  }
  for (MacroListItem& row : files_)
    if (row.kind == MacroRowKind::kFolder && row.path == path) row.expanded = open ? 1 : 0;
}

FunctionList MacroLibrary::BuildFunctionList(const FunctionListInputs& inputs) const {
  FunctionList list;
  auto& rows = list.rows;
  const IniDocument builtIn = IniDocument::Load((fs::path(programFolder_) / "bulitin.ini").string());
  const struct {
    const char* prefix;
    const std::string* caption;
    int group;
  } categories[] = {{"Advanced", &texts_.advanced, kGroupAdvanced},
                    {"Mouse", &texts_.mouse, kGroupMouse},
                    {"Keyboard", &texts_.keyboard, kGroupKeyboard},
                    {"Consumer", &texts_.consumer, kGroupConsumer}};
  for (const auto& category : categories) {
    AppendGroup({&builtIn, programFolder_, category.prefix}, *category.caption, category.group, 0, 0,
                GroupOpen(category.group), inputs, rows);
  }

  // Additional libraries, each needing a [DB] name and tag, in name order.
  struct Library {
    std::string name, tag, folder;
    IniDocument ini;
  };
  std::vector<Library> libraries;
  std::error_code error;
  const fs::path libraryFolder = fs::path(programFolder_) / "library";
  std::vector<fs::path> iniFiles;
  for (fs::directory_iterator it(libraryFolder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (!it->is_directory(typeError) && EndsWithNoCase(it->path().extension().string(), ".ini"))
      iniFiles.push_back(it->path());
  }
  std::sort(iniFiles.begin(), iniFiles.end());
  for (const auto& file : iniFiles) {
    Library library{"", "", libraryFolder.string(), IniDocument::Load(file.string())};
    library.name = library.ini.GetString("DB", "name", kNoStringMarker);
    library.tag = library.ini.GetString("DB", "tag", kNoStringMarker);
    if (library.name == kNoStringMarker || library.tag == kNoStringMarker) continue;
    libraries.push_back(std::move(library));
  }
  std::stable_sort(libraries.begin(), libraries.end(),
                   [](const Library& a, const Library& b) { return a.name < b.name; });
  if (!libraries.empty()) {
    const bool open = GroupOpen(kGroupLibraries);
    rows.push_back(
        GroupHeader(texts_.functionLibrary, kGroupLibraries, static_cast<int>(libraries.size()), 0, 0, open));
    int group = kGroupLibraries + 1;
    std::vector<MacroListItem> nested;
    for (const auto& library : libraries) {
      AppendGroup({&library.ini, library.folder, library.tag}, library.name, group, 1, kGroupLibraries,
                  GroupOpen(group), inputs, nested);
      ++group;
    }
    if (open) rows.insert(rows.end(), nested.begin(), nested.end());
  }

  if (inputs.device) {
    const SettingsImage& image = *inputs.device;
    const std::vector<int> used = UsedSlotsByName(image.macroSlots);
    if (!used.empty()) {
      const bool open = GroupOpen(kGroupUserMacro);
      rows.push_back(GroupHeader(texts_.userMacro, kGroupUserMacro, static_cast<int>(used.size()), 0, 0, open));
      if (open) {
        for (int index : used) {
          MacroListItem row = DeviceSlotRow(image, index);
          row.level = 1;
          row.parent = kGroupUserMacro;
          rows.push_back(row);
        }
      }
    }
  }
  rows.push_back(Caption(texts_.macroListPc, 0));

  if (inputs.device) {
    const SettingsImage& image = *inputs.device;
    int id = 100000;
    list.deviceRows.push_back(Caption(texts_.mouseMemory, id++));
    for (int index : UsedSlotsByName(image.macroSlots)) {
      const MacroSlot& slot = image.macroSlots[static_cast<size_t>(index)];
      MacroListItem row = DeviceSlotRow(image, index);
      row.type = NormaliseMode(slot.mode);
      row.size = slot.length;
      row.profiles = MacroProfileMask(image, index);
      row.id = id++;
      list.deviceRows.push_back(row);
    }
    for (int index = 0; index < kMacroSlotCount; ++index) {
      if (image.macroSlots[static_cast<size_t>(index)].InUse()) continue;
      MacroListItem row = DeviceSlotRow(image, index);
      row.name = texts_.empty;
      row.id = id++;
      list.deviceRows.push_back(row);
      break;
    }
  }
  return list;
}

Result<std::string> MacroLibrary::Add(const std::string& name, int mode, const std::vector<MacroItem>& items,
                                      int folderId, int64_t now) {
  std::string folder = root_;
  if (folderId != 0) {
    const MacroListItem* row = FindRow(folderId);
    if (!row || row->kind != MacroRowKind::kFolder) return Failure::kCannotWriteFile;
    folder = row->path;
    openFolders_.insert(folder);
  }
  const std::string path = UniqueFilePath(folder, now);
  if (Outcome written = WriteMacroFile(path, name, mode, items, now); !written) return written;
  Scan();
  return path;
}

std::string MacroLibrary::AddStatusText(const std::string& name) const {
  std::string text = texts_.addStatus;
  if (size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, name);
  return text;
}

bool MacroLibrary::NewFolder(const std::string& name) {
  const std::string clean = CleanFileName(name);
  if (clean.empty() || clean == "." || clean == "..") return false;
  const fs::path folder = fs::path(root_) / clean;
  std::error_code error;
  if (!fs::create_directory(folder, error)) return false;
  openFolders_.insert(folder.string());
  Scan();
  return true;
}

bool MacroLibrary::Rename(const MacroListItem& row, const std::string& newName, int64_t now) {
  if (row.kind == MacroRowKind::kDeviceSlot || row.path.empty() || row.path.rfind("@_INTERNAL_", 0) == 0) return false;
  bool done = false;
  if (row.kind == MacroRowKind::kFolder) {
    const std::string clean = CleanFileName(newName);
    if (clean.empty() || clean == "." || clean == "..") return false;
    const fs::path from(row.path);
    const fs::path to = from.parent_path() / clean;
    std::error_code error;
    if (fs::exists(to, error)) return false;
    fs::rename(from, to, error);
    done = !error;
    if (done && openFolders_.erase(row.path)) openFolders_.insert(to.string());
  } else if (row.type >= kModeOnce && row.type <= kModeFire) {
    done = RewriteMacroFileName(row.path, newName, now) == MacroFileStatus::kOk;
  }
  if (done) Scan();
  return done;
}

MacroLibrary::DeleteResult MacroLibrary::Delete(const MacroListItem& row) {
  // Only rows of this library's file list name real files or folders.
  const MacroListItem* known = FindRow(row.id);
  if (row.kind == MacroRowKind::kDeviceSlot || !known || known->path != row.path ||
      row.path.rfind("@_INTERNAL_", 0) == 0) {
    return DeleteResult::kNotAFile;
  }
  if (known->kind == MacroRowKind::kFolder) {
    for (const auto& other : files_) {
      if (other.parent == known->id) return DeleteResult::kFolderNotEmpty;
    }
  }
  std::error_code error;
  if (!fs::remove(known->path, error)) return DeleteResult::kFailed;
  Scan();
  return DeleteResult::kDeleted;
}

}  // namespace quorix
