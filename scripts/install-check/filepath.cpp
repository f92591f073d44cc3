// A consumer of the installed filepath: native paths joined.
#include <cstdio>
#include <string>

#include "System/OsPath/Posix.h"
#include "System/OsString.h"

int main() {
    using System::OsString::fromBytes;
    std::string joined =
        System::OsString::toStdString(System::OsPath::Posix::combine(fromBytes("a"), fromBytes("b")));
    std::printf("consumer of filepath: %s\n", joined.c_str());
    return joined == "a/b" ? 0 : 1;
}
