// Long loops over IO: a million get/put steps in StateT and a million tells in the writers run in
// a small, fixed C++ stack; the state loop and the continuation-passing writer in flat memory.
#include <gtest/gtest.h>

#include <cstdio>

#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Strict.h"
#include "Helpers.h"
#include "VUX/Internal/IO.h"

namespace {

using namespace trans_test;
namespace T = Control::Monad::Trans;
namespace S = T::State::Shared;
using VUX::Internal::IO::runIO;

constexpr int64_t kSteps = 1'000'000;

Value io() { return VUX::Internal::IO::inst_Monad_IO(); }

// go n = do s <- get; put (s + 1); unless (n == 0) (go (n - 1))
Value counter(const Value& d, int64_t n) {
    return bind(d, S::get(io()), fn1([d, n](const Value& s) {
                    Value rest = n == 0 ? ret(d, unit()) : rts::delay([d, n]() { return counter(d, n - 1); });
                    return Base::op_gt_gt(d, S::put(io(), I(intv(s) + 1)), rest);
                }));
}

// go n = tell w >> unless (n == 0) (go (n - 1)), with `tell` given as a function of n.
Value teller(const Value& d, const std::function<Value(int64_t)>& tell, int64_t n) {
    Value rest = n == 0 ? ret(d, unit()) : rts::delay([d, tell, n]() { return teller(d, tell, n - 1); });
    return Base::op_gt_gt(d, tell(n), rest);
}

long residentPages() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long size = 0, resident = 0;
    if (!f || std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = -1;
    if (f) std::fclose(f);
    return resident;
}

// Resident memory grows by at most 8 MiB between a run of n/10 steps and a run of n steps.
template <class Run>
void expectFlatMemory(Run run) {
#ifdef RTS_SANITIZED
    (void)run;  // the sanitizers hold freed memory back, so residency says nothing here
#else
    run(kSteps / 10);
    long small = residentPages();
    run(kSteps);
    EXPECT_LE(residentPages(), small + 2048);
#endif
}

class StateLoop : public ::testing::TestWithParam<bool> {
  protected:
    Value monad() const {
        return GetParam() ? T::State::Strict::inst_Monad_StateT_Strict(io())
                          : T::State::Lazy::inst_Monad_StateT_Lazy(io());
    }
};

TEST_P(StateLoop, AMillionStepsInConstantStackAndFlatMemory) {
    Value d = monad();
    withStackLimit(256 * 1024, [&] {
        Value result = runIO(S::runStateT(counter(d, kSteps - 1), I(0)));
        EXPECT_EQ(intv(rts::field(rts::force(result), 1)), kSteps);
    });
    expectFlatMemory([&](int64_t n) { runIO(S::runStateT(counter(d, n - 1), I(0))); });
}

INSTANTIATE_TEST_SUITE_P(Variants, StateLoop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Strict" : "Lazy";
                         });

// The output of each step is the number it tells; summed, strictly.
Value sumMonoid() {
    Value add = rts::fun<2>([](const Value& a, const Value& b) { return I(intv(a) + intv(b)); });
    return Base::monoidRecord(Base::semigroupRecord(add), I(0));
}

TEST(WriterLoop, StrictWriterTellsAMillionTimesInConstantStack) {
    Value w = sumMonoid(), d = T::Writer::Strict::inst_Monad_WriterT_Strict(w, io());
    auto tell = [](int64_t n) { return T::Writer::Shared::tell(io(), I(n)); };
    withStackLimit(256 * 1024, [&] {
        Value result = runIO(teller(d, tell, kSteps - 1));
        // The output is the sum of the outputs, combined from the last step back to the first as
        // the steps return: the combinations are suspended, so the sum is computed here (on the
        // large stack, one nested evaluation per step).
        Value total = rts::field(rts::force(result), 1);
        int64_t sum = 0;
        rts::run_on_large_stack([&] { sum = intv(total); });
        EXPECT_EQ(sum, kSteps * (kSteps - 1) / 2);
    });
}

TEST(WriterLoop, ContinuationPassingWriterTellsAMillionTimesInConstantStackAndFlatMemory) {
    Value w = sumMonoid(), d = T::Writer::CPS::inst_Monad_WriterT_CPS(io());
    auto tell = [w](int64_t n) { return T::Writer::CPS::tell(w, io(), I(n)); };
    withStackLimit(256 * 1024, [&] {
        Value result = runIO(T::Writer::CPS::runWriterT(w, teller(d, tell, kSteps - 1)));
        EXPECT_EQ(intv(rts::field(rts::force(result), 1)), kSteps * (kSteps - 1) / 2);
    });
    expectFlatMemory([&](int64_t n) { runIO(T::Writer::CPS::runWriterT(w, teller(d, tell, n - 1))); });
}

}  // namespace
