#include "Data/ByteString.h"

#include <cstring>

#include "VUX/Internal/Err.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Data::ByteString {

using VUX::Types::Nil;

Value BS(Value bytes, uint64_t offset, uint64_t length) {
    const uint64_t words[2] = {offset, length};
    return rts::con_words(BS_tag, words, std::move(bytes));
}

std::string_view view(const Value& bs) {
    const Value& v = rts::force(bs);
    const Value& bytes = rts::field(v, 0);
    return {reinterpret_cast<const char*>(rts::bytes_data(bytes)) + rts::word(v, 0), rts::word(v, 1)};
}

RTS_CONSTANT(empty_constant) { return BS(rts::byte_array_from("", 0), 0, 0); }

Value empty() { return Value(empty_constant.get()); }

Value fromBytes(std::string_view bytes) {
    if (bytes.empty()) return empty();
    return BS(rts::byte_array_from(bytes.data(), bytes.size()), 0, bytes.size());
}

Value pack(const Value& word8s) {
    std::string bytes;
    Value cur = word8s;
    for (;;) {
        const Value& cell = rts::force(cur);
        if (cell->tag == VUX::Types::Nil_tag) break;
        bytes.push_back(static_cast<char>(word8Of(rts::force(rts::field(cell, 0)))));
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
    return fromBytes(bytes);
}

namespace {
// The bytes from `from` on, one list cell at a time.
Value unpackFrom(Value bs, uint64_t from) {
    return rts::delay([bs = std::move(bs), from]() -> Value {
        std::string_view bytes = view(bs);
        if (from >= bytes.size()) return Nil();
        return VUX::Types::Cons(W8_hash(static_cast<uint8_t>(bytes[from])), unpackFrom(bs, from + 1));
    });
}
}  // namespace

Value unpack(Value bs) { return unpackFrom(std::move(bs), 0); }

int64_t length(const Value& bs) { return static_cast<int64_t>(view(bs).size()); }
bool null(const Value& bs) { return view(bs).empty(); }

uint8_t index(const Value& bs, int64_t i) {
    std::string_view bytes = view(bs);
    if (i < 0)
        VUX::Internal::Err::errorWithoutStackTrace(
            VUX::Internal::List::fromBytes("Data.ByteString.index: negative index: " + std::to_string(i)));
    if (static_cast<uint64_t>(i) >= bytes.size())
        VUX::Internal::Err::errorWithoutStackTrace(
            VUX::Internal::List::fromBytes("Data.ByteString.index: index too large: " + std::to_string(i) +
                                           ", length = " + std::to_string(bytes.size())));
    return static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
}

Value append(const Value& a, const Value& b) {
    std::string_view x = view(a), y = view(b);
    if (x.empty()) return Value(rts::force(b));
    if (y.empty()) return Value(rts::force(a));
    Value out = rts::new_byte_array_uninit(x.size() + y.size());
    std::memcpy(rts::bytes_data(out), x.data(), x.size());
    std::memcpy(rts::bytes_data(out) + x.size(), y.data(), y.size());
    rts::freeze_byte_array(out);
    return BS(std::move(out), 0, x.size() + y.size());
}

std::string joinedBytes(const Value& list, std::string_view (*viewOf)(const Value&)) {
    std::string bytes;
    Value cur = list;
    for (;;) {
        const Value& cell = rts::force(cur);
        if (cell->tag == VUX::Types::Nil_tag) return bytes;
        bytes.append(viewOf(rts::field(cell, 0)));
        Value next = rts::field(cell, 1);
        cur = std::move(next);
    }
}

Value concat(const Value& bss) { return fromBytes(joinedBytes(bss, &view)); }

bool any(const Value& p, const Value& bs) {
    std::string_view bytes = view(bs);
    for (char c : bytes) {
        Value r = rts::apply(p, W8_hash(static_cast<uint8_t>(c)));
        if (VUX::Types::isTrue(rts::force(r))) return true;
    }
    return false;
}

Value packCString(const char* p) { return fromBytes(std::string_view(p, std::strlen(p))); }

Value useAsCString_io(Value bs, Value action) {
    return VUX::Internal::IO::io([bs = std::move(bs), action = std::move(action)]() -> Value {
        return useAsCString(bs, [&](const char* p) {
            Value ptr = rts::con_word(0, reinterpret_cast<uintptr_t>(p));
            return VUX::Internal::IO::runIO(rts::apply(action, ptr));
        });
    });
}

Value hGetNow(const Value& h, int64_t n, bool some) {
    const char* location = some ? "Data.ByteString.hGetSome" : "Data.ByteString.hGet";
    if (n < 0)
        VUX::Internal::IOError::throwIOError(
            VUX::Internal::IOError::mkIOErrorText(VUX::Internal::IOError::InvalidArgument_tag, location,
                                                  "illegal ByteString size " + std::to_string(n)));
    if (n == 0) return empty();
    Value bytes = rts::new_byte_array_uninit(static_cast<size_t>(n));
    using VUX::Internal::Handle::hGetBuf;
    using VUX::Internal::Handle::hGetBufSome;
    size_t got = (some ? hGetBufSome : hGetBuf)(h, rts::bytes_data(bytes), static_cast<size_t>(n));
    if (got == 0) return empty();
    rts::shrink_byte_array(bytes, got);
    rts::freeze_byte_array(bytes);
    return BS(std::move(bytes), 0, got);
}

Value hGetContentsNow(const Value& h) {
    std::string all;
    char buffer[32 * 1024];
    while (size_t got = VUX::Internal::Handle::hGetBufSome(h, buffer, sizeof buffer)) all.append(buffer, got);
    VUX::Internal::IO::runIO(VUX::Internal::Handle::hClose(h));
    return fromBytes(all);
}

void hPutNow(const Value& h, const Value& bs) {
    std::string_view bytes = view(bs);
    if (!bytes.empty()) VUX::Internal::Handle::hPutBuf(h, bytes.data(), bytes.size());
}

Value hGet(Value h, Value n) {
    return VUX::Internal::IO::io(
        [h = std::move(h), n = std::move(n)] { return hGetNow(h, VUX::Types::intOf(rts::force(n)), false); });
}
Value hGetSome(Value h, Value n) {
    return VUX::Internal::IO::io(
        [h = std::move(h), n = std::move(n)] { return hGetNow(h, VUX::Types::intOf(rts::force(n)), true); });
}
Value hGetContents(Value h) {
    return VUX::Internal::IO::io([h = std::move(h)] { return hGetContentsNow(h); });
}
Value hPut(Value h, Value bs) {
    return VUX::Internal::IO::io([h = std::move(h), bs = std::move(bs)]() -> Value {
        hPutNow(h, bs);
        return VUX::Tuple::Unit();
    });
}

int compareBytes(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int compareByteString(const Value& a, const Value& b) { return compareBytes(view(a), view(b)); }

Value showsBytes(std::string_view bytes, Value s) {
    return VUX::Internal::Show::showStringLiteral(VUX::Internal::List::fromBytes(bytes), std::move(s));
}

namespace {
Value showsByteString(int64_t, const Value& bs, Value s) { return showsBytes(view(bs), std::move(s)); }
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_ByteString_closure =
    VUX::Internal::OrdRecord::eqRecord<&compareByteString>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_ByteString_closure =
    VUX::Internal::OrdRecord::ordRecord<&inst_Eq_ByteString_closure, &compareByteString>();
constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_ByteString_closure{
    VUX::Record::fn<&VUX::Internal::Show::showsPrecWith<&showsByteString>>,
    VUX::Record::fn<&VUX::Internal::Show::default_show, &inst_Show_ByteString_closure>,
    VUX::Record::fn<&VUX::Internal::Show::default_showList, &inst_Show_ByteString_closure>};

}  // namespace Data::ByteString
