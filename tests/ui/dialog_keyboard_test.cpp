// The text entry and the question box finished from the keyboard alone:
// Enter presses the affirmative button, Escape leaves, Tab moves the real
// focus from the field to the buttons and round, and Space presses the
// focused button without typing into the field. Each kind of entry answers
// what its field held.
#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "ui/windows/option_dlg.h"
#include "ui/windows/str_dlg.h"

#include "dialog_driver.h"
#include "dialog_world.h"

namespace quorix::test {
namespace {

constexpr int kTab = Qt::Key_Tab, kBacktab = Qt::Key_Backtab, kSpace = Qt::Key_Space, kEnter = Qt::Key_Return,
              kEscape = Qt::Key_Escape;

// Profile 1's application field: a program is chosen, its name proposed
// ("Clock"), the user types " game" and then the keys.
TEST(DialogKeyboard, TheNameEntryOfAnApplicationBinding) {
  const struct {
    const char* what;
    std::vector<int> keys;
    bool stored;
  } cases[] = {
      {"Enter in the field", {kEnter}, true},
      {"Escape in the field", {kEscape}, false},
      {"Tab to OK, Space", {kTab, kSpace}, true},
      {"Tab to OK, Enter", {kTab, kEnter}, true},
      {"Tab to Cancel, Space", {kTab, kTab, kSpace}, false},
      {"Tab to Cancel, Escape", {kTab, kTab, kEscape}, false},
      {"Tab round to the field, Enter", {kTab, kTab, kTab, kEnter}, true},
      {"Shift+Tab to Cancel, Enter", {kBacktab, kEnter}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DialogWorld w;
    w.Load();
    w.Main().SetChooseFile([] { return std::optional<std::string>("/opt/games/Clock"); });
    const auto typed = TypeWhenShown(QStringLiteral(" game"), c.keys);
    QTest::mouseClick(&w.Main(), Qt::LeftButton, Qt::NoModifier, ui::layout::AppField(0).center().toPoint());
    EXPECT_TRUE(typed->Fired());
    const ProfileApp app = w.StoredOptions().apps[0];
    EXPECT_EQ(app.appName, c.stored ? "Clock game" : w.session->CurrentOptions().apps[0].appName);
    EXPECT_EQ(app.appPath, c.stored ? "/opt/games/Clock" : "");
    EXPECT_EQ(app.appEnabled, c.stored ? 1 : 0);
  }
}

TEST(DialogKeyboard, TheQuestionBox) {
  using ui::Answer;
  using ui::Choices;
  const struct {
    Choices choices;
    std::vector<int> keys;
    Answer answer;
  } cases[] = {
      {Choices::kOkCancel, {kEnter}, Answer::kOk},
      {Choices::kOkCancel, {kEscape}, Answer::kClosed},
      {Choices::kOkCancel, {kTab, kSpace}, Answer::kOk},
      {Choices::kOkCancel, {kTab, kTab, kSpace}, Answer::kCancel},
      {Choices::kOkCancel, {kTab, kTab, kEnter}, Answer::kCancel},
      {Choices::kYesNoCancel, {kEnter}, Answer::kYes},
      {Choices::kYesNoCancel, {kTab, kTab, kSpace}, Answer::kNo},
      {Choices::kYesNoCancel, {kBacktab, kSpace}, Answer::kCancel},
  };
  DialogWorld w;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
    const auto keys = TypeWhenShown({}, c.keys);
    EXPECT_EQ(ui::RunOptionDlg(*w.env, nullptr, QStringLiteral("Reset"), QStringLiteral("continue?"), c.choices),
              c.answer);
    EXPECT_TRUE(keys->Fired());
  }
}

// Each kind of entry, typed into and finished from the keyboard, answers
// what its field then holds, under the field's own typing rules.
TEST(DialogKeyboard, EachEntryAnswersWhatWasTyped) {
  using ui::CStrDlg;
  using ui::PointEntry;
  const std::vector<ui::FolderChoice> folders = {
      {QStringLiteral("root"), 0, 7}, {QStringLiteral("Games"), 1, 8}, {QStringLiteral("Office"), 1, 9}};
  const struct {
    const char* what;
    QString typed;
    std::vector<int> keys;
    std::function<QString(CStrDlg&)> ask;  // the answer as text, "-" for none
    QString answer;
  } cases[] = {
      {"a name",
       QStringLiteral("er"),
       {kEnter},
       [](CStrDlg& d) { return d.AskName(QStringLiteral("Name"), QStringLiteral("Jump")).value_or("-"); },
       QStringLiteral("Jumper")},
      {"a name left",
       QStringLiteral("er"),
       {kEscape},
       [](CStrDlg& d) { return d.AskName(QStringLiteral("Name"), QStringLiteral("Jump")).value_or("-"); },
       QStringLiteral("-")},
      {"a number; letters do not pass",
       QStringLiteral("4x"),
       {kEnter},
       [](CStrDlg& d) { return QString::number(d.AskNumber(QStringLiteral("Wait"), 12, 500).value_or(-1)); },
       QStringLiteral("124")},
      {"a number typed past its limit",
       QStringLiteral("999"),
       {kEnter},
       [](CStrDlg& d) { return QString::number(d.AskNumber(QStringLiteral("Wait"), 12, 500).value_or(-1)); },
       QStringLiteral("500")},
      {"a point",
       QStringLiteral("0"),
       {kEnter},
       [](CStrDlg& d) {
         const auto p = d.AskPoint(QStringLiteral("Move"), PointEntry{5, -7, false});
         return p ? QStringLiteral("%1,%2,%3").arg(p->x).arg(p->y).arg(p->absolute) : QStringLiteral("-");
       },
       QStringLiteral("50,-7,0")},
      {"the second folder",
       {},
       {Qt::Key_Down, kEnter},
       [&folders](CStrDlg& d) { return QString::number(d.AskFolder(QStringLiteral("Folder"), folders).value_or(-1)); },
       QStringLiteral("8")},
      {"the only folder",
       {},
       {kEnter},
       [&folders](CStrDlg& d) {
         return QString::number(d.AskFolder(QStringLiteral("Folder"), {folders.back()}).value_or(-1));
       },
       QStringLiteral("9")},
      {"yes",
       {},
       {kEnter},
       [](CStrDlg& d) { return QString::number(d.AskYesNo(QStringLiteral("Save?"))); },
       QStringLiteral("1")},
      {"no",
       {},
       {kTab, kTab, kSpace},
       [](CStrDlg& d) { return QString::number(d.AskYesNo(QStringLiteral("Save?"))); },
       QStringLiteral("0")},
  };
  DialogWorld w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CStrDlg dialog(*w.env);
    const auto keys = TypeWhenShown(c.typed, c.keys);
    EXPECT_EQ(c.ask(dialog), c.answer);
    EXPECT_TRUE(keys->Fired());
  }
}

}  // namespace
}  // namespace quorix::test
