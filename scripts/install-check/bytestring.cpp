// A consumer of the installed bytestring: a C string packed and measured.
#include <cstdio>

#include "Data/ByteString.h"

int main() {
    int64_t n = Data::ByteString::length(Data::ByteString::packCString("bytes"));
    std::printf("consumer of bytestring: %lld bytes\n", static_cast<long long>(n));
    return n == 5 ? 0 : 1;
}
