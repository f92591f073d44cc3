// Running out of memory inside GMP: a product whose scratch space does not fit in the memory left
// raises the catchable heap-overflow exception, and the process goes on.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "VUX/Num/Integer.h"

namespace {

// The address space the process uses now, in bytes.
size_t addressSpaceInUse() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (f == nullptr || std::fscanf(f, "%lu", &pages) != 1) std::abort();
    std::fclose(f);
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// 2^(64 n) - 1: n limbs, all ones.
rts::Value allOnes(uint64_t limbs) {
    using namespace VUX::Num::Integer;
    return integerSub(integerShiftL_hash(integerFromInt_hash(1), 64 * limbs), integerFromInt_hash(1));
}

// In a child process whose address space is capped a little above what the result takes, GMP's
// scratch space for the product cannot be had: the child sees the heap-overflow exception, then
// computes a small product, and exits with 0.
void productBeyondTheMemoryLeft() {
    constexpr uint64_t kLimbs = 1 << 20;  // operands of 8 MiB, a product of 16 MiB
    rts::Value a = allOnes(kLimbs), b = allOnes(kLimbs - 1);
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = addressSpaceInUse() + 2 * kLimbs * 8 + (4 << 20);
    if (setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(10);
    try {
        rts::Value product = VUX::Num::Integer::integerMul(a, b);
        std::_Exit(11);  // the cap left room for the scratch space: nothing shown
    } catch (const rts::Exception& e) {
        if (e.kind() != rts::RtsError::HeapOverflow) std::_Exit(12);
    }
    rts::Value small = VUX::Num::Integer::integerMul(allOnes(2), allOnes(2));
    std::_Exit(rts::force(small)->kind == rts::Kind::Con ? 0 : 13);
}

TEST(GmpMemory, ProductBeyondTheMemoryLeftRaisesHeapOverflow) {
#ifdef RTS_SANITIZED
    GTEST_SKIP() << "the sanitizers' allocators end the process when memory runs out";
#endif
    EXPECT_EXIT(productBeyondTheMemoryLeft(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
