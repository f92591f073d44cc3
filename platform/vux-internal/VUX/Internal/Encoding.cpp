#include "VUX/Internal/Encoding.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>

#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Tuple.h"

namespace VUX::Internal::Encoding {

using namespace VUX::Types;
using List::boxChar;
using List::ListBuilder;

namespace {
constexpr rts::StaticCon<1, 1> staticEncoding(const rts::Object* name, Codec codec) {
    return rts::StaticCon<1, 1>(TextEncoding_tag, rts::ref_slot(name),
                                rts::word_slot(static_cast<uint64_t>(codec)));
}
}  // namespace

// The names are static character lists built at first use; the records hold them as constants.
RTS_CONSTANT(utf8Name) { return List::fromBytes("UTF-8"); }
RTS_CONSTANT(utf8RoundtripName) { return List::fromBytes("UTF-8//ROUNDTRIP"); }
RTS_CONSTANT(latin1Name) { return List::fromBytes("ISO-8859-1"); }
RTS_CONSTANT(asciiName) { return List::fromBytes("ASCII"); }
RTS_CONSTANT(char8Name) { return List::fromBytes("char8"); }

constinit const rts::StaticCon<1, 1> utf8_closure = staticEncoding(utf8Name.object(), Codec::Utf8);
constinit const rts::StaticCon<1, 1> utf8_roundtrip_closure =
    staticEncoding(utf8RoundtripName.object(), Codec::Utf8Roundtrip);
constinit const rts::StaticCon<1, 1> latin1_closure = staticEncoding(latin1Name.object(), Codec::Latin1);
constinit const rts::StaticCon<1, 1> latin1_checked_closure =
    staticEncoding(latin1Name.object(), Codec::Latin1);
constinit const rts::StaticCon<1, 1> ascii_closure = staticEncoding(asciiName.object(), Codec::Ascii);
constinit const rts::StaticCon<1, 1> char8_closure = staticEncoding(char8Name.object(), Codec::Char8);

Codec codecOf(const Value& encoding) { return static_cast<Codec>(rts::word(rts::force(encoding), 0)); }
Value textEncodingName(const Value& encoding) { return rts::field(rts::force(encoding), 0); }

namespace {
// "utf-8", "UTF8" and "utf_8" are one name: letters compared without case, '-' and '_' dropped.
std::string normalName(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != '-' && c != '_') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

Value lookupEncoding(std::string_view name) {
    std::string n = normalName(name);
    if (n == "UTF8") return utf8();
    if (n == "UTF8//ROUNDTRIP") return utf8_roundtrip_closure.value();
    if (n == "ISO88591" || n == "LATIN1") return latin1();
    if (n == "ASCII" || n == "USASCII" || n == "ANSIX3.41968") return ascii_closure.value();
    if (n == "CHAR8") return char8();
    return Value();
}

Value mkTextEncoding(Value name) {
    return IO::io([name] {
        std::string text = List::toUtf8(name);
        Value e = lookupEncoding(text);
        if (!e)
            IOError::throwIOError(IOError::mkIOErrorText(IOError::NoSuchThing_tag, "mkTextEncoding",
                                                         "unknown encoding:" + text));
        return e;
    });
}

namespace {
// The codeset of the environment's locale, read without touching the process's own locale.
Value encodingOfEnvironment() {
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return ascii_closure.value();
    Value e = lookupEncoding(nl_langinfo_l(CODESET, loc));
    freelocale(loc);
    return e ? e : utf8();
}

// The settable encodings hold static records only, so a plain atomic pointer is enough.
std::atomic<rts::Object*> locale_setting{nullptr};
std::atomic<rts::Object*> file_system_setting{utf8_roundtrip_closure.object()};

Value getLocale(const Value&) { return localeEncoding(); }
Value getFileSystem(const Value&) { return fileSystemEncoding(); }
}  // namespace

Value localeEncoding() {
    rts::Object* e = locale_setting.load(std::memory_order_acquire);
    if (e == nullptr) {
        rts::Object* found = encodingOfEnvironment().get();
        locale_setting.compare_exchange_strong(e, found, std::memory_order_acq_rel);
        e = locale_setting.load(std::memory_order_acquire);
    }
    return Value::adopt(e);
}
Value fileSystemEncoding() { return Value::adopt(file_system_setting.load(std::memory_order_acquire)); }

constinit const rts::StaticFun getLocaleEncoding_closure{rts::static_fun_info<&getLocale>};
constinit const rts::StaticFun getFileSystemEncoding_closure{rts::static_fun_info<&getFileSystem>};

namespace {
// The static record an encoding value stands for (every encoding value is one of them).
rts::Object* staticRecord(const Value& encoding) {
    const Value& e = rts::force(encoding);
    if (e->rc.load(std::memory_order_relaxed) == 0) return e.get();
    return lookupEncoding(List::toUtf8(textEncodingName(e))).get();
}
}  // namespace

Value setLocaleEncoding(Value encoding) {
    return IO::io([encoding] {
        locale_setting.store(staticRecord(encoding), std::memory_order_release);
        return Tuple::Unit();
    });
}
Value setFileSystemEncoding(Value encoding) {
    return IO::io([encoding] {
        file_system_setting.store(staticRecord(encoding), std::memory_order_release);
        return Tuple::Unit();
    });
}

// ---------------------------------------------------------------------------------------------
// Decoding

namespace {
inline bool continuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// The length of a well-formed UTF-8 sequence at `p` (n bytes available), 0 when it is malformed,
// or -1 when the bytes so far are a valid beginning that is cut off at the end.
inline int utf8Length(const uint8_t* p, size_t n, uint32_t& cp) {
    uint8_t b0 = p[0];
    int len;
    uint8_t lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 < 0xF0) {
        len = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;  // no surrogates
    } else if (b0 < 0xF5) {
        len = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (int k = 1; k < len; ++k) {
        if (static_cast<size_t>(k) >= n) return -1;
        uint8_t b = p[k];
        if (k == 1 ? (b < lo || b > hi) : !continuation(b)) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

Decoded decodeUtf8(const uint8_t* in, size_t n, bool atEnd, ListBuilder& out, bool stopAtNewline,
                   bool roundtrip) {
    size_t i = 0;
    while (i < n) {
        uint8_t b = in[i];
        if (b < 0x80) {
            ++i;
            if (b == '\n' && stopAtNewline) return {i, false, true};
            out.push(boxChar(b));
            continue;
        }
        uint32_t cp = 0;
        int len = utf8Length(in + i, n - i, cp);
        if (len > 0) {
            out.pushChar(cp);
            i += static_cast<size_t>(len);
            continue;
        }
        if (len < 0 && !atEnd) return {i, false, false};
        if (!roundtrip) return {i, true, false};
        out.pushChar(0xDC00 + b);
        ++i;
    }
    return {i, false, false};
}

Decoded decodeBytes(const uint8_t* in, size_t n, ListBuilder& out, bool stopAtNewline, uint8_t limit) {
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = in[i];
        if (b > limit) return {i, true, false};
        if (b == '\n' && stopAtNewline) return {i + 1, false, true};
        out.push(boxChar(b));
    }
    return {n, false, false};
}
}  // namespace

Decoded decode(Codec codec, const uint8_t* in, size_t n, bool atEnd, ListBuilder& out, bool stopAtNewline) {
    switch (codec) {
        case Codec::Utf8: return decodeUtf8(in, n, atEnd, out, stopAtNewline, false);
        case Codec::Utf8Roundtrip: return decodeUtf8(in, n, atEnd, out, stopAtNewline, true);
        case Codec::Ascii: return decodeBytes(in, n, out, stopAtNewline, 0x7F);
        case Codec::Latin1:
        case Codec::Char8: return decodeBytes(in, n, out, stopAtNewline, 0xFF);
    }
    return {0, true, false};
}

// ---------------------------------------------------------------------------------------------
// Encoding

namespace {
inline size_t encodeUtf8(uint32_t c, uint8_t* out) {
    if (c < 0x80) {
        out[0] = static_cast<uint8_t>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (c >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | (c >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        return 3;
    }
    if (c > 0x10FFFF) return 0;
    out[0] = static_cast<uint8_t>(0xF0 | (c >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (c & 0x3F));
    return 4;
}
inline bool surrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
}  // namespace

size_t encodeChar(Codec codec, uint32_t c, uint8_t* out) {
    switch (codec) {
        case Codec::Utf8:
            if (surrogate(c)) return 0;
            return encodeUtf8(c, out);
        case Codec::Utf8Roundtrip:
            if (c >= 0xDC80 && c <= 0xDCFF) {
                out[0] = static_cast<uint8_t>(c - 0xDC00);
                return 1;
            }
            if (surrogate(c)) return 0;
            return encodeUtf8(c, out);
        case Codec::Latin1:
        case Codec::Ascii:
            if (c > (codec == Codec::Ascii ? 0x7Fu : 0xFFu)) return 0;
            out[0] = static_cast<uint8_t>(c);
            return 1;
        case Codec::Char8: out[0] = static_cast<uint8_t>(c); return 1;
    }
    return 0;
}

Value decodeString(Codec codec, std::string_view bytes) {
    ListBuilder b;
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    Decoded d = decode(codec, p, bytes.size(), true, b, false);
    if (d.failed) return Value();
    return b.finish(Nil());
}

bool encodeString(Codec codec, const Value& chars, std::string& out) {
    Value cur = chars;
    for (;;) {
        const Value& cell = rts::force(cur);
        if (cell->tag == Nil_tag) return true;
        uint8_t buf[4];
        size_t k = encodeChar(codec, charOf(rts::force(rts::field(cell, 0))), buf);
        if (k == 0) return false;
        out.append(reinterpret_cast<const char*>(buf), k);
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

}  // namespace VUX::Internal::Encoding
