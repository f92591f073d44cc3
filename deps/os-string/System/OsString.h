// Native strings of the operating system and their encodings.
//
//   newtype PosixString = PosixString ShortByteString
//   newtype OsString    = OsString PosixString      -- on POSIX systems
//   type    OsPath      = OsString
//
// The wrappers have no representation of their own: an `OsString`, a `PosixString` and an
// `OsPath` are the short byte string itself, bytes with no encoding applied, passed to and from
// the system unchanged. Characters become bytes through a text encoding of the base library
// (VUX/Internal/Encoding.h): explicitly (`encodeWith`, `decodeWith`, strict and lenient UTF-8), or
// through the process's file-system encoding (`encodeFS`, `decodeFS`), which is UTF-8 roundtrip
// unless the program changes it: its decoding never fails and maps each byte that is not
// well-formed UTF-8 to an escape code point (U+DC80 to U+DCFF) that encodes back to that byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Data/ByteString/Short.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace System::OsString {

using rts::Value;

// The bytes of a native string, and a native string holding a copy of bytes (no encoding).
inline std::string_view view(const Value& os) { return Data::ByteString::Short::view(os); }
inline Value fromBytes(std::string_view bytes) { return Data::ByteString::Short::fromBytes(bytes); }
inline std::string toStdString(const Value& os) { return Data::ByteString::Short::toStdString(os); }
// `unpack`: the bytes as a list of boxed bytes; `pack` the other way.
inline Value unpack(Value os) { return Data::ByteString::Short::unpack(std::move(os)); }
inline Value pack(const Value& word8s) { return Data::ByteString::Short::pack(word8s); }
// `any_ p os`: whether any byte satisfies p.
inline bool any_(const Value& p, const Value& os) { return Data::ByteString::Short::any(p, os); }

// EncodingException: `EncodingError description (Maybe Word8)`, the offending byte when known.
inline constexpr uint8_t EncodingError_tag = 0;
Value EncodingError(Value description, Value maybeByte);
VUX_STATIC_INSTANCE(inst_Show_EncodingException, VUX::Internal::Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_Exception_EncodingException, VUX::Internal::Exception::C_Exception_class);
// Type representations of the module.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcEncodingException;

// `decodeWith enc os`, `encodeWith enc chars`: `Right` the result or `Left` an
// EncodingException (the offending byte when decoding). Strings are evaluated whole.
Value decodeWith(const Value& encoding, const Value& os);
Value encodeWith(const Value& encoding, const Value& chars);
// Strict UTF-8 (malformed bytes, overlong forms, surrogates fail).
Value encodeUtf8(const Value& chars);
Value decodeUtf8(const Value& os);
// Lenient UTF-8 decoding: each byte that does not begin a well-formed sequence becomes U+FFFD.
Value decodeUtf8Lenient(const Value& os);

// The file-system encoding, as it is when called. A failure raises the EncodingException.
Value encodeFS(const Value& chars);
Value decodeFS(const Value& os);
// The base library's own file-system conversions, as the file layer names them.
inline Value decodeWithBasePosix(const Value& os) { return decodeFS(os); }
inline Value encodeWithBasePosix(const Value& chars) { return encodeFS(chars); }

// A character list evaluated to its end as code points, and a fully built list of code points.
std::u32string codePoints(const Value& chars);
Value fromCodePoints(std::u32string_view points);

// C++ forms: the bytes of a character string in the file-system encoding (raises the
// EncodingException), and the characters of bytes: decoded with the file-system encoding, or,
// where that fails, one character per byte (the form used for file names in messages).
std::string encodeFSBytes(const Value& chars);
Value decodeFSOrBytes(std::string_view bytes);
// A native string from UTF-8 C++ text (the literal form `[osp|...|]`).
inline Value osp(std::string_view utf8) { return fromBytes(utf8); }

// Instances: those of the short byte string underneath.
inline Value inst_Eq_OsString() { return Data::ByteString::Short::inst_Eq_ShortByteString(); }
inline Value inst_Ord_OsString() { return Data::ByteString::Short::inst_Ord_ShortByteString(); }
inline Value inst_Show_OsString() { return Data::ByteString::Short::inst_Show_ShortByteString(); }

}  // namespace System::OsString
