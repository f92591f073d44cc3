// The continuation capability: label loops (ContT and lifted, re-entered 10^5 times in a small
// stack and flat memory), label_, what a jump keeps of each layer's state, output and
// accumulation, and liftCallCC.
#include "Control/Monad/Trans/Cont.h"
#include "CapsTesting.h"
#include "Control/Monad/Cont/Class.h"
#include "Control/Monad/Trans/Accum.h"
#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/State/Shared.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Shared.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::Cont::Class;
using vux::testing::failing;

Value contT() { return inst_MonadCont_ContT(); }
Value contMonad() { return T::Cont::inst_Monad_ContT(); }
Value evalCont(const Value& m) { return T::Cont::evalContT(identity(), m); }

// do (go, n) <- label 0; runs++; step; if n < limit then go (n + 1) else return n
Value countTo(const Value& d, int64_t limit, std::shared_ptr<int64_t> runs, Value step) {
    Value dM = MonadCont_Monad(d);
    return bind(dM, label(d, I(0)), fn1([dM, limit, runs, step](const Value& p) {
                    ++*runs;
                    int64_t n = intv(component(p, 1));
                    Value next = n < limit ? rts::apply(component(p, 0), I(n + 1)) : ret(dM, I(n));
                    return Base::op_gt_gt(dM, step, next);
                }));
}
Value countTo(const Value& d, int64_t limit, std::shared_ptr<int64_t> runs) {
    return countTo(d, limit, std::move(runs), ret(MonadCont_Monad(d), unit()));
}

TEST(Label, ContTRunsTheCodeAfterTheLabelOncePerJump) {
    auto runs = std::make_shared<int64_t>(0);
    EXPECT_EQ(intv(evalCont(countTo(contT(), 3, runs))), 3);
    EXPECT_EQ(*runs, 4);
}

// ContT itself nests its calls; with an inner IO step in each round the jumps run in constant
// stack, directly and lifted through the strict state.
TEST(Label, AHundredThousandJumpsInASmallStack) {
    constexpr int64_t kJumps = 100'000;
    Value step = T::Class::lift(T::Cont::inst_MonadTrans_ContT(), io(), VUX::Internal::IO::returnIO(unit()));
    withStackLimit(256 * 1024, [&] {
        auto runs = std::make_shared<int64_t>(0);
        Value direct = countTo(contT(), kJumps, runs, step);
        EXPECT_EQ(intv(VUX::Internal::IO::runIO(T::Cont::evalContT(io(), direct))), kJumps);
        EXPECT_EQ(*runs, kJumps + 1);
        Value state = inst_MonadCont_StateT_Strict(contT());
        Value stateStep = Control::Monad::Lifting::lift(Control::Monad::Lifting::Layer::StateT_Strict,
                                                        Value(), contMonad(), step);
        Value lifted = rts::apply(countTo(state, kJumps, runs, stateStep), I(7));
        Value p = VUX::Internal::IO::runIO(T::Cont::evalContT(io(), lifted));
        EXPECT_EQ(intv(component(p, 0)), kJumps);
        EXPECT_EQ(intv(component(p, 1)), 7);
    });
}

// The jump values hold no cycle: a hundred thousand labelled computations, each jumped through,
// leave the memory where ten thousand left it.
TEST(Label, LabelsAreFreed) {
    auto runs = std::make_shared<int64_t>(0);
    auto many = [&](int64_t n) {
        for (int64_t i = 0; i < n; ++i) {
            evalCont(countTo(contT(), 2, runs));
            Value dM = contMonad();
            evalCont(bind(dM, label_(contT()), fn1([dM, count = std::make_shared<int>(0)](const Value& x) {
                              return ++*count < 2 ? x : ret(dM, unit());
                          })));
        }
    };
    many(10'000);
    long before = residentPages();
    many(100'000);
#ifndef RTS_SANITIZED  // the sanitizers hold freed memory back, so residency says nothing there
    EXPECT_LE(residentPages(), before + 1024) << "resident pages grew by more than 4 MiB";
#else
    (void)before;
#endif
}

TEST(Label, TheJumpActionOfLabel_RunsTheRestAgain) {
    auto runs = std::make_shared<int64_t>(0);
    Value dM = contMonad();
    Value m = bind(dM, label_(contT()),
                   fn1([dM, runs](const Value& again) { return ++*runs < 3 ? again : ret(dM, I(*runs)); }));
    EXPECT_EQ(intv(evalCont(m)), 3);
}

// ---------------------------------------------------------------------------------------------
// What a jump keeps, layer by layer, over ContT Identity

// callCC (\k -> before >> k 1 >> failing): the body's effect before the jump, then the jump.
Value jumpAfter(const Value& d, const Value& before) {
    Value dM = MonadCont_Monad(d);
    return rts::apply(callCC(d), fn1([dM, before](const Value& k) {
                          return Base::op_gt_gt(
                              dM, before, Base::op_gt_gt(dM, rts::apply(k, I(1)), failing("after the jump")));
                      }));
}

TEST(Jump, StateTKeepsTheStateAtTheJump) {
    for (Value d : {inst_MonadCont_StateT_Lazy(contT()), inst_MonadCont_StateT_Strict(contT())}) {
        Value p = evalCont(rts::apply(jumpAfter(d, T::State::Shared::put(contMonad(), I(5))), I(0)));
        EXPECT_EQ(intv(component(p, 0)), 1);
        EXPECT_EQ(intv(component(p, 1)), 5);
    }
}

TEST(Jump, WritersDropTheBodysOutputAndKeepTheEarlierOutput) {
    Value dInner = contMonad();
    for (Value d : {inst_MonadCont_WriterT_Lazy(listMonoid(), contT()),
                    inst_MonadCont_WriterT_Strict(listMonoid(), contT())}) {
        Value dM = MonadCont_Monad(d);
        Value m = Base::op_gt_gt(dM, T::Writer::Shared::tell(dInner, ints({1})),
                                 jumpAfter(d, T::Writer::Shared::tell(dInner, ints({2}))));
        Value p = evalCont(m);
        EXPECT_EQ(intv(component(p, 0)), 1);
        EXPECT_EQ(intList(component(p, 1)), std::vector<int64_t>{1});
    }
    Value d = inst_MonadCont_WriterT_CPS(listMonoid(), contT());
    Value dM = MonadCont_Monad(d);
    Value m = Base::op_gt_gt(dM, T::Writer::CPS::tell(listMonoid(), dInner, ints({1})),
                             jumpAfter(d, T::Writer::CPS::tell(listMonoid(), dInner, ints({2}))));
    Value p = evalCont(T::Writer::CPS::runWriterT(listMonoid(), m));
    EXPECT_EQ(intList(component(p, 1)), std::vector<int64_t>{1});
}

// add [1]; callCC (\k -> add [2] >> k 1); look: the jump adds nothing, so the accumulation is
// [1], not [1, 1], and the body's [2] is dropped.
TEST(Jump, AccumTAddsNothingAtTheJump) {
    Value dInner = contMonad();
    Value d = inst_MonadCont_AccumT(listMonoid(), contT());
    Value dM = MonadCont_Monad(d);
    Value m = Base::op_gt_gt(dM, T::Accum::add(dInner, ints({1})),
                             Base::op_gt_gt(dM, jumpAfter(d, T::Accum::add(dInner, ints({2}))),
                                            T::Accum::look(listMonoid(), dInner)));
    Value p = evalCont(rts::apply(m, ints({})));
    EXPECT_EQ(intList(component(p, 0)), std::vector<int64_t>{1});
    EXPECT_EQ(intList(component(p, 1)), std::vector<int64_t>{1});
}

TEST(Jump, ExceptTAndMaybeTDeliverSuccesses) {
    Value e =
        evalCont(jumpAfter(inst_MonadCont_ExceptT(contT()), ret(contMonad(), Data::Either::Right(unit()))));
    EXPECT_EQ(intv(unwrapping(Data::Either::Right_tag)(e)), 1);
    Value m = evalCont(
        jumpAfter(inst_MonadCont_MaybeT(contT()), ret(contMonad(), VUX::Internal::Maybe::Just(unit()))));
    EXPECT_EQ(intv(unwrapping(VUX::Internal::Maybe::Just_tag)(m)), 1);
    EXPECT_EQ(intv(evalCont(jumpAfter(inst_MonadCont_IdentityT(contT()), ret(contMonad(), unit())))), 1);
    EXPECT_EQ(intv(evalCont(rts::apply(
                  jumpAfter(inst_MonadCont_ReaderT(contT()), Base::const_(ret(contMonad(), unit()))),
                  failing("environment")))),
              1);
}

TEST(Jump, RWSTKeepsTheStateAndDropsTheBodysOutput) {
    Value dInner = contMonad();
    // The body: put 5 and tell [2], as an RWST computation of each representation.
    Value lazyBody = rts::fun<2>([dInner](const Value&, const Value&) {
        return ret(dInner, T::Internal::Tuple3(unit(), I(5), ints({2})));
    });
    for (Value d : {inst_MonadCont_RWST_Lazy(listMonoid(), contT()),
                    inst_MonadCont_RWST_Strict(listMonoid(), contT())}) {
        Value t = evalCont(rts::apply(jumpAfter(d, lazyBody), unit(), I(0)));
        EXPECT_EQ(intv(component(t, 1)), 5);
        EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{});
    }
    Value cpsBody = rts::fun<3>([dInner](const Value&, const Value&, const Value& w) {
        return ret(dInner,
                   T::Internal::Tuple3(unit(), I(5), VUX::Internal::List::op_plus_plus(w, ints({2}))));
    });
    Value t = evalCont(rts::apply(jumpAfter(inst_MonadCont_RWST_CPS(listMonoid(), contT()), cpsBody), unit(),
                                  I(0), ints({1})));
    EXPECT_EQ(intv(component(t, 1)), 5);
    EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{1});
}

// ---------------------------------------------------------------------------------------------
// liftCallCC: ContT's callCC through the lazy writer

TEST(LiftCallCC, TheBodysResultOrTheEscapedValue) {
    Value dT = T::Writer::Shared::monadTransRecord(listMonoid(), T::Internal::Match::Lazy);
    Value lifted = liftCallCC(dT, contMonad(), Value());
    Value dTM = T::Class::monadOf(dT, contMonad());
    Value plain = rts::apply(lifted, T::Cont::callCC_closure.value(),
                             fn1([dTM](const Value&) { return ret(dTM, I(7)); }));
    EXPECT_EQ(intv(component(evalCont(plain), 0)), 7);
    Value escaping =
        rts::apply(lifted, T::Cont::callCC_closure.value(), fn1([dTM](const Value& h) {
                       return Base::op_gt_gt(dTM, rts::apply(h, I(5)), failing("after the escape"));
                   }));
    EXPECT_EQ(intv(component(evalCont(escaping), 0)), 5);
}

}  // namespace
