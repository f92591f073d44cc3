// One line of debugging output, written without the base library's input/output machinery.
//
// Each character of the list becomes one byte, its code point's low 8 bits (no UTF-8 encoding:
// U+0141 is written as 0x41); a character 0 ends the text. The list and every element are
// evaluated before anything is written, so a failing element propagates and writes nothing.
#pragma once

#include "rts/rts.h"

namespace VUX::Debug {

using rts::Value;

// The action that writes the characters of `chars` and a newline to standard output.
Value debugLn(Value chars);
// The same on standard error.
Value debugErrLn(Value chars);

// As functions of two arguments, the character list and the state token; the result is unit.
extern const rts::StaticFun debugLn_closure;
extern const rts::StaticFun debugErrLn_closure;

}  // namespace VUX::Debug
