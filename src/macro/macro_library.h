#pragma once
// The macro library on disk and the function list the windows show.
//
// The library is a folder tree of macro files below its root (documents
// folder, "QUORIX Gaming Mouse Software/Favorite"). Beside it the program
// ships function libraries: "bulitin.ini" (sections Advanced0.., Mouse0..,
// Keyboard0.., Consumer0..) and "library/*.ini" (a [DB] section with name and
// tag, entries in sections tag0, tag1, ...). The function list joins the
// function libraries, the device's macro slots and a caption row; the device
// rows ("Mouse memory") form a list of their own.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/result.h"
#include "keys/button_function.h"
#include "macro/macro_instruction.h"
#include "settings/settings_image.h"

namespace quorix {

struct TextTables;

// What a row of a list stands for.
enum class MacroRowKind {
  kEntry,       // a function or a macro file: `type` says which
  kDeviceSlot,  // a macro slot of the mouse: `slot`, `start`
  kFolder,      // a library folder, or a group header (path "@_INTERNAL_<group id>")
  kCaption,     // a caption line between the groups
};

// One row of a list.
struct MacroListItem {
  MacroRowKind kind = MacroRowKind::kEntry;
  std::string name;
  std::string description;
  std::string path;  // file or folder path, or "@_INTERNAL_<group id>"
  int32_t size = 0;  // files: shown size; folders and headers: number of children
  int32_t type = 0;  // entries and slots: 8..10 a macro's mode, else a function type; 0 otherwise
  int32_t op1 = 0, op2 = 0, op3 = 0;
  int32_t parameter = 255;  // fourth function byte; 255: not a device macro
  int32_t expanded = 0;
  int64_t time = 0;
  int32_t level = 0;
  int32_t id = 0;
  int32_t parent = 0;
  int32_t slot = 0;
  int32_t start = 0;     // kDeviceSlot: the record's address in the mouse; 0: the slot is empty
  int32_t profiles = 0;  // bit p: a button of profile p runs this macro
};

inline constexpr int kGroupAdvanced = 201;
inline constexpr int kGroupMouse = 202;
inline constexpr int kGroupKeyboard = 203;
inline constexpr int kGroupConsumer = 204;
inline constexpr int kGroupUserMacro = 205;
inline constexpr int kGroupLibraries = 210;

// The captions the lists show, from the text tables.
struct LibraryTexts {
  std::string advanced = "Advanced";
  std::string mouse = "Mouse";
  std::string keyboard = "Keyboard";
  std::string consumer = "Mutimedia";
  std::string functionLibrary = "Function lbrary";
  std::string userMacro = "User Macro";
  std::string macroListPc = "Macro list (PC)";
  std::string mouseMemory = "Mouse memory";
  std::string empty = "Empty";
  std::string addStatus = "Add \"%s\" to favorite...";
};
LibraryTexts MakeLibraryTexts(const TextTables& texts);

// What the function list depends on besides the files.
struct FunctionListInputs {
  const KeyTexts* keyTexts = nullptr;     // function naming; required
  const SettingsImage* device = nullptr;  // null when no device is connected
  int deviceTypeCode = 0;                 // types 18 and 19 only for codes 2 and 3
  bool osVersionFlag = false;             // type 2 entries with op1 bit 0
};

// The inputs for the current device as the session holds it (an image
// without a device path: none connected). keyTexts must outlive the result.
FunctionListInputs FunctionListInputsFor(const SettingsImage& current, const KeyTexts& keyTexts);

struct FunctionList {
  std::vector<MacroListItem> rows;        // function libraries, "User Macro", the PC caption
  std::vector<MacroListItem> deviceRows;  // "Mouse memory" and the slots (empty without a device)
};

class MacroLibrary {
 public:
  // root: the library folder; programFolder: where bulitin.ini and library/ are.
  MacroLibrary(std::string root, std::string programFolder, LibraryTexts texts = {});

  const std::string& Root() const { return root_; }

  // Re-reads the folder tree: folders and readable macro files, sorted by name
  // (equal names newest first). Files with a wrong version are left out and
  // listed in InvalidFiles().
  void Scan();
  const std::vector<MacroListItem>& Files() const { return files_; }
  const std::vector<std::string>& InvalidFiles() const { return invalidFiles_; }

  // The function list from the function libraries and the device's slots.
  FunctionList BuildFunctionList(const FunctionListInputs& inputs) const;

  // Open and closed groups and folders (by group id or folder path).
  void SetGroupOpen(int groupId, bool open);
  bool GroupOpen(int groupId) const { return openGroups_.count(groupId) != 0; }
  // The same for the library's folders; rescans keep it (Add and NewFolder
  // open their folder).
  void SetFolderOpen(const std::string& path, bool open);
  bool FolderOpen(const std::string& path) const { return openFolders_.count(path) != 0; }

  // Writes a new macro file into the folder of row folderId (0: the root),
  // named after `now` in seconds; a name already taken gets a suffix, so two
  // additions in one second never overwrite each other. Returns the path,
  // or kCannotWriteFile (with the system's reason) when the file could not be
  // written or folderId is no folder, kLackOfSpace for a body too large for a
  // macro file. Marks the folder open and rescans.
  Result<std::string> Add(const std::string& name, int mode, const std::vector<MacroItem>& items, int folderId,
                          int64_t now);
  // The status text Add shows.
  std::string AddStatusText(const std::string& name) const;

  // Creates a folder directly below the root (name cleaned); rescans.
  bool NewFolder(const std::string& name);

  // Renames a file row (rewrites the file) or a folder row (cleaned name,
  // same parent); rescans. False for other rows or on failure; a device
  // macro is renamed in the mouse with RenameMacroSlot (macro_memory.h).
  bool Rename(const MacroListItem& row, const std::string& newName, int64_t now);

  enum class DeleteResult { kDeleted, kFolderNotEmpty, kNotAFile, kFailed };
  // Deletes a file row or an empty folder row. A device slot, group header or
  // caption is never handed to the file system (kNotAFile): the caller deletes
  // a device macro through the macro memory. Rescans after a change.
  DeleteResult Delete(const MacroListItem& row);

 private:
  void ScanFolder(const std::string& path, int parent, int level);
  const MacroListItem* FindRow(int id) const;

  std::string root_;
  std::string programFolder_;
  LibraryTexts texts_;
  std::vector<MacroListItem> files_;
  std::vector<std::string> invalidFiles_;
  std::set<int> openGroups_;
  std::set<std::string> openFolders_;
  int nextId_ = 1;
};

}  // namespace quorix
