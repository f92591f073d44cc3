// A consumer of the installed directory: nested directories created, then seen.
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "System/Directory/OsPath.h"

int main() {
    namespace Dir = System::Directory::OsPath;
    char base[] = "/tmp/vux-consumer-XXXXXX";
    if (::mkdtemp(base) == nullptr) return 1;
    std::string nested = std::string(base) + "/a/b";
    Dir::createDirectoryIfMissingBytes(true, nested);
    bool made = Dir::doesDirectoryExistBytes(nested);
    std::remove(nested.c_str());
    std::remove((std::string(base) + "/a").c_str());
    std::remove(base);
    std::printf("consumer of directory: nested directories %s\n", made ? "made" : "missing");
    return made ? 0 : 1;
}
