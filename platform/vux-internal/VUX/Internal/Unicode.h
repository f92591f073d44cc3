// Unicode character properties needed by the printers.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Internal::Unicode {

// The simple (one-to-one) lower-case mapping of a code point; itself when it has none.
uint32_t toSimpleLowerCase(uint32_t c);
// The same on a boxed character (evaluated first).
rts::Value toSimpleLowerCase(const rts::Value& c);

}  // namespace VUX::Internal::Unicode
