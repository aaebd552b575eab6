#pragma once
// What an operation came to: done, or why not, and with what value.
//
// One shape for every layer. `Outcome` says whether an operation did what was
// asked; when it did not, `failure` names the reason (one message of the front
// ends' text tables: the core builds no sentences) and `detail` carries what
// a person needs beside it: the file, the system's reason ("Permission
// denied"), the device's path. `Result<T>` is an Outcome with the value the
// operation produced, there only when it succeeded.
//
// Callers return these instead of filling an error string they were handed:
// a posted job that captured such a string by reference once outlived the
// caller that owned it.

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace quorix {

// Why an operation did not do what was asked.
enum class Failure : uint8_t {
  kNone,
  kNoDevice,          // no mouse, or it could not be opened ("No device !!")
  kStoppedAnswering,  // the mouse stopped answering part-way
  kDeviceGone,        // the mouse was unplugged part-way
  kBadAnswers,        // the mouse answered with bytes that make no sense
  kLockBusy,          // another program is using the mouse
  kCancelled,         // the user (or a closing window) cancelled it
  kDeclined,          // the user said no to the question; nothing was written
  kInvalidArgument,   // a value out of range; nothing was sent
  kLackOfSpace,       // the macro does not fit ("Lack of space !!")
  kInvalidFormat,     // a file is not what it claims to be ("invalid format !!")
  kCannotReadFile,    // a file could not be read; the detail names it
  kCannotWriteFile,   // a file could not be written; the detail names it
  kNotSupported,      // this mouse has no such setting; nothing was sent
  kInternalError,     // the program's own code gave up part-way (it threw)
  kLastLevelOn,       // switching off the only level the DPI button still cycles through
  kUnavailable,       // a service of the system or desktop cannot be had; the detail says which and why
};

// The result of one operation. Converts to true only when it was done.
struct Outcome {
  Failure failure = Failure::kNone;
  std::string detail;  // for people: the file, the system's reason; "" when there is nothing to add

  Outcome() = default;
  Outcome(Failure f) : failure(f) {}  // NOLINT: a Failure is an Outcome
  Outcome(Failure f, std::string d) : failure(f), detail(std::move(d)) {}
  explicit operator bool() const { return failure == Failure::kNone; }
  // Two outcomes are equal when they end the same way; the detail is only
  // what a person reads beside it.
  bool operator==(const Outcome& other) const { return failure == other.failure; }
};

// An Outcome with the value of a successful operation.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a value is a successful Result
  // A failure; an Outcome that says "done" without a value is a caller's
  // mistake and is kept as kInternalError rather than trusted.
  Result(Outcome outcome) : outcome_(std::move(outcome)) {  // NOLINT: a failure is a Result
    if (!outcome_) return;
    outcome_ = Outcome(Failure::kInternalError, "a result without its value");
  }
  Result(Failure failure, std::string detail = {}) : Result(Outcome(failure, std::move(detail))) {}
  // The result of an operation that made something more specific, such as
  // the implementation behind an interface.
  template <typename U>
  requires(!std::same_as<U, T> && std::convertible_to<U, T>) Result(Result<U>&& other)
      : outcome_(other.outcome()) {  // NOLINT: as U converts to T
    if (other) value_.emplace(std::move(other).value());
  }

  explicit operator bool() const { return value_.has_value(); }
  const Outcome& outcome() const { return outcome_; }
  Failure failure() const { return outcome_.failure; }
  const std::string& detail() const { return outcome_.detail; }

  // The value; only when the result converts to true.
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  Outcome outcome_;
  std::optional<T> value_;
};

}  // namespace quorix
