// A consumer of the installed vux-prim: builds a lazy list of 1..100 whose tail is a suspended
// computation, sums it and checks the result.
#include <cstdio>
#include <utility>

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
    std::printf("consumer (%s variant): sum of 1..100 = %lld\n", variant, static_cast<long long>(sum));
    return sum == 5050 ? 0 : 1;
}
