// The text entry and the question box finished from the keyboard alone:
// Enter presses the affirmative button, Escape leaves, Tab moves the real
// focus from the field to the buttons and round, and Space presses the
// focused button without typing into the field.
#include <gtest/gtest.h>

#include <QTest>

#include "ui/windows/option_dlg.h"

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

}  // namespace
}  // namespace quorix::test
