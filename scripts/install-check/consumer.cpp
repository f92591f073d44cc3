// A program outside the tree that uses the installed libraries: builds a lazy list of 1..100
// whose tail is a suspended computation, sums it and checks the result; then renders a document
// through the document library's installed headers (the parts they include from .inc files too).
#include <cstdio>
#include <string>
#include <utility>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Types.h"
#include "rts/rts.h"

using namespace VUX::Types;

static rts::Value from_to(int64_t from, int64_t to) {
    if (from > to) return Nil();
    return Cons(I_hash(from), rts::delay([from, to] { return from_to(from + 1, to); }));
}

int main() {
    int64_t sum = 0;
    rts::Value list = from_to(1, 100);
    for (;;) {
        const rts::Value& cell = rts::force(list);
        if (cell->tag != Cons_tag) break;
        sum += intOf(rts::force(rts::field(cell, 0)));
        rts::Value tail = rts::field(cell, 1);
        list = std::move(tail);
    }
#if VUX_PROFILING
    const char* variant = "profiling";
#else
    const char* variant = "plain";
#endif
    namespace P = Text::PrettyPrint::Drovane;
    std::string text;
    for (rts::Value rest = P::render(P::parens(P::int_(I_hash(42))));;) {
        const rts::Value& cell = rts::force(rest);
        if (cell->tag != Cons_tag) break;
        text += static_cast<char>(charOf(rts::force(rts::field(cell, 0))));
        rts::Value tail = rts::field(cell, 1);
        rest = std::move(tail);
    }
    std::printf("consumer (%s variant): sum of 1..100 = %lld, document \"%s\"\n", variant,
                static_cast<long long>(sum), text.c_str());
    return sum == 5050 && text == "(42)" ? 0 : 1;
}
