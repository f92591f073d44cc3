// Lazy byte strings: a lazily produced list of non-empty strict chunks.
//
//   data ByteString = Empty | Chunk chunk rest
//
// `Chunk` holds an evaluated, non-empty strict byte string and a suspended rest. Operations walk
// the chunks in loops and produce their results chunk by chunk on demand, so an endless or very
// long lazy byte string is handled as far as it is read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::ByteString::Lazy {

using rts::Value;

inline constexpr uint8_t Empty_tag = 0;
inline constexpr uint8_t Chunk_tag = 1;
Value Empty();
// `chunk c rest`: Chunk c rest, or rest itself when c is empty (the chunks stay non-empty).
Value chunk(const Value& strict, Value rest);

// C++ access: every byte, the chunks forced to the end; and a one-chunk lazy byte string.
std::string toStdString(const Value& lbs);
Value fromBytes(std::string_view bytes);

Value empty();
Value fromStrict(const Value& bs);
Value toStrict(const Value& lbs);    // evaluates every chunk
Value fromChunks(Value strictList);  // [strict] -> lazy, on demand; empty chunks dropped
Value toChunks(Value lbs);           // lazy -> [strict], on demand
Value pack(Value word8s);            // on demand, in chunks of at most kPackChunk bytes
Value unpack(Value lbs);             // [Word8], on demand
int64_t length(const Value& lbs);
bool null(const Value& lbs);
uint8_t index(const Value& lbs, int64_t i);  // errors name "Data.ByteString.Lazy.index"
Value append(Value a, Value b);              // b is not evaluated before a's chunks run out
Value concat(Value lbss);                    // [lazy] -> lazy, on demand
inline constexpr size_t kPackChunk = 4096;

// Handles (IO actions). `hGetContents h`: the rest of the input as a lazy byte string whose chunks
// (of at most kReadChunk bytes) are read as they are demanded; the handle is closed when the end
// of input is reached, and a read error is raised where the chunk is demanded. `hGet h n`: up to
// n bytes in one chunk. `hPut h lbs`: writes the chunks in order, each evaluated as it comes.
inline constexpr size_t kReadChunk = 32 * 1024;
Value hGetContents(Value h);
Value hGet(Value h, Value n);
Value hPut(Value h, Value lbs);

int compareLazyByteString(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_LazyByteString, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_LazyByteString, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Show_LazyByteString, VUX::Internal::Show::C_Show_class);

}  // namespace Data::ByteString::Lazy
