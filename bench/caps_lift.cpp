// A get lifted through one to four layers (ReaderT, ExceptT, continuation-passing WriterT,
// MaybeT, each over the one before, all over a strict StateT over Identity) against the native
// StateT get: each measurement runs one get from its layers' starting values to the state.
#include "Control/Monad/State/Class.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Data/Functor/Identity.h"
#include "VUX/Internal/Base.h"
#include "runtime_bench.h"

namespace {

using rts::Value;
namespace S = Control::Monad::State::Class;

Value I(int64_t n) { return VUX::Types::I_hash(n); }

// The MonadState records from the native one up, and how to take one layer's computation down
// to the layer below it.
struct Layers {
    std::vector<Value> records;
    std::vector<std::function<Value(const Value&)>> run;

    Layers() {
        Value dOutput = VUX::Internal::Base::inst_Monoid_List();
        records.push_back(S::inst_MonadState_StateT_Strict(Data::Functor::Identity::inst_Monad_Identity()));
        records.push_back(S::inst_MonadState_ReaderT(records.back()));
        run.push_back([](const Value& c) { return rts::apply(c, I(1)); });
        records.push_back(S::inst_MonadState_ExceptT(records.back()));
        run.push_back([](const Value& c) { return c; });
        records.push_back(S::inst_MonadState_WriterT_CPS(dOutput, records.back()));
        run.push_back(
            [dOutput](const Value& c) { return rts::apply(c, VUX::Internal::Base::mempty(dOutput)); });
        records.push_back(S::inst_MonadState_MaybeT(records.back()));
        run.push_back([](const Value& c) { return c; });
    }

    // The state a get through `depth` layers yields.
    int64_t get(size_t depth) const {
        Value c = S::get(records[depth]);
        for (size_t i = depth; i > 0; --i) c = run[i - 1](c);
        Value pair = rts::apply(c, I(42));
        // Right, Just and the writer's pair hold the state as their first field, down to the Int.
        Value result = rts::field(rts::force(pair), 0);
        while (rts::force(result).get()->nptrs > 0) result = Value(rts::field(rts::force(result), 0));
        return VUX::Types::intOf(rts::force(result));
    }
};

template <size_t Depth>
void BM_Get(benchmark::State& state) {
    Layers layers;
    for (auto _ : state) benchmark::DoNotOptimize(layers.get(Depth));
}
void BM_NativeGet(benchmark::State& state) { BM_Get<0>(state); }
void BM_GetThrough1(benchmark::State& state) { BM_Get<1>(state); }
void BM_GetThrough2(benchmark::State& state) { BM_Get<2>(state); }
void BM_GetThrough3(benchmark::State& state) { BM_Get<3>(state); }
void BM_GetThrough4(benchmark::State& state) { BM_Get<4>(state); }
BENCHMARK(BM_NativeGet);
BENCHMARK(BM_GetThrough1);
BENCHMARK(BM_GetThrough2);
BENCHMARK(BM_GetThrough3);
BENCHMARK(BM_GetThrough4);

}  // namespace

int main(int argc, char** argv) {
    return rts_bench::run(argc, argv,
                          {{"BM_GetThrough1", "BM_NativeGet"},
                           {"BM_GetThrough2", "BM_NativeGet"},
                           {"BM_GetThrough3", "BM_NativeGet"},
                           {"BM_GetThrough4", "BM_NativeGet"},
                           {"BM_GetThrough2", "BM_GetThrough1"},
                           {"BM_GetThrough3", "BM_GetThrough2"},
                           {"BM_GetThrough4", "BM_GetThrough3"}});
}
