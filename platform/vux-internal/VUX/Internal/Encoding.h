// Text encodings of handles and of file names.
//
//   data TextEncoding = TextEncoding name codec
//
// A `TextEncoding` value names one of the codecs below. Decoding turns bytes into characters and
// encoding characters into bytes; both work on blocks and never allocate per byte beyond the list
// cells they produce.
//
//   UTF-8            strict: a malformed sequence, an overlong form, a surrogate or a code point
//                    above U+10FFFF is a decoding failure; a surrogate cannot be encoded.
//   UTF-8 roundtrip  the file-system encoding: decoding never fails. A byte that does not start or
//                    continue a well-formed sequence becomes the escape code point U+DC00 + byte
//                    (U+DC80 to U+DCFF, lone surrogates, which no well-formed UTF-8 produces), and
//                    encoding turns each escape back into its byte, so any byte string survives
//                    decoding and encoding unchanged.
//   ISO-8859-1       one byte per character; a character above U+00FF cannot be encoded (it is
//                    never silently cut to 8 bits). `latin1` and `latin1_checked` both check.
//   ASCII            the 7-bit subset; other bytes and characters fail.
//   char8            binary mode: one byte per character, characters cut to their low 8 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "VUX/Internal/List.h"
#include "rts/rts.h"

namespace VUX::Internal::Encoding {

using rts::Value;

enum class Codec : uint8_t { Utf8, Utf8Roundtrip, Latin1, Ascii, Char8 };

inline constexpr uint8_t TextEncoding_tag = 0;
// The static encodings.
extern const rts::StaticCon<1, 1> utf8_closure;
extern const rts::StaticCon<1, 1> utf8_roundtrip_closure;
extern const rts::StaticCon<1, 1> latin1_closure;
extern const rts::StaticCon<1, 1> latin1_checked_closure;
extern const rts::StaticCon<1, 1> ascii_closure;
extern const rts::StaticCon<1, 1> char8_closure;
inline Value utf8() { return utf8_closure.value(); }
inline Value latin1() { return latin1_closure.value(); }
inline Value latin1_checked() { return latin1_checked_closure.value(); }
inline Value char8() { return char8_closure.value(); }

// The codec and the name ("UTF-8", "UTF-8//ROUNDTRIP", "ISO-8859-1", "ASCII", "char8") of an
// encoding; both evaluate it.
Codec codecOf(const Value& encoding);
Value textEncodingName(const Value& encoding);

// `mkTextEncoding name`: an action answering the encoding of that name (case and the dashes of
// "UTF-8" are not significant; a "//ROUNDTRIP" suffix selects the roundtrip form of UTF-8); an
// unknown name raises an I/O error of kind no-such-thing from the action.
Value mkTextEncoding(Value name);
// The encoding with that name, or a null reference.
Value lookupEncoding(std::string_view name);

// The locale's encoding (LC_ALL, LC_CTYPE, LANG, read without changing the process's locale):
// UTF-8 for a UTF-8 locale, ISO-8859-1 for a Latin-1 one, ASCII for the C locale; new text handles
// use it. The file-system encoding starts as UTF-8 roundtrip. Both are settable (actions).
extern const rts::StaticFun getLocaleEncoding_closure;
extern const rts::StaticFun getFileSystemEncoding_closure;
inline Value getLocaleEncoding() { return getLocaleEncoding_closure.value(); }
inline Value getFileSystemEncoding() { return getFileSystemEncoding_closure.value(); }
Value setLocaleEncoding(Value encoding);
Value setFileSystemEncoding(Value encoding);
// The current values, for C++ callers.
Value localeEncoding();
Value fileSystemEncoding();

// ---------------------------------------------------------------------------------------------
// Block codecs

struct Decoded {
    size_t consumed;  // bytes turned into characters (a newline included when it stopped there)
    bool failed;      // stopped at a byte that cannot be decoded: in[consumed]
    bool newline;     // stopped right after a '\n' (not pushed)
};
// Decodes bytes [in, in + n) onto `out`. An incomplete sequence at the end is left unconsumed
// unless `atEnd` says no more bytes follow, when it is a failure. With `stopAtNewline` the
// decoding stops after the first '\n', which is consumed but not pushed.
Decoded decode(Codec codec, const uint8_t* in, size_t n, bool atEnd, List::ListBuilder& out,
               bool stopAtNewline);

// Encodes one character at `out` (room for 4 bytes); answers the bytes written, 0 when the codec
// cannot encode it.
size_t encodeChar(Codec codec, uint32_t c, uint8_t* out);

// Whole strings: decoding fails with a null reference; encoding answers false.
Value decodeString(Codec codec, std::string_view bytes);
bool encodeString(Codec codec, const Value& chars, std::string& out);

}  // namespace VUX::Internal::Encoding
