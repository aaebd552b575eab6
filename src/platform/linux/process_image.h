#pragma once
// The image file name of a process, read from /proc. A Windows program run by
// Wine or Proton is a loader process whose command line names the program's
// .exe; that .exe is what the user binds, so it is reported instead of the
// loader.

#include <optional>
#include <string>
#include <vector>

namespace quorix {

// The arguments of /proc/<pid>/cmdline (NUL-separated).
std::vector<std::string> SplitCommandLine(const std::string& raw);

// The program's .exe from a command line when the process is a Windows
// program (argv[0] ends in .exe, or a loader named wine* runs one); nothing
// otherwise.
std::optional<std::string> WindowsProgramFromCommandLine(const std::vector<std::string>& args,
                                                          const std::string& executable);

// The process's image: the Windows program it runs, else the target of
// /proc/<pid>/exe. Nothing when the process cannot be inspected (gone, or
// owned by another user). procRoot lets tests supply their own tree.
std::optional<std::string> ProcessImagePath(int pid, const std::string& procRoot = "/proc");

}  // namespace quorix
