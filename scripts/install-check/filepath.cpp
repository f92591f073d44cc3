// A consumer of the installed filepath: a directory and a file joined, the extension taken.
#include <cstdio>
#include <string>

#include "System/FilePath/Posix.h"
#include "VUX/Internal/List.h"

namespace F = System::FilePath::Posix;
using VUX::Internal::List::fromBytes;
using VUX::Internal::List::toUtf8;

int main() {
    std::string joined = toUtf8(F::combine(fromBytes("dir"), fromBytes("file.mix")));
    std::string ext = toUtf8(F::takeExtension(fromBytes(joined)));
    std::printf("consumer of filepath: %s %s\n", joined.c_str(), ext.c_str());
    return joined == "dir/file.mix" && ext == ".mix" ? 0 : 1;
}
