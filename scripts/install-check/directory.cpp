// A consumer of the installed directory: the root directory exists, as a directory only.
#include <cstdio>

#include "System/Directory.h"
#include "VUX/Internal/List.h"

int main() {
    rts::Value root = VUX::Internal::List::fromBytes("/");
    bool ok = System::Directory::doesDirectoryExist(root) && !System::Directory::doesFileExist(root);
    std::printf("consumer of directory: / %s\n", ok ? "is a directory" : "is not found");
    return ok ? 0 : 1;
}
