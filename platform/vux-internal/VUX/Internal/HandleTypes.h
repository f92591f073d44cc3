// The handle type, the open modes and the buffering modes.
//
//   data Handle     = FileHandle path cell | DuplexHandle path readCell writeCell
//   data IOMode     = ReadMode | WriteMode | AppendMode | ReadWriteMode
//   data BufferMode = NoBuffering | LineBuffering | BlockBuffering (Maybe Int)
//
// A handle's path is the name shown in messages (a character string); each cell is a one-slot
// mailbox holding the handle's state while no operation uses it (VUX.Internal.Handle). Handles are
// equal when they hold the same cell.
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Internal::HandleTypes {

using rts::Value;

inline constexpr uint8_t FileHandle_tag = 0;
inline constexpr uint8_t DuplexHandle_tag = 1;
inline Value FileHandle(Value path, Value cell) {
    return rts::con(FileHandle_tag, std::move(path), std::move(cell));
}
inline Value DuplexHandle(Value path, Value readCell, Value writeCell) {
    return rts::con(DuplexHandle_tag, std::move(path), std::move(readCell), std::move(writeCell));
}
// Fields of an evaluated handle: its path, the cell that reads use and the cell that writes use
// (the same one for a FileHandle).
inline const Value& handlePath(const Value& h) { return rts::field(h, 0); }
inline const Value& handleReadCell(const Value& h) { return rts::field(h, 1); }
inline const Value& handleWriteCell(const Value& h) {
    return rts::field(h, h->tag == DuplexHandle_tag ? 2 : 1);
}

// `h1 == h2`: the same (write) cell.
bool eqHandle(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_Handle, VUX::Classes::C_Eq_class);
// `show h`: "{handle: " path "}" at every precedence.
Value showsHandle(int64_t d, const Value& h, Value s);
VUX_STATIC_INSTANCE(inst_Show_Handle, Show::C_Show_class);

// IOMode
inline constexpr uint8_t ReadMode_tag = 0;
inline constexpr uint8_t WriteMode_tag = 1;
inline constexpr uint8_t AppendMode_tag = 2;
inline constexpr uint8_t ReadWriteMode_tag = 3;
extern rts::Object* const IOMode_closure_tbl[4];
inline Value IOMode(uint8_t tag) { return Value::adopt(IOMode_closure_tbl[tag]); }
inline Value ReadMode() { return IOMode(ReadMode_tag); }
inline Value WriteMode() { return IOMode(WriteMode_tag); }
inline Value AppendMode() { return IOMode(AppendMode_tag); }
inline Value ReadWriteMode() { return IOMode(ReadWriteMode_tag); }
VUX_STATIC_INSTANCE(inst_Show_IOMode, Show::C_Show_class);

// BufferMode
inline constexpr uint8_t NoBuffering_tag = 0;
inline constexpr uint8_t LineBuffering_tag = 1;
inline constexpr uint8_t BlockBuffering_tag = 2;
extern const rts::StaticNullary NoBuffering_closure;
extern const rts::StaticNullary LineBuffering_closure;
inline Value NoBuffering() { return NoBuffering_closure.value(); }
inline Value LineBuffering() { return LineBuffering_closure.value(); }
inline Value BlockBuffering(Value maybeSize) { return rts::con(BlockBuffering_tag, std::move(maybeSize)); }

extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcHandle, tcIOMode, tcBufferMode;

}  // namespace VUX::Internal::HandleTypes
