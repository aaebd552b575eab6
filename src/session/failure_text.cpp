#include "session/failure_text.h"

namespace quorix {
namespace {

// Indices into TextTables::msgStr and ::failureStr.
constexpr size_t kNoDeviceMessage = 10;
constexpr size_t kLackOfSpaceMessage = 19;
constexpr size_t kInvalidFormatMessage = 20;
enum FailureString : size_t {
  kStoppedAnswering,
  kUnplugged,
  kNonsense,
  kOtherProgram,
  kCancelled,
  kNothingChanged,
  kOutOfRange,
  kNoSuchSetting,
  kPartlyWritten,
  kRunAgain,
  kCannotRead,
  kCannotWrite,
  kInternal,
  kKeepOneLevel,
  kServiceUnavailable,
};

std::string At(const std::vector<std::string>& table, size_t index) {
  return index < table.size() ? table[index] : std::string();
}

}  // namespace

std::string FailureText(const TextTables& texts, Failure failure, bool writing) {
  const auto text = [&](FailureString index) { return At(texts.failureStr, index); };
  // The mouse's own failures: the command can simply be run again.
  const auto again = [&](FailureString index) {
    return writing ? text(index) + "; " + text(kPartlyWritten) : text(index) + " \u2014 " + text(kRunAgain);
  };
  switch (failure) {
    case Failure::kNone:
      return "";
    case Failure::kNoDevice:
      return At(texts.msgStr, kNoDeviceMessage);
    case Failure::kStoppedAnswering:
      return again(kStoppedAnswering);
    case Failure::kDeviceGone:
      return again(kUnplugged);
    case Failure::kBadAnswers:
      return again(kNonsense);
    case Failure::kLockBusy:
      return text(kOtherProgram);
    case Failure::kCancelled:
      return text(kCancelled);
    case Failure::kDeclined:
      return text(kNothingChanged);
    case Failure::kInvalidArgument:
      return text(kOutOfRange);
    case Failure::kLackOfSpace:
      return At(texts.msgStr, kLackOfSpaceMessage);
    case Failure::kInvalidFormat:
      return At(texts.msgStr, kInvalidFormatMessage);
    case Failure::kCannotReadFile:
      return text(kCannotRead);
    case Failure::kCannotWriteFile:
      return text(kCannotWrite);
    case Failure::kNotSupported:
      return text(kNoSuchSetting);
    case Failure::kInternalError:
      return text(kInternal);
    case Failure::kLastLevelOn:
      return text(kKeepOneLevel);
    case Failure::kUnavailable:
      return text(kServiceUnavailable);
  }
  return text(kStoppedAnswering);
}

std::string FileFailureText(const TextTables& texts, Failure failure, const std::string& file,
                            const std::string& reason) {
  std::string text = FailureText(texts, failure, false) + ": " + file;
  if (!reason.empty()) text += " (" + reason + ")";
  return text;
}

}  // namespace quorix
