// Short byte strings: an immutable byte array held whole, without offset.
//
//   data ShortByteString = SBS bytes
//
// The runtime's byte arrays never move, so these are pinned as well; the type differs from the
// strict byte string in holding no slice (no offset, no shared larger array). Operations
// evaluate their byte-string arguments.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::ByteString::Short {

using rts::Value;

inline constexpr uint8_t SBS_tag = 0;
inline Value SBS(Value bytes) { return rts::con(SBS_tag, std::move(bytes)); }

// C++ access, as for strict byte strings.
std::string_view view(const Value& sbs);
Value fromBytes(std::string_view bytes);
inline std::string toStdString(const Value& sbs) { return std::string(view(sbs)); }

Value empty();
Value pack(const Value& word8s);
Value unpack(Value sbs);
int64_t length(const Value& sbs);
bool null(const Value& sbs);
uint8_t index(const Value& sbs, int64_t i);  // errors name "Data.ByteString.Short.index"
Value append(const Value& a, const Value& b);
Value concat(const Value& sbss);
bool any(const Value& p, const Value& sbs);
// Conversions with strict byte strings (each copies the bytes).
Value toShort(const Value& bs);
Value fromShort(const Value& sbs);

int compareShortByteString(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_ShortByteString, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_ShortByteString, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Show_ShortByteString, VUX::Internal::Show::C_Show_class);

}  // namespace Data::ByteString::Short
