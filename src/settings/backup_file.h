#pragma once
// The backup file (.bf): the whole settings memory plus the program's
// per-profile application data.
//
//   magic        string  "_@_BF6E_" (written); "_@_BF6_" read (no trailer)
//   imageLength  int32   number of image bytes
//   image        bytes
//   trailer      5 x (string appName, string appPath, int32 appEnabled), "_@_BF6E_" only

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "settings/profile_apps.h"

namespace quorix {

inline constexpr const char* kBackupMagic = "_@_BF6E_";
inline constexpr const char* kBackupMagicOld = "_@_BF6_";

struct BackupContents {
  std::vector<uint8_t> image;
  bool hasTrailer = false;  // false for an old file: the application data is cleared
  ProfileApps apps{};       // all empty for an old file
};

std::vector<uint8_t> EncodeBackup(std::span<const uint8_t> image, const ProfileApps& apps);

// What is wrong with a file that is refused. The user is told the same for
// each (the kInvalidFormat failure); the value is for tests and diagnostics.
enum class BackupDefect : uint8_t {
  kNone,
  kBadMagic,       // not a backup file
  kNoImageLength,  // it ends before the image length
  kEmptyImage,     // an image length of 0 or less
  kImageTooLong,   // longer than the mouse's memory
  kImageCut,       // it ends inside the image
  kTrailerCut,     // it ends inside the application data
};

// Checks and reads a whole file: magic, a positive imageLength, the image and
// (new magic) the complete trailer must all be there, and the image must not
// be longer than maxImageLength (pass a negative value for no limit). On any
// failure returns false with what is wrong in `defect` and leaves `out`
// untouched.
bool ParseBackup(std::span<const uint8_t> bytes, BackupContents& out, BackupDefect& defect,
                 long long maxImageLength = -1);

}  // namespace quorix
