// String literals: NUL-terminated bytes turned into character lists on demand.
//
// Every unpacker is lazy one cell at a time: a call reads the bytes of the first character and
// returns its cell (or the end); the cell's tail is a suspended computation that unpacks from just
// past those bytes, computed at most once and shared by every holder of the cell. A literal ends at
// its first 0 byte, always: no unpacker reads past it (a UTF-8 sequence cut short by the 0 ends the
// list without yielding the incomplete character).
//
// To hold a literal as a top-level constant in C++:
//     constinit VUX::CString::StaticCString greeting{"hello"};        // one byte per character
//     constinit VUX::CString::StaticCStringUtf8 euro{"\xe2\x82\xac"};   // UTF-8
//     ... greeting.value() (deferred) or greeting.get() (the list, unpacked on first use) ...
#pragma once

#include <cstdint>

#include "VUX/Types.h"

namespace VUX::CString {

using rts::Value;

// One byte per character (code points 0 to 255).
Value unpackCString_hash(const char* addr);
// The characters of the literal in front of `tail`; the empty literal gives `tail` itself, evaluated.
Value unpackAppendCString_hash(const char* addr, const Value& tail);
// f c1 (f c2 (... z)), each inner fold suspended; the empty literal gives z, evaluated.
Value unpackFoldrCString_hash(const char* addr, const Value& f, const Value& z);

// UTF-8: the first byte chooses the length (1 to 4 bytes); nothing is validated.
Value unpackCStringUtf8_hash(const char* addr);
Value unpackAppendCStringUtf8_hash(const char* addr, const Value& tail);
Value unpackFoldrCStringUtf8_hash(const char* addr, const Value& f, const Value& z);

// Exactly `count` characters, one per byte (a 0 byte included), built at once; [] for count <= 0.
Value unpackNBytes_hash(const char* addr, int64_t count);

// The number of bytes before the first 0 byte.
int64_t cstringLength_hash(const char* addr);
int64_t c_strlen(const char* addr);

// The shared static box of a character below 256 (the one-byte unpackers use these, so unpacking
// allocates no character boxes).
extern const rts::StaticCon<0, 1> latin1_char_closures[256];
inline Value latin1Char(uint8_t c) { return latin1_char_closures[c].value(); }

// Bytes: One, Two, Three, Four (exported with its type representation; nothing here uses it).
inline constexpr uint8_t One_tag = 0;
inline constexpr uint8_t Two_tag = 1;
inline constexpr uint8_t Three_tag = 2;
inline constexpr uint8_t Four_tag = 3;
extern rts::Object* const Bytes_closure_tbl[4];

extern const Types::StaticModule trModule;
extern const Types::StaticTyCon tcBytes, tc_prime_One, tc_prime_Two, tc_prime_Three, tc_prime_Four;

// A static string-literal thunk: a top-level constant that holds a literal's address and unpacks
// it on first use; afterwards every use shares the same list. Never freed, thread-safe, and with
// the exception rules of any top-level constant.
struct alignas(16) StaticCStringBase {
    rts::ThunkObject obj;
    const char* bytes;  // read by the thunk's code just past the thunk header
    constexpr StaticCStringBase(const rts::ThunkInfo* info, const char* s) : obj(0, info), bytes(s) {}
    StaticCStringBase(const StaticCStringBase&) = delete;
    // The constant as a value (still deferred).
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&obj.header); }
    // The list, unpacked on first use.
    const Value& get() const {
        if (RTS_LIKELY(obj.state.load(std::memory_order_acquire) == rts::kEvaluated)) return rts::as_value(obj.result);
        return rts::force_thunk(object());
    }
};
extern const rts::ThunkInfo static_cstring_info;
extern const rts::ThunkInfo static_cstring_utf8_info;
struct StaticCString : StaticCStringBase {
    constexpr explicit StaticCString(const char* s) : StaticCStringBase(&static_cstring_info, s) {}
};
struct StaticCStringUtf8 : StaticCStringBase {
    constexpr explicit StaticCStringUtf8(const char* s) : StaticCStringBase(&static_cstring_utf8_info, s) {}
};

}  // namespace VUX::CString
