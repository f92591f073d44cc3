// Compact regions against plain copies, in one run:
//   - adding a 10^6-node tree (evaluated) to a new region, against copying the same tree with the
//     runtime's allocator;
//   - importing a region of about 10^8 bytes (allocating its blocks, filling them from exported
//     bytes, checking and fixing it up), and exporting then importing it, against memcpy of the
//     same bytes. Each imported region is dropped, and so freed, before the next iteration. One
//     export and import before the timed ones map the exported copy's and the blocks' memory, as
//     the reference's destination is mapped before it is timed: all then copy into memory
//     already mapped.
#include <cstring>
#include <string>
#include <vector>

#include "rts/Compact.h"
#include "rts/rts.h"
#include "runtime_bench.h"

namespace {

using rts::Object;
using rts::Value;

// A complete binary tree of 2^depth - 1 nodes, each holding its number.
Value tree(int depth) {
    std::vector<Value> level(size_t{1} << (depth - 1));
    for (Value& leaf : level) leaf = rts::con_word(0, 1);
    while (level.size() > 1) {
        std::vector<Value> up(level.size() / 2);
        for (size_t i = 0; i < up.size(); ++i)
            up[i] = rts::con_words<1>(1, {i}, std::move(level[2 * i]), std::move(level[2 * i + 1]));
        level = std::move(up);
    }
    return std::move(level[0]);
}

// A deep copy with the runtime's allocator, without recursion.
Value heap_copy(const Value& v) {
    Object* root = nullptr;
    std::vector<std::pair<Object*, Object**>> todo{{v.get(), &root}};
    while (!todo.empty()) {
        auto [from, to] = todo.back();
        todo.pop_back();
        Object* copy = rts::alloc_con(from->tag, from->nptrs, from->nwords);
        std::memcpy(rts::con_slots(copy) + from->nptrs, rts::con_slots(from) + from->nptrs, 8 * from->nwords);
        for (uint32_t i = 0; i < from->nptrs; ++i)
            todo.emplace_back(rts::con_slots(from)[i].ref, &rts::con_slots(copy)[i].ref);
        *to = copy;
    }
    return Value::adopt(root);
}

const Value& bench_tree() {
    static const Value t = tree(20);
    return t;
}

void BM_CompactAddTree(benchmark::State& state) {
    for (auto _ : state) {
        Value region = rts::compactNew_hash(1 << 20);
        benchmark::DoNotOptimize(rts::compactAdd_hash(region, bench_tree()).get());
    }
}
BENCHMARK(BM_CompactAddTree)->Iterations(4);

void BM_HeapCopyTree(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(heap_copy(bench_tree()).get());
}
BENCHMARK(BM_HeapCopyTree)->Iterations(4);

struct Exported {
    std::vector<std::string> blocks;
    uint64_t root;
    size_t bytes = 0;
};

// A region of about 10^8 bytes: a list of boxed numbers (48 bytes an element).
struct BigRegion {
    Value region = rts::compactNew_hash(1 << 20);
    Value root;
    BigRegion() {
        Value l = rts::con(0);
        for (uint64_t i = 0; i < 100'000'000 / 48; ++i) l = rts::con(1, rts::con_word(0, i), std::move(l));
        root = rts::compactAdd_hash(region, l);
    }
};
const BigRegion& big() {
    static const BigRegion r;
    return r;
}

// Exports into `e`, reusing the memory of its blocks from an export before.
void export_region(Exported& e, const Value& region, const Value& root) {
    e.root = reinterpret_cast<uint64_t>(root.get());
    e.bytes = 0;
    size_t n = 0;
    for (auto b = rts::compactGetFirstBlock_hash(region); b.first != nullptr;
         b = rts::compactGetNextBlock_hash(region, b.first)) {
        if (n == e.blocks.size()) e.blocks.emplace_back();
        e.blocks[n++].assign(static_cast<const char*>(b.first), b.second);
        e.bytes += b.second;
    }
    e.blocks.resize(n);
}

Exported exported_big() {
    Exported e;
    export_region(e, big().region, big().root);
    return e;
}

Value import_region(const Exported& e) {
    void* first = nullptr;
    void* previous = nullptr;
    for (const std::string& b : e.blocks) {
        previous = rts::compactAllocateBlock_hash(b.size(), previous);
        std::memcpy(previous, b.data(), b.size());
        if (first == nullptr) first = previous;
    }
    auto imported = rts::compactFixupPointers_hash(first, e.root);
    if (imported.second == nullptr) std::abort();
    return Value::share(imported.second);
}

void BM_Import(benchmark::State& state) {
    const Exported e = exported_big();
    import_region(e);
    for (auto _ : state) benchmark::DoNotOptimize(import_region(e).get());
}
BENCHMARK(BM_Import)->Iterations(8);

void BM_ExportImport(benchmark::State& state) {
    Exported e = exported_big();
    import_region(e);
    for (auto _ : state) {
        export_region(e, big().region, big().root);
        benchmark::DoNotOptimize(import_region(e).get());
    }
}
BENCHMARK(BM_ExportImport)->Iterations(8);

void BM_MemcpyRegionBytes(benchmark::State& state) {
    const Exported e = exported_big();
    std::vector<char> to(e.bytes);
    for (auto _ : state) {
        size_t at = 0;
        for (const std::string& b : e.blocks) {
            std::memcpy(to.data() + at, b.data(), b.size());
            at += b.size();
        }
        benchmark::DoNotOptimize(to.data());
    }
}
BENCHMARK(BM_MemcpyRegionBytes)->Iterations(8);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv,
                          {{"BM_CompactAddTree/iterations:4", "BM_HeapCopyTree/iterations:4"},
                           {"BM_Import/iterations:8", "BM_MemcpyRegionBytes/iterations:8"},
                           {"BM_ExportImport/iterations:8", "BM_MemcpyRegionBytes/iterations:8"}});
}
