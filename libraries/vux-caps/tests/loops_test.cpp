// A million steps of lifted ask, get, put and tell through an environment over a strict state
// over an output over errors over IO, in a small fixed C++ stack and flat memory.
#include "CapsTesting.h"
#include "Control/Monad/Reader/Class.h"
#include "Control/Monad/State/Class.h"
#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Writer/Class.h"
#include "Data/Either.h"

namespace {

using namespace caps_test;
namespace R = Control::Monad::Reader::Class;
namespace S = Control::Monad::State::Class;
namespace W = Control::Monad::Writer::Class;
using VUX::Internal::IO::runIO;

constexpr int64_t kSteps = 1'000'000;

// ReaderT Int (StateT Int (WriterT (Sum Int) (ExceptT e IO))), strict state, continuation-passing
// output (the writer that keeps its output evaluated).
struct Stack {
    Value output = sumMonoid();
    Value writerT = W::inst_MonadWriter_WriterT_CPS(output, T::Except::inst_Monad_ExceptT(io()));
    Value stateT = S::inst_MonadState_StateT_Strict(W::MonadWriter_Monad(writerT));
    Value readerT = R::inst_MonadReader_ReaderT(S::MonadState_Monad(stateT));
    Value state = S::inst_MonadState_ReaderT(stateT);
    Value writer = W::inst_MonadWriter_ReaderT(W::inst_MonadWriter_StateT_Strict(writerT));
    Value monad = R::MonadReader_Monad(readerT);

    // go n = do r <- ask; s <- get; put (s + r); tell 1; unless (n == 0) (go (n - 1))
    Value loop(int64_t n) const {
        Stack self = *this;
        return bind(monad, R::ask(readerT), fn1([self, n](const Value& r) {
                        return bind(self.monad, S::get(self.state), fn1([self, n, r](const Value& s) {
                                        Value put = rts::apply(S::put(self.state), I(intv(s) + intv(r)));
                                        Value tell = rts::apply(W::tell(self.writer), I(1));
                                        Value rest = n == 0
                                                         ? ret(self.monad, unit())
                                                         : rts::delay([self, n] { return self.loop(n - 1); });
                                        return Base::op_gt_gt(self.monad, put,
                                                              Base::op_gt_gt(self.monad, tell, rest));
                                    }));
                    }));
    }

    // Runs n steps from environment 1 and state 0: Right (((), final state), output).
    Value run(int64_t n) const {
        Value stateComputation = rts::apply(loop(n - 1), I(1));
        Value writerComputation = rts::apply(stateComputation, I(0));
        return runIO(T::Writer::CPS::runWriterT(output, writerComputation));
    }
};

// Resident memory after a million steps is within 8 MiB of what it was after a hundred thousand.
TEST(CapabilityLoop, AMillionLiftedStepsInConstantStackAndFlatMemory) {
    Stack stack;
    stack.run(kSteps / 10);
    long small = residentPages();
    withStackLimit(256 * 1024, [&] {
        Value result = stack.run(kSteps);
        ASSERT_EQ(rts::tag_of(rts::force(result)), Data::Either::Right_tag);
        Value pairs = component(result, 0);
        EXPECT_EQ(intv(component(component(pairs, 0), 1)), kSteps);  // the state
        EXPECT_EQ(intv(component(pairs, 1)), kSteps);                // the output
    });
#ifndef RTS_SANITIZED  // the sanitizers hold freed memory back, so residency says nothing there
    EXPECT_LE(residentPages(), small + 2048) << "resident pages grew by more than 8 MiB";
#else
    (void)small;
#endif
}

}  // namespace
