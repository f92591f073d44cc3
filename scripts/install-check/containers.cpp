// A consumer of the installed containers: a map with a key inserted twice.
#include <cstdio>

#include "Data/Map.h"
#include "VUX/Classes.h"
#include "VUX/Types.h"

int main() {
    using VUX::Types::I_hash;
    rts::Value dOrd = VUX::Classes::inst_Ord_Int();
    rts::Value m =
        Data::Map::insert(dOrd, I_hash(1), I_hash(10), Data::Map::singleton(I_hash(2), I_hash(20)));
    m = Data::Map::insert(dOrd, I_hash(1), I_hash(11), m);
    int64_t n = Data::Map::size(m);
    std::printf("consumer of containers: %lld keys\n", static_cast<long long>(n));
    return n == 2 ? 0 : 1;
}
