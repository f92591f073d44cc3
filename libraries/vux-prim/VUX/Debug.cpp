#include "VUX/Debug.h"

#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "cbits/cbits.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Debug");

namespace VUX::Debug {

namespace {

using Types::Cons_tag;

// Counts the cells of the list's spine plus one, for the terminating 0. Evaluates every tail but
// no element. The list is held by the caller, so the walk borrows each cell.
size_t bytes_needed(const Value& chars) {
    size_t count = 1;
    for (const Value* cell = &rts::force(chars); (*cell)->tag == Cons_tag;
         cell = &rts::force(rts::field(*cell, 1)))
        ++count;
    return count;
}

// The low byte of every character in order, then a 0, in a byte array that does not move.
Value encode(const Value& chars) {
    Value buffer = rts::new_byte_array(bytes_needed(chars));
    uint8_t* out = rts::bytes_data(buffer);
    for (const Value* cell = &rts::force(chars); (*cell)->tag == Cons_tag;
         cell = &rts::force(rts::field(*cell, 1)))
        *out++ = static_cast<uint8_t>(Types::charOf(rts::force(rts::field(*cell, 0))));
    *out = 0;
    return buffer;
}

template <void (*Output)(const char*)>
Value write_line(const Value& chars, const Value& /*token*/) {
    Value buffer = encode(chars);
    Output(reinterpret_cast<const char*>(rts::bytes_data(buffer)));
    return Tuple::Unit();
}

}  // namespace

constinit const rts::StaticFun debugLn_closure{rts::static_fun_info<&write_line<&::debugLn>>};
constinit const rts::StaticFun debugErrLn_closure{rts::static_fun_info<&write_line<&::debugErrLn>>};

Value debugLn(Value chars) { VUX_FUNCTION; return rts::apply(debugLn_closure.value(), chars); }
Value debugErrLn(Value chars) { VUX_FUNCTION; return rts::apply(debugErrLn_closure.value(), chars); }

}  // namespace VUX::Debug
