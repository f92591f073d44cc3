// Whether a signed 64-bit multiplication may overflow. Operands strictly between -2^31 and 2^31
// give a product strictly between -2^62 and 2^62, which fits, so 0 is always a safe answer for
// them; any larger operand answers 1, sending the caller to its careful path.
#include "cbits/cbits.h"

namespace {

constexpr bool within_31_bits(int64_t v) { return v > -(int64_t{1} << 31) && v < (int64_t{1} << 31); }

}  // namespace

extern "C" uint64_t hs_mulIntMayOflo(uint64_t a, uint64_t b) {
    return within_31_bits(static_cast<int64_t>(a)) && within_31_bits(static_cast<int64_t>(b)) ? 0 : 1;
}
