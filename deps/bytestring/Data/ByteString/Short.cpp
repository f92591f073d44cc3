#include "Data/ByteString/Short.h"

#include "Data/ByteString.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace Data::ByteString::Short {

namespace BS = Data::ByteString;

std::string_view view(const Value& sbs) {
    const Value& bytes = rts::field(rts::force(sbs), 0);
    return {reinterpret_cast<const char*>(rts::bytes_data(bytes)), rts::bytes_length(bytes)};
}

RTS_CONSTANT(emptyShort_constant) { return SBS(rts::byte_array_from("", 0)); }

Value empty() { return Value(emptyShort_constant.get()); }

Value fromBytes(std::string_view bytes) {
    if (bytes.empty()) return empty();
    return SBS(rts::byte_array_from(bytes.data(), bytes.size()));
}

// The list-walking operations reuse the strict forms and copy the result into an array of its own.
Value pack(const Value& word8s) { return toShort(BS::pack(word8s)); }
Value concat(const Value& sbss) { return fromBytes(BS::joinedBytes(sbss, &view)); }
Value unpack(Value sbs) {
    return BS::unpack(rts::delay([sbs = std::move(sbs)] { return fromShort(sbs); }));
}

int64_t length(const Value& sbs) { return static_cast<int64_t>(view(sbs).size()); }
bool null(const Value& sbs) { return view(sbs).empty(); }

uint8_t index(const Value& sbs, int64_t i) {
    std::string_view bytes = view(sbs);
    if (i < 0 || static_cast<uint64_t>(i) >= bytes.size())
        VUX::Internal::Err::errorWithoutStackTrace(VUX::Internal::List::fromBytes(
            "Data.ByteString.Short.index: error in array index; " + std::to_string(i) + " not in range [0.." +
            std::to_string(bytes.size()) + ")"));
    return static_cast<uint8_t>(bytes[static_cast<size_t>(i)]);
}

Value append(const Value& a, const Value& b) {
    std::string_view x = view(a), y = view(b);
    if (x.empty()) return Value(rts::force(b));
    if (y.empty()) return Value(rts::force(a));
    std::string bytes;
    bytes.reserve(x.size() + y.size());
    bytes.append(x).append(y);
    return fromBytes(bytes);
}

bool any(const Value& p, const Value& sbs) {
    return BS::any(p, BS::BS(rts::field(rts::force(sbs), 0), 0, view(sbs).size()));
}

Value toShort(const Value& bs) { return fromBytes(BS::view(bs)); }
Value fromShort(const Value& sbs) { return BS::fromBytes(view(sbs)); }

int compareShortByteString(const Value& a, const Value& b) { return BS::compareBytes(view(a), view(b)); }

namespace {
Value showsShort(int64_t, const Value& sbs, Value s) { return BS::showsBytes(view(sbs), std::move(s)); }
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_ShortByteString_closure =
    VUX::Internal::OrdRecord::eqRecord<&compareShortByteString>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_ShortByteString_closure =
    VUX::Internal::OrdRecord::ordRecord<&inst_Eq_ShortByteString_closure, &compareShortByteString>();
constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_ShortByteString_closure{
    VUX::Record::fn<&VUX::Internal::Show::showsPrecWith<&showsShort>>,
    VUX::Record::fn<&VUX::Internal::Show::default_show, &inst_Show_ShortByteString_closure>,
    VUX::Record::fn<&VUX::Internal::Show::default_showList, &inst_Show_ShortByteString_closure>};

}  // namespace Data::ByteString::Short
