#include "VUX/Num/Primitives.h"

#include <bit>

#include "rts/rts.h"

namespace VUX::Num::Primitives {

uint64_t wordLog2_hash(uint64_t w) { return w == 0 ? 0 : 63 - static_cast<uint64_t>(std::countl_zero(w)); }

uint64_t wordLogBase_hash(uint64_t base, uint64_t w) {
    if (base < 2) unexpectedValue();
    if (std::has_single_bit(base)) return wordLog2_hash(w) / wordLog2_hash(base);
    uint64_t r = 0;
    for (; w >= base; w /= base) ++r;
    return r;
}

void unexpectedValue() { rts::raise(rts::RtsError::Overflow); }
void raiseDivZero() { rts::raise(rts::RtsError::DivideByZero); }
void raiseUnderflow() { rts::raise(rts::RtsError::Underflow); }
void raiseOverflow() { rts::raise(rts::RtsError::Overflow); }

}  // namespace VUX::Num::Primitives
