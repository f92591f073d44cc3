// Arithmetic on singleton naturals. An `SNat` is the run-time witness of a type-level natural and
// is that value itself, a Natural. Each result is the witness of the type-level result, suspended
// until demanded. A `proof` argument stands for the evidence of the operation's type-level
// precondition; it has no run-time content and is never looked at.
#pragma once

#include "rts/rts.h"

namespace VUX::TypeNats::Experimental {

using rts::Value;

Value plusSNat(Value n, Value m);
Value timesSNat(Value n, Value m);
// n raised to m, by squaring and multiplying; 0 to the 0 is 1.
Value powerSNat(Value n, Value m);
// n - m; m greater than n raises the arithmetic underflow exception.
Value minusSNat(const Value& proof, Value n, Value m);
// Truncated division and remainder; m equal to 0 raises the divide-by-zero exception.
Value divSNat(const Value& proof, Value n, Value m);
Value modSNat(const Value& proof, Value n, Value m);
// The base-2 logarithm rounded down (0 for 0).
Value log2SNat(const Value& proof, Value n);

}  // namespace VUX::TypeNats::Experimental
