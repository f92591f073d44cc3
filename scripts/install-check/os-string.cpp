// A consumer of the installed os-string: bytes through the file-system encoding and back.
#include <cstdio>
#include <string>

#include "System/OsString.h"

int main() {
    std::string bytes = System::OsString::encodeFSBytes(System::OsString::decodeFSOrBytes("caf\xc3\xa9\xff"));
    std::printf("consumer of os-string: %zu bytes back\n", bytes.size());
    return bytes == "caf\xc3\xa9\xff" ? 0 : 1;
}
