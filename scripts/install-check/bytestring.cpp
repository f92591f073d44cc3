// A consumer of the installed bytestring: two strict byte strings appended and read back.
#include <cstdio>
#include <string>

#include "Data/ByteString.h"

namespace B = Data::ByteString;

int main() {
    std::string joined = B::toStdString(B::append(B::fromBytes("byte "), B::fromBytes("string")));
    std::printf("consumer of bytestring: %s\n", joined.c_str());
    return joined == "byte string" ? 0 : 1;
}
