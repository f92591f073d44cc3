// A consumer of the installed runtime: a suspended computation runs once, and a function applies.
#include <cstdio>

#include "rts/rts.h"

int main() {
    int runs = 0;
    rts::Value answer = rts::delay([&runs] {
        ++runs;
        return rts::con_word(0, 42);
    });
    rts::Value twice =
        rts::fun<1>([](const rts::Value& x) { return rts::con_word(0, 2 * rts::word(rts::force(x), 0)); });
    uint64_t got = rts::word(rts::force(rts::apply(twice, answer)), 0);
    rts::force(answer);
    std::printf("consumer of vux-rts: %llu, computed %d time(s)\n", static_cast<unsigned long long>(got),
                runs);
    return got == 84 && runs == 1 ? 0 : 1;
}
