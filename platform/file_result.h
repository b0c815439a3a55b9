#pragma once
// What a file operation gives back: its value, or why it failed, in the system's words ("No
// space left on device"). Every operation of FileSystem that can fail answers this way.
#include <optional>
#include <string>
#include <utility>

namespace slidesaver::platform {

// The value of an operation that only succeeds or fails.
struct Done {};

template <class T>
class FileResult {
 public:
  FileResult(T value) : value_(std::move(value)) {}  // NOLINT: a value is a success
  static FileResult Failed(std::string reason) { return FileResult(std::move(reason), false); }
  // The name is already another's: a folder that exists, a lock another live process holds.
  static FileResult Taken(std::string reason) { return FileResult(std::move(reason), true); }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  bool taken() const { return taken_; }
  // Empty on success.
  const std::string& reason() const { return reason_; }

  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  // The value, or `otherwise` when it failed.
  T value_or(T otherwise) const& { return value_ ? *value_ : std::move(otherwise); }
  T value_or(T otherwise) && { return value_ ? std::move(*value_) : std::move(otherwise); }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  FileResult(std::string reason, bool taken) : reason_(std::move(reason)), taken_(taken) {}

  std::optional<T> value_;
  std::string reason_;
  bool taken_ = false;
};

using FileStatus = FileResult<Done>;

}  // namespace slidesaver::platform
