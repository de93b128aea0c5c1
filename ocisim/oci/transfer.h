// Copying values between the engine and the caller's bind and define buffers, converted as OCI
// converts them for each external type: text (SQLT_STR NUL-terminated, SQLT_AVC likewise,
// SQLT_CHR and SQLT_LNG without terminator, SQLT_AFC blank-padded) and numbers (SQLT_INT,
// SQLT_UIN of 1, 2, 4 or 8 bytes, SQLT_FLT of 4 or 8). Numbers become text in Oracle's fixed
// notation (".5", "-.5", "100"), dates and timestamps by the session's NLS formats.
#pragma once

#include <string>

#include "engine/value/nls.h"
#include "engine/value/value.h"
#include "oci.h"

namespace ocisim::oci {

bool isTextExternalType(ub2 dty);
// Throws ORA-00932 for an external type this library does not convert, or a number buffer
// whose size no integer or float has.
void checkExternalType(ub2 dty, sb4 size);

// One element of a caller's bind or define arrays (any pointer but value may be null).
struct ElementBuffers {
  char* value = nullptr;
  sb4 size = 0;  // bytes of the value buffer
  sb2* indicator = nullptr;
  ub2* length = nullptr;  // bind: actual length (alenp); define: returned length (rlenp)
  ub2* returnCode = nullptr;
};

// The element of index `i` of arrays whose elements are `size` bytes apart.
inline ElementBuffers elementAt(void* value, sb4 size, void* indicators, ub2* lengths,
                                ub2* codes, size_t i) {
  ElementBuffers b;
  b.size = size;
  if (value != nullptr)
    b.value = static_cast<char*>(value) + i * static_cast<size_t>(size > 0 ? size : 0);
  if (indicators != nullptr) b.indicator = static_cast<sb2*>(indicators) + i;
  if (lengths != nullptr) b.length = lengths + i;
  if (codes != nullptr) b.returnCode = codes + i;
  return b;
}

// The IN value of a bind element: NULL for indicator -1, for empty text and for no buffer.
Value readBindValue(const ElementBuffers& b, ub2 dty);

// The text of a value as a define or OUT bind of a text type receives it.
std::string textForClient(const Value& v, const NlsSettings& nls);

enum class Placed { Value, Null, Truncated };

// Writes a fetched value into a define element. NULL: indicator -1, return code 1405, the
// buffer left as it is (ORA-01405 without an indicator). A value longer than the buffer is cut;
// the indicator gets its full length (-2 beyond 32767) and the return code 1406.
Placed writeDefineValue(const ElementBuffers& b, ub2 dty, const Value& v, const NlsSettings& nls);

// Writes a PL/SQL OUT value into a bind element. NULL empties a text buffer and sets the
// indicator to -1; a value that does not fit is ORA-06502, as PL/SQL raises it.
void writeBindValue(const ElementBuffers& b, ub2 dty, const Value& v, const NlsSettings& nls);

}  // namespace ocisim::oci
