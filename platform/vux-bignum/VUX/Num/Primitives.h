// Word-level helpers of the big-number library and its errors.
#pragma once

#include <cstdint>

namespace VUX::Num::Primitives {

// Floor of the base-2 logarithm of a word; 0 for 0.
uint64_t wordLog2_hash(uint64_t w);
// Floor of the logarithm of `w` in `base`; 0 for 0. A base below 2 is an unexpected value.
uint64_t wordLogBase_hash(uint64_t base, uint64_t w);

// The error of an argument outside an operation's domain (a logarithm base of 0 or 1): raises
// the arithmetic overflow exception.
[[noreturn]] void unexpectedValue();

// The arithmetic exceptions ("divide by zero", "arithmetic underflow", "arithmetic overflow").
[[noreturn]] void raiseDivZero();
[[noreturn]] void raiseUnderflow();
[[noreturn]] void raiseOverflow();

}  // namespace VUX::Num::Primitives
