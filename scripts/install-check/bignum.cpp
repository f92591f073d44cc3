// A consumer of the installed vux-bignum: (2^100 + 1)^2 has the expected bit length and bit count.
#include <cstdio>

#include "VUX/Num/Integer.h"

using namespace VUX::Num::Integer;

int main() {
    rts::Value x = integerAdd(integerShiftL_hash(integerFromInt_hash(1), 100), integerFromInt_hash(1));
    rts::Value square = integerMul(x, x);  // 2^200 + 2^101 + 1
    uint64_t log2 = integerLog2_hash(square);
    int64_t bits = integerPopCount_hash(square);
    std::printf("consumer of vux-bignum: log2 %llu, %lld bits set\n", static_cast<unsigned long long>(log2),
                static_cast<long long>(bits));
    return log2 == 200 && bits == 3 ? 0 : 1;
}
