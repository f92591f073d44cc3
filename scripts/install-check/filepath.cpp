// A consumer of the installed filepath: the extension of a POSIX path.
#include <cstdio>
#include <string>

#include "System/FilePath/Posix.h"
#include "VUX/Internal/List.h"

int main() {
    rts::Value ext = System::FilePath::Posix::takeExtension(VUX::Internal::List::fromBytes("dir/file.txt"));
    std::string got = VUX::Internal::List::toUtf8(ext);
    std::printf("consumer of filepath: %s\n", got.c_str());
    return got == ".txt" ? 0 : 1;
}
