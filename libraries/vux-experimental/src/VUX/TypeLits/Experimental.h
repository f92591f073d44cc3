// Arithmetic on singleton symbols and characters. A singleton is the run-time witness of a
// type-level value and is that value itself: an `SSymbol` is a String (a list of characters), an
// `SChar` a Char, an `SNat` a Natural. Each result is the witness of the type-level result,
// suspended until demanded. A `proof` argument stands for the evidence of a type-level
// precondition; it has no run-time content and is never looked at.
#pragma once

#include "rts/rts.h"

namespace VUX::TypeLits::Experimental {

using rts::Value;

// The symbol a followed by b (list append: a is walked as the result is consumed).
Value appendSSymbol(Value a, Value b);
// The symbol c followed by s: one new list cell, neither argument forced.
Value consSSymbol(Value c, Value s);
// The natural of c's code point.
Value sCharToSNat(Value c);
// The character of code point n, for n at most 0x10FFFF; n's low 64 bits read as a machine
// integer outside that range raise the character-range error when the result is demanded.
Value sNatToSChar(const Value& proof, Value n);

}  // namespace VUX::TypeLits::Experimental
