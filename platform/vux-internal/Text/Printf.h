// Formatted text, as C's printf formats it, with arguments that are language values.
//
// A format is a character string with directives "%[flags][width][.precision]conversion":
//   flags       '-' left-justify, '+' sign always, ' ' space for a sign, '0' pad with zeros,
//               '#' prefix "0x", "0X", "0" or "0b" to non-zero numbers in those bases
//   conversions d i (signed decimal), u (unsigned decimal), x X o b (unsigned hexadecimal, octal,
//               binary), c (character), s (string), e f g (floating point), v (the type's own:
//               d for integers, c, s, g), and "%%" for '%'
// A number's precision is its least number of digits; a string's is its greatest length.
// Unsigned conversions of a negative bounded integer use its two's complement at its width (an
// Int32 -1 gives ffffffff); a negative Integer is written with a "-" before its magnitude.
//
// Failures are errors raised when the text is demanded: "printf: bad formatting char 'q'",
// "printf: argument list ended prematurely", "printf: formatting string ended prematurely" (also
// for arguments left over), "printf: bad argument" (a conversion the argument's type has none of).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "rts/rts.h"

namespace Text::Printf {

using rts::Value;

// One argument and the type it is formatted as.
struct PrintfArg {
    enum class Type : uint8_t { Int, Int32, Word, Integer, Char, String, Double };
    Type type;
    Value value;  // a boxed Int / Int32 / Word / Integer / Char / Double, or a character list
};
inline PrintfArg argInt(Value v) { return {PrintfArg::Type::Int, std::move(v)}; }
inline PrintfArg argInt32(Value v) { return {PrintfArg::Type::Int32, std::move(v)}; }
inline PrintfArg argWord(Value v) { return {PrintfArg::Type::Word, std::move(v)}; }
inline PrintfArg argInteger(Value v) { return {PrintfArg::Type::Integer, std::move(v)}; }
inline PrintfArg argChar(Value v) { return {PrintfArg::Type::Char, std::move(v)}; }
inline PrintfArg argString(Value v) { return {PrintfArg::Type::String, std::move(v)}; }
inline PrintfArg argDouble(Value v) { return {PrintfArg::Type::Double, std::move(v)}; }

// `printf format args` as a String: the text is produced when demanded.
Value printf(Value format, std::vector<PrintfArg> args);
// `hPrintf h format args`: an action writing the text to the handle.
Value hPrintf(Value handle, Value format, std::vector<PrintfArg> args);

}  // namespace Text::Printf
