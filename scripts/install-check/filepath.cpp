// A consumer of the installed filepath: a directory and a file name joined, then the extension
// replaced.
#include <cstdio>
#include <string>

#include "System/FilePath/Posix.h"
#include "VUX/Internal/List.h"

namespace F = System::FilePath::Posix;
using VUX::Internal::List::fromUtf8;
using VUX::Internal::List::toUtf8;

int main() {
    std::string path =
        toUtf8(F::replaceExtension(F::combine(fromUtf8("dir"), fromUtf8("main.tix")), fromUtf8("mix")));
    std::printf("consumer of filepath: %s\n", path.c_str());
    return path == "dir/main.mix" ? 0 : 1;
}
