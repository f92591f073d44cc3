// A consumer of the installed vux-file-io: a file written whole and read back by native path.
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "Data/ByteString.h"
#include "System/File/OsPath.h"
#include "System/OsString.h"
#include "VUX/Internal/IO.h"

int main() {
    namespace File = System::File::OsPath;
    char dir[] = "/tmp/vux-consumer-XXXXXX";
    if (::mkdtemp(dir) == nullptr) return 1;
    std::string path = std::string(dir) + "/greeting";
    rts::Value os = System::OsString::fromBytes(path);
    VUX::Internal::IO::runIO(File::writeFile_prime(os, Data::ByteString::fromBytes("hello")));
    std::string back = Data::ByteString::toStdString(VUX::Internal::IO::runIO(File::readFile_prime(os)));
    std::remove(path.c_str());
    std::remove(dir);
    std::printf("consumer of vux-file-io: read back \"%s\"\n", back.c_str());
    return back == "hello" ? 0 : 1;
}
