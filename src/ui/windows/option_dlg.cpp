#include "ui/windows/option_dlg.h"

#include <QCoreApplication>

#include "session/models/str_entry_rules.h"
#include "session/session.h"
#include "ui/app_signals.h"
#include "ui/art/picture_ids.h"
#include "ui/skin/skin_fonts.h"
#include "ui/skin/skin_painter.h"
#include "ui/ui_env.h"
#include "ui/windows/dialog_painter.h"

namespace quorix::ui {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 200;
constexpr int kButtonWidth = 160;  // the wide button picture
constexpr int kButtonHeight = 32;
constexpr int kButtonGap = 14;
constexpr int kMargin = 22;
// Fonts of the shared table: 14 pixels bold for the title, 13 for the text.
constexpr int kFontTitle = 8;
constexpr int kFontText = 5;
constexpr int kFontButton = 6;

// Three buttons need more room than the usual two.
int WidthFor(int buttons) {
  return std::max(kWidth, buttons * kButtonWidth + (buttons - 1) * kButtonGap + 2 * kMargin);
}

}  // namespace

OptionDlg::OptionDlg(UiEnv& env, QWidget* parent, QString title, QString message, std::vector<AnswerButton> buttons)
    : SkinWindow(QSize(WidthFor(std::clamp(static_cast<int>(buttons.size()), 1, 3)), kHeight), parent),
      env_(env),
      title_(std::move(title)),
      message_(std::move(message)) {
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(title_);
  setAccessibleDescription(message_);  // what a screen reader reads out after the title
  if (buttons.empty()) buttons.push_back({QString::fromStdString(env_.texts[Label::kOk]), Answer::kOk});
  buttons.resize(std::min<size_t>(buttons.size(), 3));
  const int count = static_cast<int>(buttons.size());
  const int row = count * kButtonWidth + (count - 1) * kButtonGap;
  const int width = WidthFor(count);
  for (int i = 0; i < count; ++i) {
    SkinItem button;
    button.rect = QRectF((width - row) / 2 + i * (kButtonWidth + kButtonGap), kHeight - kMargin - kButtonHeight,
                         kButtonWidth, kButtonHeight);
    button.imageNormal = pic::kWideButtonNormal;
    button.imageHover = button.imagePressed = pic::kWideButtonHover;
    button.label = buttons[static_cast<size_t>(i)].caption;
    button.code = i + 1;
    Items().push_back(button);
    answers_.push_back(buttons[static_cast<size_t>(i)].answer);
  }
  connect(&env_.appSignals, &AppSignals::deviceGone, this, &OptionDlg::Cancel);
  connect(&env_.appSignals, &AppSignals::closing, this, &OptionDlg::Cancel);
}

Answer OptionDlg::Run() {
  result_.reset();
  ShowOverOwner();
  if (!result_) loop_.exec();
  hide();
  return result_.value_or(Answer::kClosed);
}

void OptionDlg::Finish(Answer answer) {
  if (result_) return;
  result_ = answer;
  loop_.quit();
}

void OptionDlg::OnItemActivated(int index) {
  if (index >= 0 && index < static_cast<int>(answers_.size())) Finish(answers_[static_cast<size_t>(index)]);
}

bool OptionDlg::Dismiss() {
  Finish(Answer::kClosed);
  return true;
}

void OptionDlg::PaintSkin(QPainter& p) {
  PaintDialogSurface(p, size(), Pictures());
  p.setPen(kDialogTitle);
  p.setFont(env_.fonts.At(kFontTitle));
  p.drawText(QRect(kMargin, 14, width() - 2 * kMargin, 26), Qt::AlignLeft | Qt::AlignVCenter, title_);
  p.setFont(env_.fonts.At(kFontText));
  p.setPen(kDialogText);
  p.drawText(QRect(kMargin, 48, width() - 2 * kMargin, kHeight - 48 - kMargin - kButtonHeight - 8),
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, message_);
  PaintButtonPlates(p, Items(), Interaction(), Pictures());
  DrawItems(p, Items(), Interaction(), Pictures(), env_.fonts.At(kFontButton));
}

QString SystemCaption(const char* source, const char* suffix) {
  const QString translated = QCoreApplication::translate("QPlatformTheme", source);
  return QString::fromStdString(WithoutAccessKey(translated.toStdString(), suffix));
}

std::vector<AnswerButton> ButtonsFor(UiEnv& env, Choices choices) {
  const AnswerButton ok{QString::fromStdString(env.texts[Label::kOk]), Answer::kOk};
  const AnswerButton cancel{QString::fromStdString(env.texts[Label::kCancel]), Answer::kCancel};
  switch (choices) {
    case Choices::kOk:
      return {ok};
    case Choices::kOkCancel:
      return {ok, cancel};
    case Choices::kYesNoCancel:
      return {{SystemCaption("&Yes", "(&Y)"), Answer::kYes}, {SystemCaption("&No", "(&N)"), Answer::kNo}, cancel};
  }
  return {ok, cancel};
}

Answer RunOptionDlg(UiEnv& env, QWidget* parent, const QString& title, const QString& message, Choices choices) {
  OptionDlg dialog(env, parent, title, message, ButtonsFor(env, choices));
  return dialog.Run();
}

}  // namespace quorix::ui
