// A counter loop in StateT over IO (a get and a put per step) against a plain C++ loop that
// counts in a boxed Int, allocating a new box per step.
#include "Control/Monad/Trans/State/Strict.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"
#include "runtime_bench.h"

namespace {

using rts::Value;
namespace S = Control::Monad::Trans::State::Shared;
namespace Base = VUX::Internal::Base;

constexpr int64_t kSteps = 1'000'000;

Value io() { return VUX::Internal::IO::inst_Monad_IO(); }

// go n = do s <- get; put (s + 1); unless (n == 0) (go (n - 1))
Value counter(const Value& d, int64_t n) {
    return Base::op_gt_gt_eq(d, S::get(io()), rts::fun<1>([d, n](const Value& s) {
                                 Value rest = n == 0 ? Base::return_(d, VUX::Tuple::Unit())
                                                     : rts::delay([d, n]() { return counter(d, n - 1); });
                                 Value next = VUX::Types::I_hash(VUX::Types::intOf(rts::force(s)) + 1);
                                 return Base::op_gt_gt(d, S::put(io(), next), rest);
                             }));
}

void BM_StateTCounter(benchmark::State& state) {
    Value d = Control::Monad::Trans::State::Strict::inst_Monad_StateT_Strict(io());
    for (auto _ : state) {
        Value r = VUX::Internal::IO::runIO(S::runStateT(counter(d, kSteps - 1), VUX::Types::I_hash(0)));
        benchmark::DoNotOptimize(rts::force(rts::field(rts::force(r), 1)).get());
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_StateTCounter)->Unit(benchmark::kMillisecond);

void BM_BoxedCounter(benchmark::State& state) {
    for (auto _ : state) {
        Value c = VUX::Types::I_hash(0);
        for (int64_t i = 0; i < kSteps; ++i) {
            c = VUX::Types::I_hash(VUX::Types::intOf(c) + 1);
            benchmark::DoNotOptimize(c.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_BoxedCounter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv, {{"BM_StateTCounter", "BM_BoxedCounter"}});
}
