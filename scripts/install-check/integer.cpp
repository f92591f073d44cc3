// A consumer of the installed vux-integer: the greatest common divisor and least common multiple
// of two small Integers.
#include <cstdio>

#include "VUX/Integer/GMP/Internals.h"
#include "VUX/Num/Integer.h"

using namespace VUX::Integer::GMP::Internals;
using VUX::Num::Integer::integerFromInt_hash;
using VUX::Num::Integer::integerToInt_hash;

int main() {
    int64_t gcd =
        integerToInt_hash(rts::force(gcdInteger(integerFromInt_hash(84), integerFromInt_hash(-36))));
    int64_t lcm = integerToInt_hash(rts::force(lcmInteger(integerFromInt_hash(4), integerFromInt_hash(6))));
    std::printf("consumer of vux-integer: gcd %lld, lcm %lld\n", static_cast<long long>(gcd),
                static_cast<long long>(lcm));
    return gcd == 12 && lcm == 12 ? 0 : 1;
}
