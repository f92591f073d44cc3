// Forcing an evaluated value and applying a function of two arguments: time per operation, each
// against the same work done by a direct C++ read or call.
#include <vector>

#include "rts/rts.h"
#include "runtime_bench.h"

namespace {

using rts::Value;

constexpr int kValues = 1024;

Value box(int64_t i) { return rts::con_word(0, static_cast<uint64_t>(i)); }

// Half constructors, half evaluated suspended computations (indirections to a constructor).
std::vector<Value> evaluated_values() {
    std::vector<Value> vs;
    for (int i = 0; i < kValues; ++i) {
        if (i % 2 == 0) {
            vs.push_back(box(i));
        } else {
            Value t = rts::delay([i] { return box(i); });
            rts::force(t);
            vs.push_back(std::move(t));
        }
    }
    return vs;
}

void BM_ForceEvaluated(benchmark::State& state) {
    std::vector<Value> vs = evaluated_values();
    for (auto _ : state) {
        uint64_t total = 0;
        for (const Value& v : vs) total += rts::word(rts::force(v), 0);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ForceEvaluated);

// The reference: the same reads from plain constructors, without force.
void BM_ReadConstructor(benchmark::State& state) {
    std::vector<Value> vs;
    for (int i = 0; i < kValues; ++i) vs.push_back(box(i));
    for (auto _ : state) {
        uint64_t total = 0;
        for (const Value& v : vs) total += rts::word(v, 0);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ReadConstructor);

// f a b = a: returns a counted reference, as most functions do.
__attribute__((noinline)) Value first_of(const Value& a, const Value&) { return a; }

void BM_Apply2(benchmark::State& state) {
    Value f = rts::fun<2>([](const Value& a, const Value& b) { return first_of(a, b); });
    Value a = box(1), b = box(2);
    for (auto _ : state) {
        Value r = rts::apply(f, a, b);
        benchmark::DoNotOptimize(r.get());
    }
}
BENCHMARK(BM_Apply2);

// The reference: the same function called directly through a function pointer.
void BM_DirectCall2(benchmark::State& state) {
    Value (*volatile fn)(const Value&, const Value&) = &first_of;
    Value a = box(1), b = box(2);
    for (auto _ : state) {
        Value r = fn(a, b);
        benchmark::DoNotOptimize(r.get());
    }
}
BENCHMARK(BM_DirectCall2);

// Applying through a partial application (one argument stored, one given).
void BM_ApplyPap(benchmark::State& state) {
    Value f = rts::fun<2>([](const Value& a, const Value& b) { return first_of(a, b); });
    Value a = box(1), b = box(2);
    Value p = rts::apply(f, a);
    for (auto _ : state) {
        Value r = rts::apply(p, b);
        benchmark::DoNotOptimize(r.get());
    }
}
BENCHMARK(BM_ApplyPap);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv,
                          {{"BM_ForceEvaluated", "BM_ReadConstructor"},
                           {"BM_Apply2", "BM_DirectCall2"},
                           {"BM_ApplyPap", "BM_DirectCall2"}});
}
