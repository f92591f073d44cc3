// Module Trace.Cover.Util: the vocabulary of the coverage library.
//
//   data CoverPos = P !Int !Int !Int !Int      -- start line, start column, end line, end column
//   newtype Hash  = Hash Word32
//   class CoverHash a where toHash :: a -> Hash
//
// `P` (tag 0) holds its four numbers as unboxed words: a span never holds a suspended computation.
// Any four numbers form a span. Its text is "1:2-3:4" at every precedence; its reader takes the
// text up to the first "," (a point "5:7" is the span from 5:7 to 5:7) and computes the span only
// when it is used, field by field, so a malformed field raises its error only when demanded.
//
// `Hash` is a `Word32` box (`W32#`); its arithmetic wraps modulo 2^32, its text is the unsigned
// decimal digits at every precedence, and its reader reads an `Int` and keeps the low 32 bits.
// `CoverHash` has one operation, so an instance is that operation itself: `toHash(d, x)`.
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Trace::Cover::Util {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Spans

inline constexpr uint8_t P_tag = 0;

// The four numbers of an evaluated span.
struct Span {
    int64_t startLine, startCol, endLine, endCol;
};

Value P(int64_t startLine, int64_t startCol, int64_t endLine, int64_t endCol);
// `P` as a function of four boxed Ints, which it evaluates left to right.
extern const rts::StaticFun P_closure;
// The numbers of a span (evaluated here).
Span spanOf(const Value& pos);

// `toCoverPos (l1, c1, l2, c2)`: the tuple, then its components left to right, are evaluated.
Value toCoverPos(const Value& tuple);
// `fromCoverPos p`: the 4-tuple of boxed Ints.
Value fromCoverPos(const Value& pos);
// `insideCoverPos inner outer`: inner starts at or after outer's start and ends at or before its
// end (line first, then column; signed). Equal spans lie inside each other.
bool inside(const Span& inner, const Span& outer);
Value insideCoverPos(const Value& inner, const Value& outer);

VUX_STATIC_INSTANCE(inst_Eq_CoverPos, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_CoverPos, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Show_CoverPos, VUX::Internal::Show::C_Show_class);
extern rts::Constant inst_Read_CoverPos_closure;
Value inst_Read_CoverPos();

// ---------------------------------------------------------------------------------------------
// Hashes

Value Hash(uint32_t word);
// The word of a hash (evaluated here).
uint32_t hashWord(const Value& hash);

VUX_STATIC_INSTANCE(inst_Eq_Hash, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Num_Hash, VUX::Internal::Num::C_Num_class);
VUX_STATIC_INSTANCE(inst_Show_Hash, VUX::Internal::Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_NFData_Hash, VUX::Record::Operation);
extern rts::Constant inst_Read_Hash_closure;
Value inst_Read_Hash();

// `toHash d x` through an instance of CoverHash.
Value toHash(const Value& dCoverHash, const Value& x);
// The word of `toHash d x`.
uint32_t hashOf(const Value& dCoverHash, const Value& x);

// Int: the low 32 bits; Integer: the value modulo 2^32; Char: the code point; Bool: 0 or 1.
VUX_STATIC_INSTANCE(inst_CoverHash_Int, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_CoverHash_Integer, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_CoverHash_Char, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_CoverHash_Bool, VUX::Record::Operation);
// (l1 * 2^24 + c1 * 2^16 + l2 * 2^8 + c2) modulo 2^32: wide columns carry into the line before.
VUX_STATIC_INSTANCE(inst_CoverHash_CoverPos, VUX::Record::Operation);
// A pair: (toHash a * 33) xor toHash b, the first hashed first.
Value inst_CoverHash_Tuple2(Value dA, Value dB);
// A list: h = 5381, then h = (h * 33) xor toHash x for each element from the first.
Value inst_CoverHash_List(Value dElem);
// The pair step, for the instances of other modules.
inline uint32_t combineHash(uint32_t h, uint32_t x) { return (h * 33u) ^ x; }

// ---------------------------------------------------------------------------------------------
// Errors

// `error message` raised with the one call-stack entry of its place in a module of this library.
[[noreturn]] void errorIn(const char* module, const char* source, Value message, int64_t line,
                          int64_t startCol, int64_t endCol);

// ---------------------------------------------------------------------------------------------
// Files

// `catchIO act handler`: act's result, or `handler e` when act raises an IOException e; every
// other exception passes unchanged.
Value catchIO(Value act, Value handler);
// `readFileUtf8 path`: the whole file decoded as UTF-8 (a byte-order mark stays as U+FEFF), read
// and closed before the text is returned. Bytes that are not UTF-8 raise an IOException naming
// the file.
Value readFileUtf8(Value path);
// `writeFileUtf8 path text`: creates the path's directory with its missing parents, then writes
// the text as UTF-8 (no line end added), creating or truncating the file.
Value writeFileUtf8(Value path, Value text);

}  // namespace Trace::Cover::Util
