#pragma once
// The world the dialog tests act in: the simulated mouse, loaded, with the
// program's set.ini and a macro library in a temporary folder, and the
// windows a user opens on it. Snap() records everything the user could lose:
// the mouse's memory and every file of the folder.

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "macro/macro_library.h"
#include "options/options_store.h"
#include "session/session.h"
#include "sim/sim_hid_host.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/ui_env.h"
#include "ui/windows/main_window.h"

namespace quorix::test {

// Made before the session, which is given its set.ini.
struct DialogFolder {
  TempDir dir;
};

struct Snapshot {
  std::vector<uint8_t> memory;
  std::map<std::string, std::string> files;  // path -> bytes ("/" for a folder)
  bool operator==(const Snapshot&) const = default;
};

struct DialogWorld : DialogFolder, SimSession {
  DialogWorld() : SimSession({}, dir.Path("set.ini")) {
    std::filesystem::create_directories(dir.Path("Favorite"));
    library = std::make_unique<MacroLibrary>(dir.Path("Favorite"), dir.Path("program"));
    env = std::make_unique<ui::UiEnv>(ui::UiEnv{*session, session->Texts(), fonts, broadcasts, library.get()});
  }
  ~DialogWorld() {
    QCoreApplication::processEvents();  // the last jobs' reports, before the windows go
  }
  void Load() {
    ASSERT_TRUE(session->ResolveDevice().Wait());
    ASSERT_TRUE(session->Load().Wait());
  }
  // The main window, made on first use: it reads set.ini when it is made.
  ui::MainWindow& Main() {
    if (!main) {
      main = std::make_unique<ui::MainWindow>(*env);
      main->ShowLoaded();
      main->show();
    }
    return *main;
  }
  // Every job posted so far has ended, and its report reached the windows.
  void Drain() {
    session->OnDevice("drain", [](JobContext&, DeviceLink&, const std::string&) { return Outcome{}; }).Wait();
    QCoreApplication::processEvents();
  }
  Snapshot Snap() {
    Drain();
    Snapshot s{host->Mouse().Memory(), {}};
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Root())) {
      std::ostringstream bytes;
      if (entry.is_regular_file()) bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      s.files[entry.path().string()] = entry.is_regular_file() ? bytes.str() : "/";
    }
    return s;
  }
  Options StoredOptions() const {
    const Result<Options> stored = session->ReadOptions(dir.Path("set.ini"));
    EXPECT_TRUE(stored) << stored.detail();
    return stored ? *stored : Options{};
  }

  ui::SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  ui::AppSignals broadcasts;
  std::unique_ptr<MacroLibrary> library;
  std::unique_ptr<ui::UiEnv> env;
  std::unique_ptr<ui::MainWindow> main;
};

}  // namespace quorix::test
