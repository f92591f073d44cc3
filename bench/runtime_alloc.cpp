// Allocating and releasing a two-field constructor, against malloc and free of the same size: with
// static fields and with counted ones.
// On a shared machine run with --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
// so that both sides of a ratio see the same load; the ratio printed is that of the medians.
#include <cstdlib>
#include <new>

#include "rts/rts.h"
#include "runtime_bench.h"

namespace {

constinit const rts::StaticNullary nil{0};
constexpr size_t kConBytes = rts::con_size(2, 0);

// One object at a time: allocated, its header and fields written, released.
void BM_RuntimeCon2(benchmark::State& state) {
    rts::Value a = nil.value(), b = nil.value();
    for (auto _ : state) {
        rts::Value c = rts::con(1, a, b);
        benchmark::DoNotOptimize(c.get());
    }
}
BENCHMARK(BM_RuntimeCon2);

// The same with fields that are counted heap objects (held elsewhere, so they outlive the
// constructor): the allocation retains them and the release lowers their counts.
void BM_RuntimeCon2Counted(benchmark::State& state) {
    rts::Value a = rts::con_word(0, 1), b = rts::con_word(0, 2);
    for (auto _ : state) {
        rts::Value c = rts::con(1, a, b);
        benchmark::DoNotOptimize(c.get());
    }
}
BENCHMARK(BM_RuntimeCon2Counted);

void BM_MallocFree(benchmark::State& state) {
    rts::Object* a = nil.object();
    for (auto _ : state) {
        void* p = std::malloc(kConBytes);
        benchmark::DoNotOptimize(p);
        auto* o = new (p) rts::Object(1, rts::Kind::Con, 1, 2, 0);
        rts::con_slots(o)[0].ref = a;
        rts::con_slots(o)[1].ref = a;
        benchmark::ClobberMemory();  // the writes happen before free
        std::free(p);
    }
}
BENCHMARK(BM_MallocFree);

// A batch of 1000 objects alive at once, then all released: the free lists are exercised beyond
// their most recent block.
constexpr int kBatch = 1000;
void BM_RuntimeCon2Batch(benchmark::State& state) {
    rts::Value a = nil.value();
    std::vector<rts::Value> keep(kBatch);
    for (auto _ : state) {
        for (auto& k : keep) k = rts::con(1, a, a);
        benchmark::DoNotOptimize(keep.data());
        for (auto& k : keep) k = rts::Value();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_RuntimeCon2Batch);

void BM_MallocFreeBatch(benchmark::State& state) {
    rts::Object* a = nil.object();
    std::vector<void*> keep(kBatch);
    for (auto _ : state) {
        for (auto& k : keep) {
            k = std::malloc(kConBytes);
            auto* o = new (k) rts::Object(1, rts::Kind::Con, 1, 2, 0);
            rts::con_slots(o)[0].ref = a;
            rts::con_slots(o)[1].ref = a;
        }
        benchmark::DoNotOptimize(keep.data());
        benchmark::ClobberMemory();
        for (auto& k : keep) std::free(k);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_MallocFreeBatch);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv,
                          {{"BM_RuntimeCon2", "BM_MallocFree"},
                           {"BM_RuntimeCon2Counted", "BM_MallocFree"},
                           {"BM_RuntimeCon2Batch", "BM_MallocFreeBatch"}});
}
