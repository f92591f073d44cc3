// A consumer of the installed directory: a nested directory made under a temporary one.
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "System/Directory.h"
#include "VUX/Internal/List.h"

using VUX::Internal::List::fromUtf8;

int main() {
    char base[] = "/tmp/vux-consumer.XXXXXX";
    if (!mkdtemp(base)) return 1;
    std::string nested = std::string(base) + "/a/b";
    System::Directory::createDirectoryIfMissing(true, fromUtf8(nested));
    bool made = System::Directory::doesDirectoryExist(fromUtf8(nested));
    std::printf("consumer of directory: %s %s\n", nested.c_str(), made ? "made" : "missing");
    std::system(("rm -rf " + std::string(base)).c_str());
    return made ? 0 : 1;
}
