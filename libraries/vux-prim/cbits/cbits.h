// The machine-level helpers that generated code calls by name, with the platform's C calling
// convention. Every width-suffixed function works on the low 8, 16, 32 or 64 bits of its
// arguments; results are zero-extended to a 64-bit word unless the declaration says otherwise.
//
// The sources of this folder include this header so that the compiler checks every definition
// against the declaration that callers see.
#pragma once

#include <stdint.h>

#if defined(__cplusplus)
extern "C" {
#endif

#define HS_EXPORT __attribute__((visibility("default")))

// Atomic memory operations, all sequentially consistent. `x` is the address of the location.
// The read-modify-write forms return the contents before the operation.
HS_EXPORT uint64_t hs_atomic_add8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_add16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_add32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_add64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_sub8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_sub16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_sub32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_sub64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_and8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_and16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_and32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_and64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_nand8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_nand16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_nand32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_nand64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_or8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_or16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_or32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_or64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_xor8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_xor16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_xor32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomic_xor64(uint64_t x, uint64_t val);
// Stores `new_` when the contents equal `old`; returns the contents found either way.
HS_EXPORT uint64_t hs_cmpxchg8(uint64_t x, uint64_t old, uint64_t new_);
HS_EXPORT uint64_t hs_cmpxchg16(uint64_t x, uint64_t old, uint64_t new_);
HS_EXPORT uint64_t hs_cmpxchg32(uint64_t x, uint64_t old, uint64_t new_);
HS_EXPORT uint64_t hs_cmpxchg64(uint64_t x, uint64_t old, uint64_t new_);
HS_EXPORT uint64_t hs_xchg8(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_xchg16(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_xchg32(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_xchg64(uint64_t x, uint64_t val);
HS_EXPORT uint64_t hs_atomicread8(uint64_t x);
HS_EXPORT uint64_t hs_atomicread16(uint64_t x);
HS_EXPORT uint64_t hs_atomicread32(uint64_t x);
HS_EXPORT uint64_t hs_atomicread64(uint64_t x);
HS_EXPORT void hs_atomicwrite8(uint64_t x, uint64_t val);
HS_EXPORT void hs_atomicwrite16(uint64_t x, uint64_t val);
HS_EXPORT void hs_atomicwrite32(uint64_t x, uint64_t val);
HS_EXPORT void hs_atomicwrite64(uint64_t x, uint64_t val);

// Byte reversal.
HS_EXPORT uint16_t hs_bswap16(uint16_t x);
HS_EXPORT uint32_t hs_bswap32(uint32_t x);
HS_EXPORT uint64_t hs_bswap64(uint64_t x);

// Bit reversal within the width; bits above the width are ignored.
HS_EXPORT uint64_t hs_bitrev8(uint64_t x);
HS_EXPORT uint16_t hs_bitrev16(uint16_t x);
HS_EXPORT uint32_t hs_bitrev32(uint32_t x);
HS_EXPORT uint64_t hs_bitrev64(uint64_t x);

// Leading and trailing zero bits within the width; the width itself when those bits are all 0.
HS_EXPORT uint64_t hs_clz8(uint64_t x);
HS_EXPORT uint64_t hs_clz16(uint64_t x);
HS_EXPORT uint64_t hs_clz32(uint64_t x);
HS_EXPORT uint64_t hs_clz64(uint64_t x);
HS_EXPORT uint64_t hs_ctz8(uint64_t x);
HS_EXPORT uint64_t hs_ctz16(uint64_t x);
HS_EXPORT uint64_t hs_ctz32(uint64_t x);
HS_EXPORT uint64_t hs_ctz64(uint64_t x);

// Population count; entry i of popcount_tab is the number of set bits of i.
HS_EXPORT extern const uint8_t popcount_tab[256];
HS_EXPORT uint64_t hs_popcnt8(uint64_t x);
HS_EXPORT uint64_t hs_popcnt16(uint64_t x);
HS_EXPORT uint64_t hs_popcnt32(uint64_t x);
HS_EXPORT uint64_t hs_popcnt64(uint64_t x);
HS_EXPORT uint64_t hs_popcnt(uint64_t x);

// Parallel bit deposit and extract. The narrow forms are the 64-bit ones (arguments are not cut);
// a mask within the width gives a result within the width.
HS_EXPORT uint64_t hs_pdep8(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pdep16(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pdep32(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pdep64(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pext8(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pext16(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pext32(uint64_t src, uint64_t mask);
HS_EXPORT uint64_t hs_pext64(uint64_t src, uint64_t mask);

// An unsigned 64-bit word rounded once to single or double precision in the current rounding mode.
HS_EXPORT float hs_word2float32(uint64_t x);
HS_EXPORT double hs_word2float64(uint64_t x);

// 1 when the signed product of `a` and `b` may overflow 64 bits, 0 when it cannot.
HS_EXPORT uint64_t hs_mulIntMayOflo(uint64_t a, uint64_t b);

// One line of debugging output: `s` and a newline, on standard output or standard error.
HS_EXPORT void debugLn(const char* s);
HS_EXPORT void debugErrLn(const char* s);

#if defined(__cplusplus)
}
#endif

#undef HS_EXPORT
