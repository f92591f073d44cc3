// The operations of each layered type, their laziness, and lifting through MonadTrans and MonadIO.
#include <gtest/gtest.h>

#include "Control/Monad/IO/Class.h"
#include "Control/Monad/Trans/Accum.h"
#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Cont.h"
#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/Identity.h"
#include "Control/Monad/Trans/Maybe.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/RWS/Lazy.h"
#include "Control/Monad/Trans/RWS/Strict.h"
#include "Control/Monad/Trans/Reader.h"
#include "Control/Monad/Trans/Select.h"
#include "Control/Monad/Trans/State/Lazy.h"
#include "Control/Monad/Trans/State/Strict.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Lazy.h"
#include "Control/Monad/Trans/Writer/Strict.h"
#include "Data/Either.h"
#include "Helpers.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"

namespace {

using namespace trans_test;
namespace T = Control::Monad::Trans;
namespace List = VUX::Internal::List;
using Data::Either::Left;
using Data::Either::Right;
using vux::testing::failing;
using vux::testing::is_failure;

Value plus(int64_t n) {
    return intFn([n](int64_t x) { return I(x + n); });
}
Value times(int64_t n) {
    return intFn([n](int64_t x) { return I(x * n); });
}
Value reverseFn() {
    return fn1([](const Value& xs) { return List::reverse(xs); });
}
std::string showIntPair(const Value& p) { return show(showPair(showInt(), showInt()), p); }
std::string showOutput(const Value& p) { return show(showPair(showInt(), showInts()), p); }
std::string showListened(const Value& p) {
    return show(showPair(showPair(showInt(), showInts()), showInts()), p);
}
std::string showTriple(const Value& t) {
    return show(Show::inst_Show_Tuple3(showInt(), showInt(), showInts()), t);
}

// n : the list of the states that follow, produced by a loop that never ends.
Value countFrom(const Value& d, const Value& inner) {
    namespace S = T::State::Shared;
    return bind(d, S::get(inner), fn1([d, inner](const Value& n) {
                    return bind(d, S::put(inner, I(intv(n) + 1)), fn1([d, inner, n](const Value&) {
                                    return bind(d, countFrom(d, inner), fn1([d, n](const Value& rest) {
                                                    return ret(d, VUX::Types::Cons(n, rest));
                                                }));
                                }));
                }));
}

TEST(StateT, OperationsAndRunning) {
    namespace S = T::State::Shared;
    Value id = identity();
    for (Value d :
         {T::State::Lazy::inst_Monad_StateT_Lazy(id), T::State::Strict::inst_Monad_StateT_Strict(id)}) {
        Value m = Base::op_gt_gt(d, S::modify(id, plus(1)), S::gets(id, times(2)));
        EXPECT_EQ(intv(S::evalState(m, I(3))), 8);
        EXPECT_EQ(intv(S::execState(m, I(3))), 4);
        Value shifted = fn1([](const Value& p) {
            return pair(I(intv(rts::field(rts::force(p), 0)) + 100), rts::field(rts::force(p), 1));
        });
        EXPECT_EQ(showIntPair(S::runState(S::mapStateT(shifted, S::get(id)), I(1))), "(101,1)");
        EXPECT_EQ(showIntPair(S::runState(S::withStateT(plus(10), S::get(id)), I(1))), "(11,11)");
        EXPECT_EQ(showIntPair(S::runState(then(d, S::put(id, I(7)), I(0)), I(1))), "(0,7)");
    }
    // modify' evaluates the new state when it runs; modify leaves it suspended.
    Value bad = fn1([](const Value&) { return failing(); });
    EXPECT_THROW(S::runState(S::modify_prime(id, bad), I(0)), rts::Exception);
    Value lazyPair = S::runState(S::modify(id, bad), I(0));
    EXPECT_NO_THROW(rts::force(rts::field(rts::force(lazyPair), 0)));
    EXPECT_THROW(rts::force(rts::field(rts::force(lazyPair), 1)), rts::Exception);
}

TEST(StateT, LazyVariantProducesAnEndlessResultOnDemandStrictOneRunsForever) {
    Value id = identity();
    Value lazy = T::State::Lazy::inst_Monad_StateT_Lazy(id);
    Value first = List::take(5, T::State::Shared::evalState(countFrom(lazy, id), I(0)));
    EXPECT_EQ(vux::testing::int_values(first), (std::vector<int64_t>{0, 1, 2, 3, 4}));
    Value strict = T::State::Strict::inst_Monad_StateT_Strict(id);
    withStackLimit(512 * 1024, [&] {
        EXPECT_THROW(rts::force(T::State::Shared::evalState(countFrom(strict, id), I(0))), rts::Exception);
    });
}

TEST(StateT, StrictVariantEvaluatesEachStepsPair) {
    namespace S = T::State::Shared;
    Value id = identity();
    Value failingStep = fn1([](const Value&) { return failing(); });  // StateT whose pair fails
    Value lazy = T::State::Lazy::inst_Monad_StateT_Lazy(id);
    EXPECT_EQ(intv(S::evalState(then(lazy, failingStep, I(1)), I(0))), 1);
    Value strict = T::State::Strict::inst_Monad_StateT_Strict(id);
    EXPECT_THROW(rts::force(S::evalState(then(strict, failingStep, I(1)), I(0))), rts::Exception);
    // evalStateT and execStateT follow the variant's pattern: the strict ones evaluate the pair.
    EXPECT_THROW(T::State::Strict::evalStateT(id, failingStep, I(0)), rts::Exception);
    EXPECT_NO_THROW(T::State::Lazy::evalStateT(id, failingStep, I(0)));
}

TEST(WriterT, LazyAndStrictOperations) {
    namespace W = T::Writer::Shared;
    Value id = identity(), w = listMonoid();
    struct Variant {
        Value d;
        Value (*listen)(const Value&, const Value&);
        Value (*pass)(const Value&, const Value&);
        Value (*censor)(const Value&, const Value&, const Value&);
        Value (*listens)(const Value&, const Value&, const Value&);
    };
    for (const Variant& v :
         {Variant{T::Writer::Lazy::inst_Monad_WriterT_Lazy(w, id), T::Writer::Lazy::listen,
                  T::Writer::Lazy::pass, T::Writer::Lazy::censor, T::Writer::Lazy::listens},
          Variant{T::Writer::Strict::inst_Monad_WriterT_Strict(w, id), T::Writer::Strict::listen,
                  T::Writer::Strict::pass, T::Writer::Strict::censor, T::Writer::Strict::listens}}) {
        Value m = Base::op_gt_gt(v.d, W::tell(id, ints({2})), W::writer(id, pair(I(1), ints({3}))));
        EXPECT_EQ(showOutput(m), "(1,[2,3])");
        EXPECT_EQ(showListened(v.listen(id, m)), "((1,[2,3]),[2,3])");
        EXPECT_EQ(showOutput(v.pass(id, W::writer(id, pair(pair(I(1), reverseFn()), ints({1, 2}))))),
                  "(1,[2,1])");
        EXPECT_EQ(showOutput(v.censor(id, reverseFn(), m)), "(1,[3,2])");
        EXPECT_EQ(show(showPair(showPair(showInt(), showInt()), showInts()), v.listens(id, lengthFn(), m)),
                  "((1,2),[2,3])");
        EXPECT_EQ(show(showInts(), W::execWriter(m)), "[2,3]");
    }
    // The strict variant evaluates each step's pair; the lazy one only what is demanded.
    Value lazy = T::Writer::Lazy::inst_Monad_WriterT_Lazy(w, id);
    EXPECT_EQ(intv(rts::field(rts::force(then(lazy, failing(), I(1))), 0)), 1);
    Value strict = T::Writer::Strict::inst_Monad_WriterT_Strict(w, id);
    EXPECT_THROW(rts::force(then(strict, failing(), I(1))), rts::Exception);
}

TEST(WriterT, LazyVariantProducesEndlessOutputOnDemand) {
    Value id = identity(), w = listMonoid();
    // go = tell [n] >> go (n + 1), over each variant
    std::function<Value(const Value&, int64_t)> go = [&go, id](const Value& d, int64_t n) {
        return Base::op_gt_gt(d, T::Writer::Shared::tell(id, ints({n})),
                              rts::delay([&go, d, n]() { return go(d, n + 1); }));
    };
    Value lazy = T::Writer::Lazy::inst_Monad_WriterT_Lazy(w, id);
    EXPECT_EQ(vux::testing::int_values(List::take(4, T::Writer::Shared::execWriter(go(lazy, 0)))),
              (std::vector<int64_t>{0, 1, 2, 3}));
    Value strict = T::Writer::Strict::inst_Monad_WriterT_Strict(w, id);
    withStackLimit(512 * 1024, [&] { EXPECT_THROW(rts::force(go(strict, 0)), rts::Exception); });
}

TEST(WriterT, ContinuationPassingFormKeepsItsOutputEvaluated) {
    namespace W = T::Writer::CPS;
    Value id = identity(), w = listMonoid(), d = W::inst_Monad_WriterT_CPS(id);
    Value m = Base::op_gt_gt(d, W::tell(w, id, ints({2})), W::writer(w, id, pair(I(1), ints({3}))));
    // listen, pass and censor see only their own computation's output; what came before stays.
    Value before = W::tell(w, id, ints({0}));
    EXPECT_EQ(showListened(W::runWriter(w, Base::op_gt_gt(d, before, W::listen(w, id, m)))),
              "((1,[2,3]),[0,2,3])");
    Value passed = W::pass(w, id, W::writer(w, id, pair(pair(I(1), reverseFn()), ints({1, 2}))));
    EXPECT_EQ(showOutput(W::runWriter(w, Base::op_gt_gt(d, before, passed))), "(1,[0,2,1])");
    EXPECT_EQ(showOutput(W::runWriter(w, W::censor(w, id, reverseFn(), m))), "(1,[3,2])");
    EXPECT_EQ(show(showInts(), W::execWriter(w, m)), "[2,3]");
    EXPECT_EQ(show(showInts(), W::execWriterT(w, id, m)), "[2,3]");
    Value fromInner = W::writerT(w, id, pair(I(5), ints({5})));
    EXPECT_EQ(showOutput(W::runWriter(w, Base::op_gt_gt(d, before, fromInner))), "(5,[0,5])");
    // mapWriterT rewrites the inner pair.
    Value swapOut =
        fn1([](const Value& p) { return pair(I(9), List::reverse(rts::field(rts::force(p), 1))); });
    EXPECT_EQ(showOutput(W::runWriter(w, W::mapWriterT(w, w, id, swapOut, m))), "(9,[3,2])");
    // tell evaluates the new output when it runs.
    Value badMonoid = Base::monoidRecord(
        Base::semigroupRecord(rts::fun<2>([](const Value&, const Value&) { return failing(); })),
        VUX::Types::Nil());
    EXPECT_THROW(W::runWriter(badMonoid, W::tell(badMonoid, id, ints({1}))), rts::Exception);
}

TEST(RWST, OperationsOfTheThreeVariants) {
    Value id = identity(), w = listMonoid();
    namespace R = T::RWS::Shared;
    namespace C = T::RWS::CPS;
    for (bool strict : {false, true}) {
        Value d = strict ? T::RWS::Strict::inst_Monad_RWST_Strict(w, id)
                         : T::RWS::Lazy::inst_Monad_RWST_Lazy(w, id);
        auto listen = strict ? T::RWS::Strict::listen : T::RWS::Lazy::listen;
        auto pass = strict ? T::RWS::Strict::pass : T::RWS::Lazy::pass;
        auto writer = strict ? T::RWS::Strict::writer : T::RWS::Lazy::writer;
        Value m = R::local(plus(1), bind(d, R::ask(w, id), fn1([d, id](const Value& r) {
                                             return then(d, R::tell(id, ints({intv(r)})), r);
                                         })));
        EXPECT_EQ(showTriple(R::runRWS(m, I(10), I(1))), "(11,1,[11])");
        Value heard = listen(id, m);
        EXPECT_EQ(show(Show::inst_Show_Tuple3(showPair(showInt(), showInts()), showInt(), showInts()),
                       R::runRWS(heard, I(10), I(1))),
                  "((11,[11]),1,[11])");
        EXPECT_EQ(showTriple(R::runRWS(pass(id, writer(id, pair(pair(I(1), reverseFn()), ints({1, 2})))),
                                       I(0), I(0))),
                  "(1,0,[2,1])");
        EXPECT_EQ(showOutput(R::execRWS(then(d, R::put(w, id, I(4)), I(0)), I(0), I(1))), "(4,[])");
    }
    Value d = C::inst_Monad_RWST_CPS(id);
    Value before = C::tell(w, id, ints({0}));
    Value m = C::local(plus(1), bind(d, C::ask(id), fn1([d, id, w](const Value& r) {
                                         return then(d, C::tell(w, id, ints({intv(r)})), r);
                                     })));
    EXPECT_EQ(showTriple(C::runRWS(w, Base::op_gt_gt(d, before, m), I(10), I(1))), "(11,1,[0,11])");
    Value heard = Base::op_gt_gt(d, before, C::listen(w, id, m));
    EXPECT_EQ(show(Show::inst_Show_Tuple3(showPair(showInt(), showInts()), showInt(), showInts()),
                   C::runRWS(w, heard, I(10), I(1))),
              "((11,[11]),1,[0,11])");
    Value passed = C::pass(w, id, C::writer(w, id, pair(pair(I(1), reverseFn()), ints({1, 2}))));
    EXPECT_EQ(showTriple(C::runRWS(w, Base::op_gt_gt(d, before, passed), I(0), I(0))), "(1,0,[0,2,1])");
    EXPECT_EQ(showTriple(C::runRWS(w, C::rws(w, fn1([](const Value& r) {
                                                 return intFn([r](int64_t s) {
                                                     return VUX::Tuple::Tuple3(r, I(s + 1), ints({s}));
                                                 });
                                             })),
                                   I(3), I(4))),
              "(3,5,[4])");
}

TEST(RWST, StateTransitionsFollowTheVariant) {
    Value id = identity(), w = listMonoid();
    Value bad = fn1([](const Value&) { return failing(); });
    Value lazy = T::RWS::Lazy::inst_Monad_RWST_Lazy(w, id);
    Value m = then(lazy, T::RWS::Lazy::state(w, id, bad), I(5));
    Value t = T::RWS::Shared::runRWS(m, I(0), I(0));
    EXPECT_EQ(intv(rts::field(rts::force(t), 0)), 5);
    EXPECT_THROW(rts::force(rts::field(rts::force(t), 1)), rts::Exception);
    Value strict = T::RWS::Strict::inst_Monad_RWST_Strict(w, id);
    EXPECT_THROW(
        rts::force(T::RWS::Shared::runRWS(then(strict, T::RWS::Strict::state(w, id, bad), I(5)), I(0), I(0))),
        rts::Exception);
}

TEST(ReaderT, Operations) {
    namespace R = T::Reader;
    Value id = identity();
    EXPECT_EQ(intv(R::runReader(R::withReaderT(plus(1), R::asks(id, times(2))), I(10))), 22);
    EXPECT_EQ(intv(R::runReader(R::mapReaderT(plus(5), R::ask(id)), I(10))), 15);
    Value d = R::inst_Monad_ReaderT(id);
    Value both =
        bind(d, R::local(plus(1), R::ask(id)), fn1([d, id](const Value& inner) {
                 return bind(d, R::ask(id),
                             intFn([d, inner](int64_t outer) { return ret(d, pair(inner, I(outer))); }));
             }));
    EXPECT_EQ(showIntPair(R::runReader(both, I(10))), "(11,10)");
    // The function values for records built elsewhere.
    EXPECT_EQ(intv(R::runReader(rts::apply(R::reader_closure.value(), id, times(3)), I(2))), 6);
    EXPECT_EQ(intv(R::runReader(rts::apply(R::withReaderT_closure.value(), plus(1), R::ask(id)), I(2))), 3);
}

TEST(ExceptT, Operations) {
    namespace E = T::Except;
    Value id = identity(), d = E::inst_Monad_ExceptT(id);
    auto showE = [](const Value& e) { return show(Show::inst_Show_Either(showInt(), showInt()), e); };
    Value doubled = fn1([d](const Value& e) { return ret(d, I(intv(e) * 2)); });
    EXPECT_EQ(showE(E::runExcept(E::catchE(id, E::throwE(id, I(3)), doubled))), "Right 6");
    EXPECT_EQ(showE(E::runExcept(E::catchE(id, ret(d, I(1)), failing()))), "Right 1");
    EXPECT_EQ(showE(E::runExcept(E::withExceptT(id, plus(1), E::throwE(id, I(3))))), "Left 4");
    // An error stops the computation: what follows never runs.
    EXPECT_EQ(showE(E::runExcept(bind(d, E::throwE(id, I(3)), failing()))), "Left 3");
    Value swap = fn1([](const Value& e) {
        const Value& v = rts::force(e);
        return v->tag == Data::Either::Left_tag ? Right(rts::field(v, 0)) : Left(rts::field(v, 0));
    });
    EXPECT_EQ(showE(E::mapExceptT(swap, ret(d, I(1)))), "Left 1");
    EXPECT_EQ(showE(rts::apply(E::catchE_closure.value(), id, E::throwE(id, I(3)), doubled)), "Right 6");
    EXPECT_EQ(showE(E::except(id, Left(I(2)))), "Left 2");
}

TEST(MaybeT, NothingStopsTheComputation) {
    Value id = identity(), d = T::Maybe::inst_Monad_MaybeT(id);
    EXPECT_EQ(show(Show::inst_Show_Maybe(showInt()), bind(d, VUX::Internal::Maybe::Nothing(), failing())),
              "Nothing");
    EXPECT_EQ(
        show(Show::inst_Show_Maybe(showInt()), T::Maybe::hoistMaybe(id, VUX::Internal::Maybe::Just(I(2)))),
        "Just 2");
}

TEST(AccumT, StepsSeeWhatWasAddedBefore) {
    namespace A = T::Accum;
    Value id = identity(), w = listMonoid();
    Value d = A::inst_Monad_AccumT(w, Data::Functor::Identity::inst_Functor_Identity(), id);
    Value m = Base::op_gt_gt(d, A::add(id, ints({1})), A::look(w, id));
    EXPECT_EQ(show(showPair(showInts(), showInts()), A::runAccum(m, ints({0}))), "([0,1],[1])");
    EXPECT_EQ(show(showInts(), A::evalAccum(m, ints({0}))), "[0,1]");
    EXPECT_EQ(show(showInts(), A::execAccum(m, ints({0}))), "[1]");
    Value withLength = fn1([](const Value& p) {
        const Value& e = rts::force(p);
        return pair(I(List::length(rts::field(e, 0))), rts::field(e, 1));
    });
    EXPECT_EQ(showOutput(A::runAccum(A::mapAccumT(withLength, m), ints({0}))), "(2,[1])");
    EXPECT_EQ(showOutput(A::runAccum(rts::apply(A::mapAccumT_closure.value(), withLength, m), ints({0}))),
              "(2,[1])");
    // add never evaluates what it appends.
    EXPECT_NO_THROW(rts::force(A::runAccum(A::add(id, failing()), ints({}))));
}

TEST(SelectT, SelectionAndMapping) {
    namespace S = T::Select;
    Value largest = S::select(fn1([](const Value& score) {
        int64_t best = 0;
        for (int64_t x = 1; x <= 5; ++x)
            if (intv(rts::apply(score, I(x))) > intv(rts::apply(score, I(best)))) best = x;
        return I(best);
    }));
    Value distanceFrom3 = intFn([](int64_t x) { return I(-(x - 3) * (x - 3)); });
    EXPECT_EQ(intv(S::runSelect(largest, distanceFrom3)), 3);
    EXPECT_EQ(intv(S::runSelect(S::mapSelectT(plus(10), largest), distanceFrom3)), 13);
}

TEST(ContT, CallCCResetAndShift) {
    namespace C = T::Cont;
    Value id = identity(), d = C::inst_Monad_ContT();
    EXPECT_EQ(intv(C::evalCont(ret(d, I(3)))), 3);
    // reset (do x <- shift (\k -> return (k (k 10))); return (x + 1)) = 12
    Value shifted =
        C::shiftT(id, fn1([d](const Value& k) {
                      return ret(d, rts::delay([k]() { return rts::apply(k, rts::apply(k, I(10))); }));
                  }));
    Value body = bind(d, shifted, intFn([d](int64_t x) { return ret(d, I(x + 1)); }));
    EXPECT_EQ(intv(C::evalCont(C::resetT(id, body))), 12);
    // The escape drops the rest of the callCC body.
    Value escaping =
        rts::apply(C::callCC_closure.value(),
                   fn1([d](const Value& esc) { return bind(d, rts::apply(esc, I(5)), failing()); }));
    EXPECT_EQ(intv(C::evalCont(escaping)), 5);
    Value afterIncrement =
        fn1([](const Value& c) { return intFn([c](int64_t x) { return rts::apply(c, I(x + 1)); }); });
    EXPECT_EQ(intv(C::runCont(C::withContT(afterIncrement, ret(d, I(1))), times(10))), 20);
    EXPECT_EQ(intv(C::runCont(C::mapContT(plus(1), ret(d, I(1))), times(10))), 11);
}

// lift runs the inner computation once and passes its result on unchanged.
TEST(MonadTrans, LiftThroughEveryLayeredType) {
    Value inner = VUX::Internal::Maybe::inst_Monad_Maybe();
    Value w = listMonoid();
    struct Case {
        const char* name;
        Value dTrans;
        std::function<Value(const Value&)> run;  // to the inner Maybe of the result
    };
    auto firstOf = [inner](Value m) {
        return Base::fmap(Base::Applicative_Functor(Base::Monad_Applicative(inner)),
                          Base::fst_closure.value(), m);
    };
    const Case cases[] = {
        {"StateTLazy", T::State::Lazy::inst_MonadTrans_StateT_Lazy(),
         [&](const Value& m) { return firstOf(rts::apply(m, I(0))); }},
        {"StateTStrict", T::State::Strict::inst_MonadTrans_StateT_Strict(),
         [&](const Value& m) { return firstOf(rts::apply(m, I(0))); }},
        {"ReaderT", T::Reader::inst_MonadTrans_ReaderT(), [](const Value& m) { return rts::apply(m, I(0)); }},
        {"WriterTLazy", T::Writer::Lazy::inst_MonadTrans_WriterT_Lazy(w),
         [&](const Value& m) { return firstOf(m); }},
        {"WriterTStrict", T::Writer::Strict::inst_MonadTrans_WriterT_Strict(w),
         [&](const Value& m) { return firstOf(m); }},
        {"WriterTCPS", T::Writer::CPS::inst_MonadTrans_WriterT_CPS(),
         [&](const Value& m) { return firstOf(T::Writer::CPS::runWriterT(w, m)); }},
        {"IdentityT", T::Identity::inst_MonadTrans_IdentityT(), [](const Value& m) { return m; }},
        {"ContT", T::Cont::inst_MonadTrans_ContT(),
         [inner](const Value& m) { return T::Cont::evalContT(inner, m); }},
        {"SelectT", T::Select::inst_MonadTrans_SelectT(),
         [](const Value& m) { return rts::apply(m, failing()); }},
        {"AccumT", T::Accum::inst_MonadTrans_AccumT(w),
         [&](const Value& m) { return firstOf(rts::apply(m, ints({}))); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Value lifted = T::Class::lift(c.dTrans, inner, VUX::Internal::Maybe::Just(I(3)));
        Value dOuter = T::Class::monadOf(c.dTrans, inner);
        Value m = bind(dOuter, lifted, intFn([dOuter](int64_t x) { return ret(dOuter, I(x + 1)); }));
        EXPECT_EQ(show(Show::inst_Show_Maybe(showInt()), c.run(m)), "Just 4");
        EXPECT_EQ(show(Show::inst_Show_Maybe(showInt()),
                       c.run(T::Class::lift(c.dTrans, inner, VUX::Internal::Maybe::Nothing()))),
                  "Nothing");
    }
    // Failure layers wrap the lifted result in their success constructor.
    Value maybeT =
        T::Class::lift(T::Maybe::inst_MonadTrans_MaybeT(), inner, VUX::Internal::Maybe::Just(I(3)));
    EXPECT_EQ(show(Show::inst_Show_Maybe(Show::inst_Show_Maybe(showInt())), maybeT), "Just (Just 3)");
    Value exceptT =
        T::Class::lift(T::Except::inst_MonadTrans_ExceptT(), inner, VUX::Internal::Maybe::Just(I(3)));
    EXPECT_EQ(show(Show::inst_Show_Maybe(Show::inst_Show_Either(showInt(), showInt())), exceptT),
              "Just (Right 3)");
    Value rws =
        T::Class::lift(T::RWS::Lazy::inst_MonadTrans_RWST_Lazy(w), inner, VUX::Internal::Maybe::Just(I(3)));
    EXPECT_EQ(show(Show::inst_Show_Maybe(Show::inst_Show_Tuple3(showInt(), showInt(), showInts())),
                   rts::apply(rws, I(0), I(7))),
              "Just (3,7,[])");
}

TEST(MonadIO, LiftIOThroughStateT) {
    namespace IOC = Control::Monad::IO::Class;
    namespace IO = VUX::Internal::IO;
    int runs = 0;
    Value act = IO::io([&runs]() {
        ++runs;
        return I(7);
    });
    Value dIO =
        IOC::inst_MonadIO_Lifted(T::State::Strict::inst_MonadTrans_StateT_Strict(), IOC::inst_MonadIO_IO());
    Value m = IOC::liftIO(dIO, act);
    Value program = bind(IOC::MonadIO_Monad(dIO), m,
                         intFn([dIO](int64_t x) { return ret(IOC::MonadIO_Monad(dIO), I(x * 2)); }));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(showIntPair(IO::runIO(T::State::Shared::runStateT(program, I(1)))), "(14,1)");
    EXPECT_EQ(runs, 1);
}

}  // namespace
