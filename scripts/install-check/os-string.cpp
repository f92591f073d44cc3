// A consumer of the installed os-string: a name with a non-ASCII letter through the file-system
// encoding and back.
#include <cstdio>
#include <string>

#include "System/OsString.h"
#include "VUX/Internal/List.h"

namespace O = System::OsString;
using VUX::Internal::List::fromUtf8;
using VUX::Internal::List::toUtf8;

int main() {
    std::string back = toUtf8(O::decodeFS(O::encodeFS(fromUtf8("café"))));
    std::printf("consumer of os-string: %s\n", back.c_str());
    return back == "café" ? 0 : 1;
}
