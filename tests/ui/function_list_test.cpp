// The function list opened from the main window's Button settings page, on a
// simulated mouse with the program's own function library: a function dragged
// from it onto a button's row is stored in the mouse.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>
#include <tuple>

#include "device/commands.h"
#include "macro/macro_library.h"
#include "session/models/button_settings_model.h"
#include "session/session.h"
#include "support/sim_session.h"
#include "support/temp_dir.h"
#include "ui/app_signals.h"
#include "ui/skin/skin_fonts.h"
#include "ui/windows/function_drag.h"
#include "ui/windows/macro_list.h"
#include "ui/windows/main_window.h"

#include "accessible_item.h"
#include "process_events.h"

namespace quorix::ui {
namespace {

using quorix::test::ProcessEventsUntil;

struct FunctionListWorld : test::SimSession {
  FunctionListWorld() {
    library = std::make_unique<MacroLibrary>(dir.Path("Favorite"), QUORIX_SOURCE_DATA_DIR);
    library->Scan();
    env = std::make_unique<UiEnv>(UiEnv{*session, session->Texts(), fonts, broadcasts, library.get()});
    window = std::make_unique<MainWindow>(*env);
    window->show();
    EXPECT_TRUE(session->ResolveDevice().Wait());
    EXPECT_TRUE(session->Load().Wait());
    window->ShowLoaded();
  }
  ~FunctionListWorld() { window.reset(); }

  static void Mouse(QWidget& target, QEvent::Type type, QPointF at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &event);
  }
  // The middle of row `row` of the list (rows are 40 pixels high from y 10).
  // Row `row`'s centre while the list is scrolled to its top.
  static QPointF RowCentre(const MacroList& list, int row) {
    return {list.ListRect().left() + 110, list.ListRect().top() + kMacroListRowHeight * (row + 0.5)};
  }
  // The four bytes of button `button` of profile 0 in the mouse's memory.
  std::array<uint8_t, 4> Stored(int button) {
    std::array<uint8_t, 4> bytes{};
    for (int k = 0; k < 4; ++k)
      bytes[static_cast<size_t>(k)] = host->Mouse().MemoryAt(FamilyForLevel(11).ButtonByteAddress(0, button, k));
    return bytes;
  }

  test::TempDir dir;
  std::unique_ptr<MacroLibrary> library;
  SkinFonts fonts{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans")};
  AppSignals broadcasts;
  std::unique_ptr<UiEnv> env;
  std::unique_ptr<MainWindow> window;
};

TEST(FunctionList, OpensFromTheButtonPageAndAFunctionDraggedOntoAButtonIsStored) {
  FunctionListWorld w;
  ASSERT_TRUE(test::PressAccessible(*w.window, QStringLiteral("Function list")));
  MacroList* list = w.window->FunctionList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_TRUE(list->FunctionListMode());
  // The status line says how it is used.
  EXPECT_EQ(w.window->StatusText(), QString::fromStdString(w.session->Texts().msgStr[8]));

  // The mouse functions' heading opens its group; its first function that
  // button 4 does not have already is the one dragged.
  const auto& rows = list->Model().Rows();
  const auto heading =
      std::find_if(rows.begin(), rows.end(), [](const MacroListItem& r) { return r.path == "@_INTERNAL_202"; });
  ASSERT_NE(heading, rows.end());
  const int headingRow = static_cast<int>(heading - rows.begin());
  FunctionListWorld::Mouse(*list, QEvent::MouseButtonPress, FunctionListWorld::RowCentre(*list, headingRow));
  FunctionListWorld::Mouse(*list, QEvent::MouseButtonRelease, FunctionListWorld::RowCentre(*list, headingRow));
  constexpr int kButton = 4;
  const std::array<uint8_t, 4> before = w.Stored(kButton);
  int row = headingRow + 1;
  const auto bytes = [](const MacroListItem& r) {
    return std::array<uint8_t, 4>{static_cast<uint8_t>(r.type), static_cast<uint8_t>(r.op1),
                                  static_cast<uint8_t>(r.op2), static_cast<uint8_t>(r.op3)};
  };
  const auto& opened = list->Model().Rows();
  while (row < static_cast<int>(opened.size()) &&
         (ClassifyListRow(opened[static_cast<size_t>(row)]) != ListRowKind::kFunction ||
          bytes(opened[static_cast<size_t>(row)]) == before))
    ++row;
  ASSERT_LT(row, 12) << "a function row in sight";
  const std::array<uint8_t, 4> expected = bytes(opened[static_cast<size_t>(row)]);

  // The drag leaves the list as the pointer moves away pressed; the platform
  // then carries its data to the window under the pointer, as here.
  std::unique_ptr<QMimeData> dragged;
  list->SetStartDrag([&](QMimeData* data) { dragged.reset(data); });
  const QPointF from = FunctionListWorld::RowCentre(*list, row);
  FunctionListWorld::Mouse(*list, QEvent::MouseButtonPress, from);
  FunctionListWorld::Mouse(*list, QEvent::MouseMove, from + QPointF(40, 0));
  ASSERT_NE(dragged, nullptr);
  const QPointF onto = layout::ButtonRow(kButton).center();
  QDragEnterEvent enter(onto.toPoint(), Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.window.get(), &enter);
  QDragMoveEvent move(onto.toPoint(), Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.window.get(), &move);
  EXPECT_TRUE(move.isAccepted()) << "the button takes the function";
  QDropEvent drop(onto, Qt::CopyAction, dragged.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.window.get(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_TRUE(ProcessEventsUntil([&] { return w.Stored(kButton) == expected; }));
  EXPECT_TRUE(list->isVisible()) << "the list stays for the next function";
}

// A dragged row arrives as it left, kind and all; data of the row's type
// from elsewhere with a kind no row has carries nothing.
TEST(FunctionList, ADraggedRowKeepsItsKindAndAnUnknownKindIsNoRow) {
  MacroListItem slot;
  slot.kind = MacroRowKind::kDeviceSlot;
  slot.name = "Burst";
  slot.type = kModeLoop;
  slot.slot = 3;
  slot.start = 1400;
  const auto back = FunctionFromMimeData(FunctionMimeData(slot).get());
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->kind, MacroRowKind::kDeviceSlot);
  EXPECT_EQ(std::tie(back->name, back->type, back->slot, back->start),
            std::tie(slot.name, slot.type, slot.slot, slot.start));
  for (const char* json : {R"({"name":"x","kind":7})", R"({"name":"x","kind":-1})", R"({"name":"x"})"}) {
    QMimeData foreign;
    foreign.setData(QString::fromLatin1(kFunctionMimeType), QByteArray(json));
    EXPECT_FALSE(FunctionFromMimeData(&foreign).has_value()) << json;
  }
}

}  // namespace
}  // namespace quorix::ui
