#include "System/OsString.h"

#include <optional>

#include "Data/Either.h"
#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace System::OsString {

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "System.OsString");
VUX_DEFINE_TYCON(tcEncodingException, trModule, "EncodingException", 0, VUX::Types::kindType);

using namespace VUX::Internal;

namespace {

constexpr uint32_t kReplacement = 0xFFFD;
using Encoding::Codec;

Value encodingError(const std::string& description, int byte) {
    return EncodingError(
        List::fromBytes(description),
        byte < 0 ? Maybe::Nothing() : Maybe::Just(rts::con_word(0, static_cast<uint64_t>(byte))));
}

std::string encodingName(const Value& encoding) { return List::toUtf8(Encoding::textEncodingName(encoding)); }

// Decodes all the bytes; a byte that cannot be decoded is replaced by U+FFFD when `lenient`,
// otherwise the position of the first one is answered (and the list is dropped).
std::optional<size_t> decodeAll(Codec codec, std::string_view bytes, bool lenient, List::ListBuilder& out) {
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    for (size_t at = 0;;) {
        Encoding::Decoded d = Encoding::decode(codec, p + at, bytes.size() - at, true, out, false);
        at += d.consumed;
        if (!d.failed) return std::nullopt;
        if (!lenient) return at;
        out.pushChar(kReplacement);
        ++at;
    }
}

std::string hex(uint32_t x) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    do s.insert(s.begin(), digits[x & 15]), x >>= 4;
    while (x != 0);
    return s;
}

Value unencodable(uint32_t c, const Value& encoding) {
    return encodingError("invalid character U+" + hex(c) + " for " + encodingName(encoding), -1);
}

Value rightOrThrow(const Value& either) {
    const Value& e = rts::force(either);
    if (e->tag == Data::Either::Left_tag)
        Exception::throw_(inst_Exception_EncodingException(), rts::field(e, 0));
    return rts::field(e, 0);
}

// `show`: "Cannot decode byte '\xNN': description", or "Cannot decode input: description".
Value showsEncodingException(int64_t, const Value& x, Value s) {
    const Value& e = rts::force(x);
    const Value& byte = rts::force(rts::field(e, 1));
    std::string head = "Cannot decode input: ";
    if (Maybe::isJust(byte))
        head = "Cannot decode byte '\\x" +
               hex(static_cast<uint32_t>(rts::word(rts::force(rts::field(byte, 0)), 0))) + "': ";
    return Show::showText(head, List::op_plus_plus(rts::field(e, 0), std::move(s)));
}
}  // namespace

Value EncodingError(Value description, Value maybeByte) {
    return rts::con(EncodingError_tag, std::move(description), std::move(maybeByte));
}

constinit const VUX::Record::Static<Show::C_Show_class> inst_Show_EncodingException_closure{
    VUX::Record::fn<&Show::showsPrecWith<&showsEncodingException>>,
    VUX::Record::fn<&Show::default_show, &inst_Show_EncodingException_closure>,
    VUX::Record::fn<&Show::default_showList, &inst_Show_EncodingException_closure>};
constinit const VUX::Record::Static<Exception::C_Exception_class> inst_Exception_EncodingException_closure{
    VUX::Record::ref(tcEncodingException), VUX::Record::ref(inst_Show_EncodingException_closure),
    VUX::Record::fn<&Exception::default_toException, &inst_Exception_EncodingException_closure>,
    VUX::Record::fn<&Exception::default_fromException, &inst_Exception_EncodingException_closure>,
    VUX::Record::fn<&Exception::default_displayException, &inst_Exception_EncodingException_closure>};

std::u32string codePoints(const Value& chars) {
    std::u32string out;
    Value cur = chars;
    for (;;) {
        const Value& cell = rts::force(cur);
        if (cell->tag == VUX::Types::Nil_tag) return out;
        out.push_back(VUX::Types::charOf(rts::force(rts::field(cell, 0))));
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

Value fromCodePoints(std::u32string_view points) {
    List::ListBuilder list;
    for (char32_t c : points) list.pushChar(c);
    return list.finish(VUX::Types::Nil());
}

Value decodeWith(const Value& encoding, const Value& os) {
    std::string_view bytes = view(os);
    List::ListBuilder out;
    std::optional<size_t> bad = decodeAll(Encoding::codecOf(encoding), bytes, false, out);
    if (bad)
        return Data::Either::Left(encodingError(
            "invalid byte sequence for " + encodingName(encoding) + " at offset " + std::to_string(*bad),
            static_cast<uint8_t>(bytes[*bad])));
    return Data::Either::Right(out.finish(VUX::Types::Nil()));
}

Value encodeWith(const Value& encoding, const Value& chars) {
    Codec codec = Encoding::codecOf(encoding);
    std::string out;
    for (char32_t c : codePoints(chars)) {
        uint8_t buf[4];
        size_t n = Encoding::encodeChar(codec, c, buf);
        if (n == 0) return Data::Either::Left(unencodable(c, encoding));
        out.append(reinterpret_cast<const char*>(buf), n);
    }
    return Data::Either::Right(fromBytes(out));
}

Value encodeUtf8(const Value& chars) { return encodeWith(Encoding::utf8(), chars); }
Value decodeUtf8(const Value& os) { return decodeWith(Encoding::utf8(), os); }

Value decodeUtf8Lenient(const Value& os) {
    List::ListBuilder out;
    decodeAll(Codec::Utf8, view(os), true, out);
    return out.finish(VUX::Types::Nil());
}

Value encodeFS(const Value& chars) { return rightOrThrow(encodeWith(Encoding::fileSystemEncoding(), chars)); }
Value decodeFS(const Value& os) { return rightOrThrow(decodeWith(Encoding::fileSystemEncoding(), os)); }

std::string encodeFSBytes(const Value& chars) { return std::string(view(encodeFS(chars))); }

Value decodeFSOrBytes(std::string_view bytes) {
    Value decoded = Encoding::decodeString(Encoding::codecOf(Encoding::fileSystemEncoding()), bytes);
    return decoded ? decoded : List::fromBytes(bytes);
}

}  // namespace System::OsString
