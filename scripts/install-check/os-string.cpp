// A consumer of the installed os-string: text encoded to native UTF-8 bytes.
#include <cstdio>
#include <string>

#include "System/OsString.h"
#include "VUX/Internal/List.h"

int main() {
    // `Right` the bytes, or `Left` the encoding error.
    rts::Value result = rts::force(System::OsString::encodeUtf8(VUX::Internal::List::fromUtf8("é")));
    if (result->tag != 1) return 1;
    std::string bytes = System::OsString::toStdString(rts::field(result, 0));
    std::printf("consumer of os-string: %zu bytes\n", bytes.size());
    return bytes == "\xC3\xA9" ? 0 : 1;
}
