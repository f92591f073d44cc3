// Long loops over IO run in a small, fixed C++ stack: a million get/put steps in StateT and a
// million tells in the strict and continuation-passing writers.
#include <gtest/gtest.h>

#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Strict.h"
#include "Loops.h"

namespace {

using namespace trans_test;
namespace T = Control::Monad::Trans;
using VUX::Internal::IO::runIO;

// 256 KiB of stack: a loop that grew the stack by a few bytes per step would overflow.
constexpr size_t kSmallStack = 256 * 1024;

class StateLoop : public ::testing::TestWithParam<bool> {};

TEST_P(StateLoop, AMillionStepsInConstantStack) {
    Value d = GetParam() ? T::State::Strict::inst_Monad_StateT_Strict(io())
                         : T::State::Lazy::inst_Monad_StateT_Lazy(io());
    withStackLimit(kSmallStack, [&] {
        Value result = runIO(T::State::Shared::runStateT(counter(d, kSteps - 1), I(0)));
        EXPECT_EQ(intv(rts::field(rts::force(result), 1)), kSteps);
    });
}

INSTANTIATE_TEST_SUITE_P(Variants, StateLoop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Strict" : "Lazy";
                         });

TEST(WriterLoop, StrictWriterTellsAMillionTimesInConstantStack) {
    Value w = sumMonoid(), d = T::Writer::Strict::inst_Monad_WriterT_Strict(w, io());
    auto tell = [](int64_t n) { return T::Writer::Shared::tell(io(), I(n)); };
    withStackLimit(kSmallStack, [&] {
        Value result = runIO(teller(d, tell, kSteps - 1));
        // Each step's output is combined with the rest's when the rest returns, suspended: the
        // sum is computed here, one nested evaluation per step, on the large stack.
        Value total = rts::field(rts::force(result), 1);
        int64_t sum = 0;
        rts::run_on_large_stack([&] { sum = intv(total); });
        EXPECT_EQ(sum, kSteps * (kSteps - 1) / 2);
    });
}

TEST(WriterLoop, ContinuationPassingWriterTellsAMillionTimesInConstantStack) {
    Value w = sumMonoid(), d = T::Writer::CPS::inst_Monad_WriterT_CPS(io());
    auto tell = [w](int64_t n) { return T::Writer::CPS::tell(w, io(), I(n)); };
    withStackLimit(kSmallStack, [&] {
        Value result = runIO(T::Writer::CPS::runWriterT(w, teller(d, tell, kSteps - 1)));
        EXPECT_EQ(intv(rts::field(rts::force(result), 1)), kSteps * (kSteps - 1) / 2);
    });
}

}  // namespace
