// A consumer of the installed os-string: a native string holds the bytes it was made from.
#include <cstdio>
#include <string>

#include "System/OsString.h"

int main() {
    std::string back = System::OsString::toStdString(System::OsString::fromBytes("native"));
    std::printf("consumer of os-string: %s\n", back.c_str());
    return back == "native" ? 0 : 1;
}
