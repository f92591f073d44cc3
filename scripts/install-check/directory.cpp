// A consumer of the installed directory: nested directories created under a fresh one.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "System/Directory.h"
#include "VUX/Internal/List.h"

int main() {
    char base[] = "/tmp/vux-directory-consumer.XXXXXX";
    if (!mkdtemp(base)) return 1;
    rts::Value path = VUX::Internal::List::fromBytes(std::string(base) + "/a/b");
    System::Directory::createDirectoryIfMissing(true, path);
    bool made = System::Directory::doesDirectoryExist(path);
    std::system(("rm -rf " + std::string(base)).c_str());
    std::printf("consumer of directory: created %d\n", made);
    return made ? 0 : 1;
}
