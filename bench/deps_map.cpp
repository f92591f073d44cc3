// Data.Map: inserting a million random Int keys into an empty map, then looking each up, against
// std::map doing the same with the same keys.
#include <map>
#include <random>
#include <vector>

#include "Data/Map.h"
#include "VUX/Classes.h"
#include "runtime_bench.h"

namespace {

using rts::Value;

constexpr int64_t kKeys = 1'000'000;

std::vector<int64_t> randomKeys() {
    std::mt19937_64 rng(7);
    std::vector<int64_t> keys(kKeys);
    for (int64_t& k : keys) k = static_cast<int64_t>(rng() % (4 * kKeys));
    return keys;
}

void BM_MapInsertLookup(benchmark::State& state) {
    std::vector<Value> keys;
    for (int64_t k : randomKeys()) keys.push_back(VUX::Types::I_hash(k));
    Value dOrd = VUX::Classes::inst_Ord_Int();
    for (auto _ : state) {
        Value m = Data::Map::empty();
        for (const Value& k : keys) m = Data::Map::insert(dOrd, k, k, std::move(m));
        int64_t found = 0;
        for (const Value& k : keys) found += rts::force(Data::Map::lookup(dOrd, k, m))->tag;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_MapInsertLookup)->Unit(benchmark::kMillisecond);

void BM_StdMapInsertLookup(benchmark::State& state) {
    std::vector<int64_t> keys = randomKeys();
    for (auto _ : state) {
        std::map<int64_t, int64_t> m;
        for (int64_t k : keys) m[k] = k;
        int64_t found = 0;
        for (int64_t k : keys) found += m.count(k);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_StdMapInsertLookup)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv, {{"BM_MapInsertLookup", "BM_StdMapInsertLookup"}});
}
