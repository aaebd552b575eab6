#pragma once
// The sentence a front end shows for a failed operation, from the text tables
// of the user's language: the CLI prints it as its one error line, a window
// puts it in the message box.

#include <string>

#include "device/outcome.h"
#include "texts/text_tables.h"

namespace quorix {

// What the failed operation was doing when it failed.
enum class FailedWhile { kReading, kWriting };

// "No device !!", "Lack of space !!" and "invalid format !!" come from the
// message table; every other failure from the failure texts. A failure of a
// mouse that stopped answering, went away or talked nonsense gets the advice
// to run it again, and, when kWriting, the warning that settings may be
// partly written. "" for kNone. The file failures name no file here: callers
// that know the file and the reason say those instead.
std::string FailureText(const TextTables& texts, Failure failure, FailedWhile during);

// A file failure with what the caller knows: "cannot write the file: FILE
// (REASON)", the reason left out when empty.
std::string FileFailureText(const TextTables& texts, Failure failure, const std::string& file,
                            const std::string& reason);

}  // namespace quorix
