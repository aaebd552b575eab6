#pragma once
// The last component of a path, for both separators: programs are named by
// Linux paths and by Windows paths (games under Wine) alike.

#include <string>

namespace quorix {

inline std::string BaseName(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace quorix
