// Status: how an operation that can be expected to fail ended, as a value its caller must look
// at (ignoring one is a compile error under -Werror). Ok, or failed with the error's code (an
// Oracle error number where one applies, else 0) and its message.
#pragma once

#include <string>
#include <utility>

namespace velmora {

class [[nodiscard]] Status {
 public:
  Status() = default;  // ok
  static Status failure(int code, std::string message) {
    Status status;
    status.failed_ = true;
    status.code_ = code;
    status.message_ = std::move(message);
    return status;
  }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  int code() const { return code_; }                       // 0 when ok
  const std::string& message() const { return message_; }  // "" when ok

 private:
  bool failed_ = false;
  int code_ = 0;
  std::string message_;
};

}  // namespace velmora
