#pragma once
// The question box: a title, a message and up to three buttons, skinned and
// modal. It ends with the Answer of the button used, named by what its label
// says, or with Answer::kClosed (Escape, the window closed, the device gone,
// the program closing). Callers never see a button's place in the row.

#include <QEventLoop>
#include <QString>
#include <optional>
#include <vector>

#include "ui/skin/skin_window.h"

namespace quorix::ui {

struct UiEnv;

// What the user said. kClosed is every way of leaving without a button.
enum class Answer { kOk, kYes, kNo, kCancel, kClosed };

// One button of the box: its caption and the answer it gives.
struct AnswerButton {
  QString caption;
  Answer answer;
};

// The button rows the program asks with, each in the one order used
// everywhere: the affirmative button left, Cancel right.
enum class Choices {
  kOk,           // "OK" alone: a message
  kOkCancel,     // "OK" | "Cancel"
  kYesNoCancel,  // "Yes" | "No" | "Cancel"
};

class OptionDlg : public SkinWindow {
  Q_OBJECT
 public:
  // `buttons`: one to three, left to right.
  OptionDlg(UiEnv& env, QWidget* parent, QString title, QString message, std::vector<AnswerButton> buttons);

  // Shows the box and waits for the answer.
  Answer Run();
  // Empty before the box ended; then the answer.
  std::optional<Answer> Result() const { return result_; }
  // Ends the box without a button, as the window's Close does.
  void Cancel() { Finish(Answer::kClosed); }

 protected:
  void PaintSkin(QPainter& painter) override;
  void OnItemActivated(int index) override;
  bool Dismiss() override;
  // Enter answers with the first button: the affirmative one.
  int DefaultItem() const override { return 0; }

 private:
  void Finish(Answer answer);

  UiEnv& env_;
  QString title_;
  QString message_;
  std::vector<Answer> answers_;  // by item index
  std::optional<Answer> result_;
  QEventLoop loop_;
};

// The buttons of `choices` with the captions of the text tables.
std::vector<AnswerButton> ButtonsFor(UiEnv& env, Choices choices);

// The desktop's own translated caption for one of Qt's standard buttons
// ("&Yes", "OK"), without its access key and the `suffix` that marks one.
QString SystemCaption(const char* source, const char* suffix);

// Asks with the box and returns the answer.
Answer RunOptionDlg(UiEnv& env, QWidget* parent, const QString& title, const QString& message,
                    Choices choices = Choices::kOkCancel);

}  // namespace quorix::ui
