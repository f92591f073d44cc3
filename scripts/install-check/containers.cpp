// A consumer of the installed containers: a map built from shuffled keys lists them in order.
#include <cstdio>

#include "Data/Map.h"
#include "VUX/Classes.h"
#include "VUX/Tuple.h"

using namespace VUX::Types;

int main() {
    rts::Value m = Data::Map::empty();
    for (int64_t k : {5, 1, 4, 2, 3})
        m = Data::Map::insert(VUX::Classes::inst_Ord_Int(), I_hash(k), I_hash(k * 10), m);
    int64_t previous = 0, count = 0;
    bool ordered = true;
    for (rts::Value xs = Data::Map::toList(m); rts::force(xs)->tag == Cons_tag;
         xs = rts::field(rts::force(xs), 1)) {
        int64_t k = intOf(rts::force(rts::field(rts::force(rts::field(rts::force(xs), 0)), 0)));
        ordered = ordered && k > previous;
        previous = k;
        ++count;
    }
    std::printf("consumer of containers: %lld keys, %s\n", static_cast<long long>(count),
                ordered ? "in order" : "out of order");
    return ordered && count == 5 && Data::Map::valid(VUX::Classes::inst_Ord_Int(), m) ? 0 : 1;
}
