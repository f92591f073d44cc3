// Shared by the helpers of this folder: cutting words to a width, choosing an implementation by the
// processor's features, and the portable implementations behind the processor-specific ones
// (exported so that tests can check them on machines whose processor never selects them).
#pragma once

#include <stdint.h>

#include <atomic>

namespace vux_cbits {

// The low `Width` bits of `x`.
template <unsigned Width>
constexpr uint64_t low_bits(uint64_t x) {
    static_assert(Width == 8 || Width == 16 || Width == 32 || Width == 64);
    if constexpr (Width == 64)
        return x;
    else
        return x & ((uint64_t{1} << Width) - 1);
}

// An operation with a fast implementation that needs a processor extension and a portable one.
// The choice is made on the first call (by whichever threads get there first; they all choose the
// same) rather than by a load-time resolver, so it never runs before the sanitizers' runtimes are up.
template <class Fn>
class CpuDispatch {
  public:
    constexpr CpuDispatch(Fn fast, Fn portable, bool (*cpu_has_extension)())
        : fast_(fast), portable_(portable), cpu_has_extension_(cpu_has_extension) {}

    Fn get() {
        Fn chosen = chosen_.load(std::memory_order_relaxed);
        if (__builtin_expect(chosen != nullptr, 1)) return chosen;
        chosen = cpu_has_extension_() ? fast_ : portable_;
        chosen_.store(chosen, std::memory_order_relaxed);
        return chosen;
    }

  private:
    std::atomic<Fn> chosen_{nullptr};
    Fn fast_;
    Fn portable_;
    bool (*cpu_has_extension_)();
};

// Whether PDEP and PEXT are present and fast: they are microcoded, taking time proportional to the
// mask's set bits, on the first two Zen generations, where the portable loops are no slower.
bool cpu_has_fast_bmi2();
bool cpu_has_popcnt();

// Portable implementations, bit by bit or through the byte table.
uint64_t pdep_portable(uint64_t src, uint64_t mask);
uint64_t pext_portable(uint64_t src, uint64_t mask);
uint64_t popcnt_by_table(uint64_t x);

}  // namespace vux_cbits
