// A consumer of the installed bytestring: strict byte strings joined and measured.
#include <cstdio>

#include "Data/ByteString.h"

int main() {
    namespace BS = Data::ByteString;
    int64_t n = BS::length(BS::append(BS::fromBytes("ab"), BS::fromBytes("c")));
    std::printf("consumer of bytestring: length %lld\n", static_cast<long long>(n));
    return n == 3 ? 0 : 1;
}
