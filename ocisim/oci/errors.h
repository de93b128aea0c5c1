// Turning failures into OCI statuses and error records. Every entry point runs its body through
// guardedCall: an OraError becomes OCI_ERROR with "ORA-nnnnn: text\n" in the error handle, a
// refused handle OCI_INVALID_HANDLE, and anything else (out of memory, a bug) an ORA-00600
// record, so no C++ exception ever crosses the C boundary.
#pragma once

#include <string>
#include <vector>

#include "engine/ora_error.h"
#include "handles.h"

namespace ocisim::oci {

// Thrown when a caller's handle is unknown, freed, or of the wrong type.
struct InvalidHandle {};

// The error records of the running call. A call replaces them when it fails or ends with
// information; calls that go to the database (execute, fetch, logon ...) also clear them when
// they start, while local calls (attributes, binds, defines ...) leave the last call's record
// in place, so a caller may read OCI_ATTR_ROW_COUNT after OCI_NO_DATA and still find ORA-01403.
class CallErrors {
 public:
  explicit CallErrors(std::vector<ErrorRecord>* records) : records_(records) {}
  void clear() noexcept {
    if (records_ != nullptr) records_->clear();
  }
  // Replaces the records by one (the message gets its "ORA-nnnnn: " prefix and the newline).
  void set(int code, const std::string& text) noexcept;
  void set(const OraError& error) noexcept;

 private:
  std::vector<ErrorRecord>* records_;
};

// An error of this library's own (not the engine's), with Oracle's code and a text.
OraError oraError(int code, const std::string& text);

template <class T>
T& require(const void* pointer) {
  T* handle = findHandle<T>(pointer);
  if (handle == nullptr) throw InvalidHandle{};
  return *handle;
}

sword failInternal(CallErrors& errors, const char* what) noexcept;

// Runs body(errors) and maps whatever it throws; body returns the OCI status of a success.
template <class Body>
sword guardedCall(std::vector<ErrorRecord>* records, Body&& body) noexcept {
  try {
    CallErrors errors(records);
    try {
      return body(errors);
    } catch (const InvalidHandle&) {
      return OCI_INVALID_HANDLE;
    } catch (const OraError& e) {
      errors.set(e);
      return OCI_ERROR;
    } catch (const std::bad_alloc&) {
      errors.set(4030, "out of process memory when trying to allocate memory (ocisim)");
      return OCI_ERROR;
    } catch (const std::exception& e) {
      return failInternal(errors, e.what());
    } catch (...) {
      return failInternal(errors, "unknown exception");
    }
  } catch (...) {
    return OCI_ERROR;  // even clearing the records failed
  }
}

// The common form: the call's error handle receives the records.
template <class Body>
sword withErrorHandle(OCIError* errhp, Body&& body) noexcept {
  ErrorHandle* err = findHandle<ErrorHandle>(errhp);
  if (err == nullptr) return OCI_INVALID_HANDLE;
  return guardedCall(&err->records, std::forward<Body>(body));
}

// A call that goes to the database: the error handle starts empty.
template <class Body>
sword roundTrip(OCIError* errhp, Body&& body) noexcept {
  return withErrorHandle(errhp, [&](CallErrors& errors) -> sword {
    errors.clear();
    return body(errors);
  });
}

}  // namespace ocisim::oci
