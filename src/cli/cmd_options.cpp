// texts, options show, options set: the text tables and set.ini from the
// command line. Nothing here touches the desktop's pointer settings; only the
// GUI applies the acceleration option.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "cli/cli.h"
#include "options/app_display_name.h"
#include "options/language_setting.h"
#include "options/options_store.h"
#include "platform/linux/xdg_paths.h"
#include "session/session.h"
#include "texts/language.h"

namespace quorix {

namespace {

// Positional arguments and "--name VALUE" / "--name=VALUE" options.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;

  const std::string* Option(const std::string& name) const {
    const std::string* found = nullptr;
    for (const auto& [key, value] : options) {
      if (key == name) found = &value;  // the last one given wins
    }
    return found;
  }
};

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& known) {
  ParsedArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0 || a == "--") {
      parsed.positional.push_back(a);
      continue;
    }
    const size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    bool isKnown = false;
    for (const std::string& k : known) isKnown = isKnown || k == name;
    if (!isKnown) throw CliError{"unknown option " + name};
    if (eq != std::string::npos) {
      parsed.options.emplace_back(name, a.substr(eq + 1));
    } else {
      if (i + 1 >= args.size()) throw CliError{name + " needs a value"};
      parsed.options.emplace_back(name, args[++i]);
    }
  }
  return parsed;
}

XdgPaths SystemPaths() { return XdgPaths(QUORIX_SOURCE_DATA_DIR); }

std::string SetIniOf(const ParsedArgs& args) {
  const std::string* dir = args.Option("--data-dir");
  return SetIniPath(dir ? std::optional<std::string>(*dir) : std::nullopt);
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}

int RunTexts(CliContext& context) {
  const ParsedArgs args = ParseArgs(context.Args(), {"--lang", "--language-file", "--data-dir"});
  if (!args.positional.empty()) throw CliError{"texts takes no argument " + args.positional.front()};
  const XdgPaths paths = SystemPaths();

  int languageId = 0;
  if (const std::string* lang = args.Option("--lang")) {
    languageId = static_cast<int>(ParseNumber(*lang, 0, 0xFFFF, "language ID"));
  } else {
    languageId = LoadCliLanguageId(SetIniOf(args));
  }
  std::string languageFile = paths.ProgramFolder() + "/" + kLanguageFileName;
  const std::string* givenFile = args.Option("--language-file");
  if (givenFile != nullptr) languageFile = *givenFile;

  // The program's own language file may be missing (English built in); one
  // named on the command line must be there.
  std::error_code error;
  if (givenFile != nullptr &&
      std::filesystem::status(languageFile, error).type() == std::filesystem::file_type::not_found) {
    throw CliError{"cannot read language file " + languageFile + ": no such file or directory"};
  }
  TextTables tables = DefaultTextTables();
  if (const Outcome loaded = LoadLanguageFile(tables, languageFile, languageId); !loaded) {
    throw CliError{"cannot read language file " + languageFile + ": " + loaded.detail};
  }
  for (const TextEntry& entry : ListTextEntries(tables)) {
    context.Out() << entry.key << "=" << Escaped(entry.text) << "\n";
  }
  return 0;
}

void ShowOptions(CliContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 1) throw context.UsageError();
  const std::string setIni = SetIniOf(args);
  const Options options = LoadCliOptions(setIni);
  for (const auto& [key, value] : OptionEntries(options)) context.Out() << key << "=" << value << "\n";
  context.Out() << "language=" << LoadCliLanguageId(setIni) << "\n";
}

void SetOption(const CliContext& context, const ParsedArgs& args) {
  if (args.positional.size() != 3) throw context.UsageError();
  const std::string& key = args.positional[1];
  const std::string& value = args.positional[2];
  if (value.find_first_of("\r\n") != std::string::npos) throw CliError{"a value cannot hold a line break"};
  const std::string setIni = SetIniOf(args);
  const std::string dataFolder = setIni.substr(0, setIni.size() - std::string(kSetIniName).size());

  // The file stays in the code page it was read in, also when the language
  // (and with it the code page of later reads) changes now.
  const int codePage = SetIniCodePage(setIni);
  Options options = LoadCliOptions(setIni);
  const bool language = key == "language";
  if (language) {
    ParseNumber(value, 0, 0xFFFF, "language ID");
  } else if (!SetOptionByKey(options, key, value)) {
    bool knownKey = false;
    for (const auto& entry : OptionEntries(options)) knownKey = knownKey || entry.first == key;
    throw CliError{knownKey ? "invalid value for " + key + ": " + value : "unknown option key " + key};
  }
  if (const Outcome folder = PrepareSetIniFolder(setIni); !folder)
    throw CliError{"cannot set up the data folder " + dataFolder + ": " + folder.detail};
  if (const Outcome written = WriteSetIni(setIni, options, codePage, language ? &value : nullptr); !written)
    throw CliError{"cannot write " + setIni + ": " + written.detail};
}

int RunOptions(CliContext& context) {
  const ParsedArgs args = ParseArgs(context.Args(), {"--data-dir"});
  if (args.positional.empty()) throw context.UsageError();
  const std::string& sub = args.positional.front();
  if (sub == "show") {
    ShowOptions(context, args);
  } else if (sub == "set") {
    SetOption(context, args);
  } else {
    throw CliError{"unknown options command " + sub + " (show or set)"};
  }
  return 0;
}

}  // namespace

void RegisterOptionsCommands(CommandRegistry& registry) {
  registry.Add({"texts",
                {"texts [--lang ID] [--language-file FILE] [--data-dir DIR]"},
                "print every UI text as key=value (language from set.ini unless --lang)",
                RunTexts});
  registry.Add({"options",
                {"options show [--data-dir DIR]", "options set KEY VALUE [--data-dir DIR]"},
                "show the program options of set.ini, or change one",
                RunOptions});
}

}  // namespace quorix
