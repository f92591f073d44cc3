// Strict byte strings: a slice of a pinned byte array.
//
//   data ByteString = BS bytes offset length
//
// One reference (an immutable, pinned byte array of the runtime) and two words (the first byte's
// offset in the array and the number of bytes). Slices share their array, so `append` with an
// empty side and slicing copy nothing. Every operation evaluates its byte-string arguments; a list
// given to `pack` or `concat` is walked in a loop, so long lists cost no stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Word.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::ByteString {

using rts::Value;

inline constexpr uint8_t BS_tag = 0;
Value BS(Value bytes, uint64_t offset, uint64_t length);

// A boxed byte (`W8#`): the element type of packed and unpacked lists.
using VUX::Internal::Word::W8_hash;
inline uint8_t word8Of(const Value& w) { return static_cast<uint8_t>(rts::word(w, 0)); }

// C++ access: the bytes of a byte string (evaluated here; the view lives as long as the value),
// and a byte string holding a copy of `bytes`.
std::string_view view(const Value& bs);
Value fromBytes(std::string_view bytes);
inline std::string toStdString(const Value& bs) { return std::string(view(bs)); }

// The language's operations.
Value empty();
Value pack(const Value& word8s);  // [Word8] -> ByteString; the whole list is evaluated
Value unpack(Value bs);           // ByteString -> [Word8], produced on demand
int64_t length(const Value& bs);
bool null(const Value& bs);
// `index bs i`: byte i; outside 0 .. length-1 an error ("Data.ByteString.index: ...").
uint8_t index(const Value& bs, int64_t i);
Value append(const Value& a, const Value& b);
Value concat(const Value& bss);  // [ByteString] -> ByteString
// The bytes of every element of a list of byte strings, joined; `viewOf` reads one element.
std::string joinedBytes(const Value& list, std::string_view (*viewOf)(const Value&));
// `any p bs`: whether `p` (a function from a boxed byte to Bool) holds for some byte.
bool any(const Value& p, const Value& bs);
// `packCString p`: the bytes from p up to its NUL byte, copied.
Value packCString(const char* p);

// `useAsCString bs f`: f on a NUL-terminated copy of the bytes, valid while f runs.
template <class F>
auto useAsCString(const Value& bs, F&& f) -> decltype(f(static_cast<const char*>(nullptr))) {
    std::string copy(view(bs));
    return f(copy.c_str());
}
// The language form: `useAsCString bs action` is an IO action that runs `action p` (p a boxed
// address, `Ptr`) on a NUL-terminated copy that lives until that action has run.
Value useAsCString_io(Value bs, Value action);

// Handles (IO actions). `hGet h n`: up to n bytes, fewer only at the end of input (a negative n
// is an invalid-argument I/O error); `hGetSome h n`: what is available, at most n, waiting only
// when nothing is; `hGetContents h`: everything up to the end of input, after which the handle
// is closed; `hPut h bs`: writes the bytes through the handle's buffer. Read and write errors are
// the handle's I/O errors.
Value hGet(Value h, Value n);
Value hGetSome(Value h, Value n);
Value hGetContents(Value h);
Value hPut(Value h, Value bs);
// The same, performed now.
Value hGetNow(const Value& h, int64_t n, bool some);
Value hGetContentsNow(const Value& h);
void hPutNow(const Value& h, const Value& bs);

// Three-way comparison of the bytes as unsigned numbers, shorter first on a common prefix.
int compareBytes(std::string_view a, std::string_view b);
int compareByteString(const Value& a, const Value& b);

// Instances: equality, lexicographic order, and the text form of the bytes as a string literal
// (one character per byte).
VUX_STATIC_INSTANCE(inst_Eq_ByteString, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_ByteString, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Show_ByteString, VUX::Internal::Show::C_Show_class);
// The text form of raw bytes as a string literal in front of s (shared with the other forms).
Value showsBytes(std::string_view bytes, Value s);

}  // namespace Data::ByteString
