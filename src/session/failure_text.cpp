#include "session/failure_text.h"

namespace quorix {

std::string FailureText(const TextTables& texts, Failure failure, FailedWhile during) {
  const auto text = [&](Reason reason) { return texts[reason]; };
  // The mouse's own failures: the command can simply be run again.
  const auto again = [&](Reason reason) {
    return during == FailedWhile::kWriting ? text(reason) + "; " + text(Reason::kPartlyWritten)
                                           : text(reason) + " \u2014 " + text(Reason::kRunAgain);
  };
  switch (failure) {
    case Failure::kNone:
      return "";
    case Failure::kNoDevice:
      return texts[Msg::kNoDevice];
    case Failure::kStoppedAnswering:
      return again(Reason::kStoppedAnswering);
    case Failure::kDeviceGone:
      return again(Reason::kUnplugged);
    case Failure::kBadAnswers:
      return again(Reason::kNonsense);
    case Failure::kLockBusy:
      return text(Reason::kOtherProgram);
    case Failure::kCancelled:
      return text(Reason::kCancelled);
    case Failure::kDeclined:
      return text(Reason::kNothingChanged);
    case Failure::kInvalidArgument:
      return text(Reason::kOutOfRange);
    case Failure::kLackOfSpace:
      return texts[Msg::kLackOfSpace];
    case Failure::kInvalidFormat:
      return texts[Msg::kInvalidFormat];
    case Failure::kCannotReadFile:
      return text(Reason::kCannotRead);
    case Failure::kCannotWriteFile:
      return text(Reason::kCannotWrite);
    case Failure::kNotSupported:
      return text(Reason::kNoSuchSetting);
    case Failure::kInternalError:
      return text(Reason::kInternal);
    case Failure::kLastLevelOn:
      return text(Reason::kKeepOneLevel);
    case Failure::kUnavailable:
      return text(Reason::kServiceUnavailable);
  }
  return text(Reason::kStoppedAnswering);
}

std::string FileFailureText(const TextTables& texts, Failure failure, const std::string& file,
                            const std::string& reason) {
  std::string text = FailureText(texts, failure, FailedWhile::kReading) + ": " + file;
  if (!reason.empty()) text += " (" + reason + ")";
  return text;
}

}  // namespace quorix
