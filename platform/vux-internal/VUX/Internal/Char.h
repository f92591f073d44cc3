// Characters from code points.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Internal::Char {

// `chr i`: the character of code point i. A value outside 0 to 0x10FFFF raises the
// character-range error (`chrError`).
rts::Value chr(int64_t i);
// The character-range error: the error exception "Prelude.chr: bad argument: " followed by the
// value as `showSignedInt 9` writes it (a negative value in parentheses), without a call stack.
[[noreturn]] void chrError(int64_t i);

}  // namespace VUX::Internal::Char
