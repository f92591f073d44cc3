// A consumer of the installed vux-pretty: two words laid out side by side, then one above the other.
#include <cstdio>
#include <string>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Internal/List.h"

namespace P = Text::PrettyPrint::Drovane;
using VUX::Internal::List::fromUtf8;
using VUX::Internal::List::toUtf8;

int main() {
    rts::Value words =
        VUX::Internal::List::fromValues({P::text(fromUtf8("héllo")), P::text(fromUtf8("wörld"))});
    std::string wide = toUtf8(P::render(P::sep(words)));
    std::string stacked = toUtf8(P::render(P::vcat(words)));
    std::printf("consumer of vux-pretty: %s | %s\n", wide.c_str(), stacked.c_str());
    return wide == "héllo wörld" && stacked == "héllo\nwörld" ? 0 : 1;
}
