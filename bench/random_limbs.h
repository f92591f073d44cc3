// Random magnitudes for the big-number benchmarks: n limbs with the top bit set, and the same
// limbs as a canonical byte array.
#pragma once

#include <gmp.h>

#include <random>
#include <vector>

#include "VUX/Num/BigNat.h"

inline std::vector<mp_limb_t> random_limbs(size_t n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::vector<mp_limb_t> v(n);
    for (auto& l : v) l = gen();
    v.back() |= mp_limb_t(1) << 63;
    return v;
}

inline rts::Value bignat_of(const std::vector<mp_limb_t>& limbs) {
    rts::Value words = rts::byte_array_from(limbs.data(), limbs.size() * sizeof(mp_limb_t));
    return VUX::Num::BigNat::bigNatFromWordArray_hash(words, limbs.size());
}
