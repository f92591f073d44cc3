#include "VUX/Internal/Char.h"

#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace VUX::Internal::Char {

rts::Value chr(int64_t i) {
    if (static_cast<uint64_t>(i) > 0x10FFFF) chrError(i);
    return Types::C_hash(static_cast<uint32_t>(i));
}

void chrError(int64_t i) {
    Err::errorWithoutStackTrace(
        List::prependBytes("Prelude.chr: bad argument: ", Show::showSignedInt(9, i, Types::Nil())));
}

}  // namespace VUX::Internal::Char
