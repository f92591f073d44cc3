// A consumer of the installed vux-cover: a string's hash and a span nested in another.
#include <cstdio>

#include "Trace/Cover/Mix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/List.h"
#include "VUX/Tuple.h"

namespace U = Trace::Cover::Util;
using VUX::Internal::List::fromValues;

int main() {
    uint32_t h =
        U::hashOf(U::inst_CoverHash_List(U::inst_CoverHash_Char()), VUX::Internal::List::fromBytes("abc"));
    rts::Value label = Trace::Cover::Mix::ExpBox(VUX::Types::True());
    rts::Value entries = fromValues(
        {VUX::Tuple::Tuple2(U::P(1, 5, 1, 9), label), VUX::Tuple::Tuple2(U::P(1, 1, 2, 1), label)});
    size_t roots = VUX::Internal::List::toValues(Trace::Cover::Mix::createMixEntryDom(entries)).size();
    std::printf("consumer of vux-cover: hash of abc %u, %zu root(s)\n", h, roots);
    return h == 193409669u && roots == 1 ? 0 : 1;
}
