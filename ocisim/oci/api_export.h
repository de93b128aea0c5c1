// The 28 OCI entry points are the only symbols libocisim.so exports (the library is built with
// hidden visibility, and the engine it links is kept out of its dynamic symbol table).
#pragma once

#include "oci.h"

#define OCISIM_EXPORT extern "C" __attribute__((visibility("default")))
