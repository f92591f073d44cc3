// A consumer of the installed vux-internal: UTF-8 text through a character list and back, and the
// digits of a number.
#include <cstdio>
#include <string>

#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"

using namespace VUX::Internal;

int main() {
    const std::string text = "naïve → ok";
    std::string back = List::toUtf8(List::fromUtf8(text));
    std::string digits = List::toUtf8(Show::itos(-1234, VUX::Types::Nil()));
    std::printf("consumer of vux-internal: %s %s\n", back.c_str(), digits.c_str());
    return back == text && List::codePoints(List::fromUtf8(text)).size() == 10 && digits == "-1234" ? 0 : 1;
}
