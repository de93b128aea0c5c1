#include "errors.h"

namespace ocisim::oci {

void CallErrors::set(int code, const std::string& text) noexcept {
  if (records_ == nullptr) return;
  try {
    OraError error = OraError::withText(code, text);
    records_->clear();
    records_->push_back({code, std::string(error.what()) + "\n"});
  } catch (...) {
    records_->clear();  // out of memory: the status still tells the caller
  }
}

void CallErrors::set(const OraError& error) noexcept {
  if (records_ == nullptr) return;
  try {
    records_->clear();
    records_->push_back({error.code(), std::string(error.what()) + "\n"});
  } catch (...) {
    records_->clear();
  }
}

OraError oraError(int code, const std::string& text) {
  return OraError::withText(code, text);
}

sword failInternal(CallErrors& errors, const char* what) noexcept {
  try {
    errors.set(600, std::string("internal error code, arguments: [ocisim], [") + what + "]");
  } catch (...) {
  }
  return OCI_ERROR;
}

}  // namespace ocisim::oci
