// An unsigned 64-bit word converted to single or double precision, rounded once in the current
// rounding mode. A word below 2^63 converts as a signed integer; a larger one is halved first,
// keeping its lowest bit as a sticky bit so that the halved value rounds the same way, and the
// converted half is doubled (exactly).
#include "cbits/cbits.h"

namespace {

template <class Float>
Float unsigned_to_float(uint64_t x) {
    if (static_cast<int64_t>(x) >= 0) return static_cast<Float>(static_cast<int64_t>(x));
    const Float half = static_cast<Float>(static_cast<int64_t>((x >> 1) | (x & 1)));
    return half + half;
}

}  // namespace

extern "C" {

float hs_word2float32(uint64_t x) { return unsigned_to_float<float>(x); }
double hs_word2float64(uint64_t x) { return unsigned_to_float<double>(x); }

}  // extern "C"
