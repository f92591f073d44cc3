// The atomic helpers, one step at a time: every operation at every width over the edge cases of
// the width, with the bytes around the location checked to be left alone.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "cbits/cbits.h"

namespace {

constexpr uint64_t kOnes = ~uint64_t{0};
constexpr uint64_t kTop = uint64_t{1} << 63;

// Every operation as (address, first argument, second argument) -> result.
using Op = uint64_t (*)(uint64_t, uint64_t, uint64_t);
template <uint64_t (*F)(uint64_t, uint64_t)>
uint64_t rmw(uint64_t x, uint64_t val, uint64_t) {
    return F(x, val);
}
template <uint64_t (*F)(uint64_t)>
uint64_t read(uint64_t x, uint64_t, uint64_t) {
    return F(x);
}
template <void (*F)(uint64_t, uint64_t)>
uint64_t write(uint64_t x, uint64_t val, uint64_t) {
    F(x, val);
    return 0;  // nothing to return: the cases expect 0
}

struct AtomicCase {
    const char* name;
    Op op;
    unsigned width;  // in bits
    uint64_t before;
    uint64_t arg1, arg2;
    uint64_t result;
    uint64_t after;
};

void PrintTo(const AtomicCase& c, std::ostream* os) {
    *os << c.name << " on 0x" << std::hex << c.before << " with 0x" << c.arg1 << ", 0x" << c.arg2;
}

// A location in the middle of guard bytes that no operation may touch.
class Location {
  public:
    static constexpr uint8_t kGuard = 0xA5;
    Location(unsigned width, uint64_t contents) : bytes_(width / 8) {
        std::memset(buffer_, kGuard, sizeof buffer_);
        std::memcpy(buffer_ + kOffset, &contents, bytes_);
    }
    uint64_t address() { return reinterpret_cast<uintptr_t>(buffer_ + kOffset); }
    uint64_t contents() const {
        uint64_t v = 0;
        std::memcpy(&v, buffer_ + kOffset, bytes_);
        return v;
    }
    bool guards_intact() const {
        for (size_t i = 0; i < sizeof buffer_; ++i)
            if ((i < kOffset || i >= kOffset + bytes_) && buffer_[i] != kGuard) return false;
        return true;
    }

  private:
    static constexpr size_t kOffset = 8;
    alignas(8) uint8_t buffer_[24];
    size_t bytes_;
};

class AtomicTable : public ::testing::TestWithParam<AtomicCase> {};

TEST_P(AtomicTable, ResultContentsAndNeighbours) {
    const AtomicCase& c = GetParam();
    Location loc(c.width, c.before);
    EXPECT_EQ(c.op(loc.address(), c.arg1, c.arg2), c.result);
    EXPECT_EQ(loc.contents(), c.after);
    EXPECT_TRUE(loc.guards_intact());
}

INSTANTIATE_TEST_SUITE_P(
    Add, AtomicTable,
    ::testing::Values(AtomicCase{"add8", rmw<hs_atomic_add8>, 8, 0xFF, 1, 0, 0xFF, 0x00},
                      AtomicCase{"add8", rmw<hs_atomic_add8>, 8, 0x7F, 0x101, 0, 0x7F, 0x80},
                      AtomicCase{"add16", rmw<hs_atomic_add16>, 16, 5, 0x10001, 0, 5, 6},
                      AtomicCase{"add16", rmw<hs_atomic_add16>, 16, 0xFFFF, 1, 0, 0xFFFF, 0},
                      AtomicCase{"add32", rmw<hs_atomic_add32>, 32, 0xFFFFFFFF, 1, 0, 0xFFFFFFFF, 0},
                      AtomicCase{"add32", rmw<hs_atomic_add32>, 32, 0x7FFFFFFF, 1, 0, 0x7FFFFFFF, 0x80000000},
                      AtomicCase{"add64", rmw<hs_atomic_add64>, 64, kOnes, 1, 0, kOnes, 0},
                      AtomicCase{"add64", rmw<hs_atomic_add64>, 64, kTop - 1, 1, 0, kTop - 1, kTop}));

INSTANTIATE_TEST_SUITE_P(
    Sub, AtomicTable,
    ::testing::Values(AtomicCase{"sub8", rmw<hs_atomic_sub8>, 8, 0, 1, 0, 0, 0xFF},
                      AtomicCase{"sub8", rmw<hs_atomic_sub8>, 8, 0x80, 0x101, 0, 0x80, 0x7F},
                      AtomicCase{"sub16", rmw<hs_atomic_sub16>, 16, 0x8000, 1, 0, 0x8000, 0x7FFF},
                      AtomicCase{"sub32", rmw<hs_atomic_sub32>, 32, 0, 1, 0, 0, 0xFFFFFFFF},
                      AtomicCase{"sub32", rmw<hs_atomic_sub32>, 32, 7, kOnes, 0, 7, 8},
                      AtomicCase{"sub64", rmw<hs_atomic_sub64>, 64, 0, 1, 0, 0, kOnes},
                      AtomicCase{"sub64", rmw<hs_atomic_sub64>, 64, 0, kTop, 0, 0, kTop}));

INSTANTIATE_TEST_SUITE_P(
    AndNand, AtomicTable,
    ::testing::Values(AtomicCase{"and8", rmw<hs_atomic_and8>, 8, 0xF0, 0x3C, 0, 0xF0, 0x30},
                      AtomicCase{"and16", rmw<hs_atomic_and16>, 16, 0xFFFF, 0x10000, 0, 0xFFFF, 0},
                      AtomicCase{"and32", rmw<hs_atomic_and32>, 32, 0x80000001, kOnes, 0, 0x80000001,
                                 0x80000001},
                      AtomicCase{"and64", rmw<hs_atomic_and64>, 64, kOnes, kTop, 0, kOnes, kTop},
                      AtomicCase{"nand8", rmw<hs_atomic_nand8>, 8, 0xF0, 0xFF, 0, 0xF0, 0x0F},
                      AtomicCase{"nand16", rmw<hs_atomic_nand16>, 16, 0x00FF, 0x0F0F, 0, 0x00FF, 0xFFF0},
                      AtomicCase{"nand32", rmw<hs_atomic_nand32>, 32, 0xFFFFFFFF, kOnes, 0, 0xFFFFFFFF, 0},
                      AtomicCase{"nand64", rmw<hs_atomic_nand64>, 64, 0, 0, 0, 0, kOnes},
                      AtomicCase{"nand64", rmw<hs_atomic_nand64>, 64, kOnes, 1, 0, kOnes, kOnes - 1}));

INSTANTIATE_TEST_SUITE_P(
    OrXor, AtomicTable,
    ::testing::Values(AtomicCase{"or8", rmw<hs_atomic_or8>, 8, 0x80, 0x101, 0, 0x80, 0x81},
                      AtomicCase{"or16", rmw<hs_atomic_or16>, 16, 0, 0x8000, 0, 0, 0x8000},
                      AtomicCase{"or32", rmw<hs_atomic_or32>, 32, 1, uint64_t{1} << 32, 0, 1, 1},
                      AtomicCase{"or64", rmw<hs_atomic_or64>, 64, 1, kTop, 0, 1, kTop | 1},
                      AtomicCase{"xor8", rmw<hs_atomic_xor8>, 8, 0xFF, 0x0F, 0, 0xFF, 0xF0},
                      AtomicCase{"xor16", rmw<hs_atomic_xor16>, 16, 0x1234, 0x1FFFF, 0, 0x1234, 0xEDCB},
                      AtomicCase{"xor32", rmw<hs_atomic_xor32>, 32, 0x80000000, 0x80000000, 0, 0x80000000, 0},
                      AtomicCase{"xor64", rmw<hs_atomic_xor64>, 64, kOnes, kOnes, 0, kOnes, 0}));

INSTANTIATE_TEST_SUITE_P(
    CompareExchange, AtomicTable,
    ::testing::Values(
        AtomicCase{"cmpxchg8 match", hs_cmpxchg8, 8, 0xAB, 0xAB, 0xCD, 0xAB, 0xCD},
        AtomicCase{"cmpxchg8 match at the width", hs_cmpxchg8, 8, 0xAB, 0x1AB, 0x2FF, 0xAB, 0xFF},
        AtomicCase{"cmpxchg8 mismatch", hs_cmpxchg8, 8, 0x80, 0x7F, 0, 0x80, 0x80},
        AtomicCase{"cmpxchg16 match", hs_cmpxchg16, 16, 0xFFFF, 0xFFFF, 0, 0xFFFF, 0},
        AtomicCase{"cmpxchg16 mismatch", hs_cmpxchg16, 16, 0x8000, 0, 1, 0x8000, 0x8000},
        AtomicCase{"cmpxchg32 match", hs_cmpxchg32, 32, 0, 0, 0xFFFFFFFF, 0, 0xFFFFFFFF},
        AtomicCase{"cmpxchg32 mismatch", hs_cmpxchg32, 32, 0x80000000, 0x7FFFFFFF, 5, 0x80000000, 0x80000000},
        AtomicCase{"cmpxchg64 match", hs_cmpxchg64, 64, kTop, kTop, kOnes, kTop, kOnes},
        AtomicCase{"cmpxchg64 mismatch", hs_cmpxchg64, 64, 42, 41, 7, 42, 42}));

INSTANTIATE_TEST_SUITE_P(
    ExchangeReadWrite, AtomicTable,
    ::testing::Values(AtomicCase{"xchg8", rmw<hs_xchg8>, 8, 0x80, 0x17F, 0, 0x80, 0x7F},
                      AtomicCase{"xchg16", rmw<hs_xchg16>, 16, 0xFFFF, 0, 0, 0xFFFF, 0},
                      AtomicCase{"xchg32", rmw<hs_xchg32>, 32, 1, kOnes, 0, 1, 0xFFFFFFFF},
                      AtomicCase{"xchg64", rmw<hs_xchg64>, 64, kOnes, kTop, 0, kOnes, kTop},
                      AtomicCase{"atomicread8", read<hs_atomicread8>, 8, 0x80, 0, 0, 128, 0x80},
                      AtomicCase{"atomicread16", read<hs_atomicread16>, 16, 0xFFFF, 0, 0, 0xFFFF, 0xFFFF},
                      AtomicCase{"atomicread32", read<hs_atomicread32>, 32, 0x80000000, 0, 0, 0x80000000,
                                 0x80000000},
                      AtomicCase{"atomicread64", read<hs_atomicread64>, 64, kOnes, 0, 0, kOnes, kOnes},
                      AtomicCase{"atomicwrite8", write<hs_atomicwrite8>, 8, 0, 0x1FF, 0, 0, 0xFF},
                      AtomicCase{"atomicwrite16", write<hs_atomicwrite16>, 16, 0xFFFF, 0x18000, 0, 0, 0x8000},
                      AtomicCase{"atomicwrite32", write<hs_atomicwrite32>, 32, 0, kOnes, 0, 0, 0xFFFFFFFF},
                      AtomicCase{"atomicwrite64", write<hs_atomicwrite64>, 64, 0, kTop, 0, 0, kTop}));

}  // namespace
