// A consumer of the installed vux-experimental: arithmetic on singleton naturals.
#include <cstdio>

#include "VUX/Num/Natural.h"
#include "VUX/TypeNats/Experimental.h"

using namespace VUX::TypeNats::Experimental;

int main() {
    rts::Value two = VUX::Num::Natural::naturalFromWord_hash(2),
               ten = VUX::Num::Natural::naturalFromWord_hash(10);
    rts::Value power = powerSNat(two, ten);  // 1024
    uint64_t got = VUX::Num::Natural::naturalToWord_hash(rts::force(power));
    std::printf("consumer of vux-experimental: 2^10 = %llu\n", static_cast<unsigned long long>(got));
    return got == 1024 ? 0 : 1;
}
