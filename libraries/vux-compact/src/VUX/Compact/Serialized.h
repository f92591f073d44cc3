// Module VUX.Compact.Serialized: moving a compact region out of its process and back.
//
//   data SerializedCompact a = SerializedCompact
//       { serializedCompactBlockList :: [(Ptr a, Word)], serializedCompactRoot :: Ptr a }
//
// The serialized form of a region is this record together with the bytes of each block, read
// while withSerializedCompact runs. An import uses only the order of the list, the sizes and the
// root address; the runtime checks the bytes it is given, so damaged or foreign bytes give
// Nothing, never a region that points outside itself.
#pragma once

#include <cstdint>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Compact::Serialized {

using rts::Value;

extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcSerializedCompact;

// `Ptr a`: one machine address.
inline constexpr uint8_t Ptr_tag = 0;
inline Value Ptr(const void* address) { return rts::con_word(Ptr_tag, reinterpret_cast<uintptr_t>(address)); }
inline uint64_t addressOf(const Value& ptr) { return rts::word(rts::force(ptr), 0); }

inline constexpr uint8_t SerializedCompact_tag = 0;
inline Value SerializedCompact(Value blocks, Value root) {
    return rts::con(SerializedCompact_tag, std::move(blocks), std::move(root));
}
Value serializedCompactBlockList(const Value& s);
Value serializedCompactRoot(const Value& s);

// `withSerializedCompact c f`: runs `f` on the region's block list and root address, holding the
// region's lock and keeping the region alive; f's action's result.
Value withSerializedCompact(Value c, Value f);
// `importCompact s fill`: allocates a block for each pair in order, runs `fill ptr size` on each
// before looking at the next pair, then fixes the region up: Just the handle, or Nothing for an
// empty list or bytes that do not form a region of this runtime.
Value importCompact(Value s, Value fill);
// `importCompactByteStrings s bss`: the import with one strict byte string per block; Nothing,
// allocating nothing, when the counts or a length and its block's size differ.
Value importCompactByteStrings(Value s, Value bss);

}  // namespace VUX::Compact::Serialized
