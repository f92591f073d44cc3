// The monad laws and the agreement of each record's Functor and Applicative operations with its
// `>>=`, for every layered type over small computations, checked by running them.
#include <gtest/gtest.h>

#include "Control/Monad/Trans/Accum.h"
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

namespace {

using namespace trans_test;
namespace T = Control::Monad::Trans;
using VUX::Internal::Maybe::Just;
using VUX::Internal::Maybe::Nothing;

// One layered type: its Monad record, computations yielding Ints, two continuations from an Int
// to a computation, and how a computation is run and its outcome written.
struct LawCase {
    Value dMonad;
    std::vector<Value> computations;
    Value k, h;
    std::function<std::string(const Value&)> observe;
};

struct Named {
    const char* name;
    LawCase (*make)();
};

LawCase identityCase() {
    Value d = identity();
    return {d,
            {I(3), rts::delay([] { return I(4); })},
            intFn([](int64_t x) { return I(x + 1); }),
            intFn([](int64_t x) { return I(x * 10); }),
            [](const Value& m) { return show(showInt(), m); }};
}

LawCase maybeTCase() {
    Value d = T::Maybe::inst_Monad_MaybeT(identity());
    auto observe = [](const Value& m) {
        return show(Show::inst_Show_Maybe(showInt()), T::Maybe::runMaybeT(m));
    };
    return {d,
            {ret(d, I(2)), Nothing(), Just(I(5))},
            intFn([d](int64_t x) { return x % 2 == 0 ? ret(d, I(x + 1)) : Nothing(); }),
            intFn([d](int64_t x) { return ret(d, I(x * 10)); }),
            observe};
}

LawCase exceptTCase() {
    Value id = identity(), d = T::Except::inst_Monad_ExceptT(id);
    Value recovered = T::Except::catchE(id, T::Except::throwE(id, I(7)),
                                        intFn([d](int64_t e) { return ret(d, I(e + 1)); }));
    auto observe = [](const Value& m) {
        return show(Show::inst_Show_Either(showInt(), showInt()), T::Except::runExceptT(m));
    };
    return {d,
            {ret(d, I(2)), T::Except::throwE(id, I(7)), recovered},
            intFn([id, d](int64_t x) { return x > 3 ? T::Except::throwE(id, I(x)) : ret(d, I(x + 2)); }),
            intFn([d](int64_t x) { return ret(d, I(x * 10)); }),
            observe};
}

LawCase identityTCase() {
    Value dMaybe = VUX::Internal::Maybe::inst_Monad_Maybe();
    Value d = T::Identity::inst_Monad_IdentityT(dMaybe);
    return {
        d,
        {Just(I(1)), Nothing()},
        intFn([](int64_t x) { return x > 5 ? Nothing() : Just(I(x + 1)); }),
        intFn([](int64_t x) { return Just(I(x * 3)); }),
        [](const Value& m) { return show(Show::inst_Show_Maybe(showInt()), T::Identity::runIdentityT(m)); }};
}

LawCase readerTCase() {
    Value id = identity(), d = T::Reader::inst_Monad_ReaderT(id);
    Value twice = intFn([](int64_t r) { return I(r * 2); });
    return {
        d,
        {T::Reader::ask(id), T::Reader::asks(id, twice),
         T::Reader::local(intFn([](int64_t r) { return I(r + 1); }), T::Reader::ask(id))},
        intFn([id](int64_t x) { return T::Reader::reader(id, intFn([x](int64_t r) { return I(r + x); })); }),
        intFn([id, d, twice](int64_t x) {
            return bind(d, T::Reader::local(twice, T::Reader::ask(id)),
                        intFn([d, x](int64_t r) { return ret(d, I(r - x)); }));
        }),
        [](const Value& m) { return show(showInt(), T::Reader::runReader(m, I(10))); }};
}

// StateT over an inner monad `inner`, with the variant's Monad record; `run` turns the inner
// computation of the final pair into the pair.
LawCase stateTCase(Value inner, Value dMonad, std::function<Value(const Value&)> run) {
    Value d = dMonad;
    Value steps = T::State::Shared::state(
        inner, fn1([](const Value& s) { return pair(I(intv(s) * 2), I(intv(s) + 1)); }));
    return {d,
            {T::State::Shared::get(inner), steps,
             T::State::Shared::gets(inner, intFn([](int64_t s) { return I(s + 3); })),
             then(d, T::State::Shared::put(inner, I(5)), I(9))},
            intFn([inner](int64_t x) {
                return T::State::Shared::state(inner,
                                               intFn([x](int64_t s) { return pair(I(x + s), I(s * 2)); }));
            }),
            intFn([inner, d](int64_t x) {
                return then(d, T::State::Shared::modify(inner, intFn([x](int64_t s) { return I(s + x); })),
                            I(x * 3));
            }),
            [run](const Value& m) {
                return show(showPair(showInt(), showInt()), run(T::State::Shared::runStateT(m, I(1))));
            }};
}

LawCase stateTLazyCase() {
    return stateTCase(identity(), T::State::Lazy::inst_Monad_StateT_Lazy(identity()),
                      [](const Value& p) { return p; });
}
LawCase stateTStrictCase() {
    return stateTCase(identity(), T::State::Strict::inst_Monad_StateT_Strict(identity()),
                      [](const Value& p) { return p; });
}
LawCase stateTStrictIOCase() {
    Value io = VUX::Internal::IO::inst_Monad_IO();
    return stateTCase(io, T::State::Strict::inst_Monad_StateT_Strict(io),
                      [](const Value& act) { return VUX::Internal::IO::runIO(act); });
}

// WriterT (lazy or strict) over Identity with lists of Ints as output.
LawCase writerTCase(Value d) {
    Value id = identity();
    namespace W = T::Writer::Shared;
    return {d,
            {ret(d, I(1)), W::writer(id, pair(I(3), ints({3}))), then(d, W::tell(id, ints({4})), I(4)),
             T::Writer::Lazy::censor(id, snoc(0), W::writer(id, pair(I(2), ints({2}))))},
            intFn([id](int64_t x) { return W::writer(id, pair(I(x + 1), ints({x}))); }),
            intFn([id, d](int64_t x) { return then(d, W::tell(id, ints({x * 10})), I(x)); }),
            [](const Value& m) { return show(showPair(showInt(), showInts()), W::runWriter(m)); }};
}
LawCase writerTLazyCase() {
    return writerTCase(T::Writer::Lazy::inst_Monad_WriterT_Lazy(listMonoid(), identity()));
}
LawCase writerTStrictCase() {
    return writerTCase(T::Writer::Strict::inst_Monad_WriterT_Strict(listMonoid(), identity()));
}

LawCase writerTCPSCase() {
    Value id = identity(), w = listMonoid(), d = T::Writer::CPS::inst_Monad_WriterT_CPS(id);
    namespace W = T::Writer::CPS;
    return {d,
            {ret(d, I(1)), W::writer(w, id, pair(I(3), ints({3}))), then(d, W::tell(w, id, ints({4})), I(4)),
             W::censor(w, id, snoc(0), W::writer(w, id, pair(I(2), ints({2}))))},
            intFn([w, id](int64_t x) { return W::writer(w, id, pair(I(x + 1), ints({x}))); }),
            intFn([w, id, d](int64_t x) { return then(d, W::tell(w, id, ints({x * 10})), I(x)); }),
            [w](const Value& m) { return show(showPair(showInt(), showInts()), W::runWriter(w, m)); }};
}

// RWST (lazy or strict) over Identity: environment 10, state 1, lists of Ints as output.
LawCase rwsTCase(Value d) {
    Value id = identity(), w = listMonoid();
    namespace R = T::RWS::Shared;
    Value readAndTell = bind(
        d, R::ask(w, id), fn1([d, id](const Value& r) { return then(d, R::tell(id, ints({intv(r)})), r); }));
    return {d,
            {ret(d, I(1)), readAndTell, R::gets(w, id, intFn([](int64_t s) { return I(s + 5); }))},
            intFn([d, w, id](int64_t x) {
                return then(d, R::modify(w, id, intFn([x](int64_t s) { return I(s + x); })), I(x * 2));
            }),
            intFn([d, id](int64_t x) {
                return R::local(intFn([x](int64_t r) { return I(r + x); }),
                                bind(d, R::tell(id, ints({x})), fn1([id, d](const Value&) {
                                         return R::reader(listMonoid(), id, Base::id_closure.value());
                                     })));
            }),
            [](const Value& m) {
                return show(Show::inst_Show_Tuple3(showInt(), showInt(), showInts()),
                            R::runRWS(m, I(10), I(1)));
            }};
}
LawCase rwsTLazyCase() { return rwsTCase(T::RWS::Lazy::inst_Monad_RWST_Lazy(listMonoid(), identity())); }
LawCase rwsTStrictCase() {
    return rwsTCase(T::RWS::Strict::inst_Monad_RWST_Strict(listMonoid(), identity()));
}

LawCase rwsTCPSCase() {
    Value id = identity(), w = listMonoid(), d = T::RWS::CPS::inst_Monad_RWST_CPS(id);
    namespace R = T::RWS::CPS;
    Value readAndTell =
        bind(d, R::ask(id),
             fn1([d, id, w](const Value& r) { return then(d, R::tell(w, id, ints({intv(r)})), r); }));
    return {d,
            {ret(d, I(1)), readAndTell, R::gets(id, intFn([](int64_t s) { return I(s + 5); }))},
            intFn([d, id](int64_t x) {
                return then(d, R::modify(id, intFn([x](int64_t s) { return I(s + x); })), I(x * 2));
            }),
            intFn([d, id, w](int64_t x) {
                return R::local(
                    intFn([x](int64_t r) { return I(r + x); }),
                    bind(d, R::tell(w, id, ints({x})), fn1([id](const Value&) { return R::ask(id); })));
            }),
            [w](const Value& m) {
                return show(Show::inst_Show_Tuple3(showInt(), showInt(), showInts()),
                            R::runRWS(w, m, I(10), I(1)));
            }};
}

LawCase accumTCase() {
    Value id = identity(), w = listMonoid();
    Value d = T::Accum::inst_Monad_AccumT(w, Data::Functor::Identity::inst_Functor_Identity(), id);
    namespace A = T::Accum;
    return {d,
            {ret(d, I(1)), A::looks(w, id, lengthFn()), then(d, A::add(id, ints({1, 2})), I(2)),
             A::accum(id, fn1([](const Value& acc) {
                          return pair(I(VUX::Internal::List::length(acc)), ints({9}));
                      }))},
            intFn([d, id, w](int64_t x) {
                return bind(d, A::add(id, ints({x})),
                            fn1([id, w](const Value&) { return A::looks(w, id, lengthFn()); }));
            }),
            intFn([d, id](int64_t x) {
                return then(d, A::add(id, ints({x, x})), I(x + 1));
            }),
            [](const Value& m) { return show(showPair(showInt(), showInts()), A::runAccum(m, ints({0}))); }};
}

LawCase selectTCase() {
    Value d = T::Select::inst_Monad_SelectT(identity());
    // Choose whichever of x and x + 1 scores higher.
    auto better = [](int64_t x) {
        return T::Select::select(fn1([x](const Value& score) {
            return intv(rts::apply(score, I(x))) >= intv(rts::apply(score, I(x + 1))) ? I(x) : I(x + 1);
        }));
    };
    return {d,
            {ret(d, I(1)), better(2), better(5)},
            intFn(better),
            intFn([d](int64_t x) { return ret(d, I(x * 2)); }),
            [](const Value& m) {
                return show(showInt(),
                            T::Select::runSelect(m, intFn([](int64_t x) { return I((x * 7) % 5); })));
            }};
}

LawCase contTCase() {
    Value d = T::Cont::inst_Monad_ContT();
    // callCC (\esc -> esc 5 >> return 100) yields 5.
    Value escaped =
        T::Cont::callCC(fn1([d](const Value& esc) { return then(d, rts::apply(esc, I(5)), I(100)); }));
    return {d,
            {ret(d, I(3)), escaped},
            intFn([d](int64_t x) {
                return T::Cont::callCC(fn1([d, x](const Value& esc) {
                    return x > 4 ? then(d, rts::apply(esc, I(x * 2)), I(0)) : ret(d, I(x + 1));
                }));
            }),
            intFn([d](int64_t x) { return ret(d, I(x - 1)); }),
            [](const Value& m) {
                return show(showInt(), T::Cont::runCont(m, intFn([](int64_t x) { return I(x * 10); })));
            }};
}

const Named kCases[] = {
    {"Identity", identityCase},
    {"MaybeT", maybeTCase},
    {"ExceptT", exceptTCase},
    {"IdentityT", identityTCase},
    {"ReaderT", readerTCase},
    {"StateTLazy", stateTLazyCase},
    {"StateTStrict", stateTStrictCase},
    {"StateTStrictOverIO", stateTStrictIOCase},
    {"WriterTLazy", writerTLazyCase},
    {"WriterTStrict", writerTStrictCase},
    {"WriterTCPS", writerTCPSCase},
    {"RWSTLazy", rwsTLazyCase},
    {"RWSTStrict", rwsTStrictCase},
    {"RWSTCPS", rwsTCPSCase},
    {"AccumT", accumTCase},
    {"SelectT", selectTCase},
    {"ContT", contTCase},
};

class MonadLaws : public ::testing::TestWithParam<Named> {};

TEST_P(MonadLaws, HoldWhenRun) {
    LawCase c = GetParam().make();
    const Value& d = c.dMonad;
    Value pure = Base::return_(d);
    auto same = [&](const Value& a, const Value& b) { EXPECT_EQ(c.observe(a), c.observe(b)); };
    for (int64_t a : {1, 6}) {
        SCOPED_TRACE(a);
        same(bind(d, ret(d, I(a)), c.k), rts::apply(c.k, I(a)));
    }
    Value kThenH = fn1([&c, d](const Value& x) { return bind(d, rts::apply(c.k, x), c.h); });
    for (size_t i = 0; i < c.computations.size(); ++i) {
        SCOPED_TRACE(i);
        const Value& m = c.computations[i];
        same(bind(d, m, pure), m);
        same(bind(d, bind(d, m, c.k), c.h), bind(d, m, kThenH));
    }
}

TEST_P(MonadLaws, FunctorAndApplicativeAgreeWithBind) {
    LawCase c = GetParam().make();
    const Value& d = c.dMonad;
    const Value& dA = Base::Monad_Applicative(d);
    const Value& dF = Base::Applicative_Functor(dA);
    Value plus1 = intFn([](int64_t x) { return I(x + 1); });
    Value minus = fn1([](const Value& x) { return intFn([x](int64_t y) { return I(intv(x) - y); }); });
    auto same = [&](const Value& a, const Value& b) { EXPECT_EQ(c.observe(a), c.observe(b)); };
    for (size_t i = 0; i < c.computations.size(); ++i) {
        SCOPED_TRACE(i);
        const Value& m = c.computations[i];
        const Value& n = c.computations[(i + 1) % c.computations.size()];
        Value mapped = bind(d, m, fn1([d, plus1](const Value& x) { return ret(d, rts::apply(plus1, x)); }));
        same(Base::fmap(dF, plus1, m), mapped);
        same(rts::apply(Base::op_lt_dollar(dF), I(42), m), bind(d, m, Base::const_(ret(d, I(42)))));
        same(rts::apply(Base::op_lt_star_gt(dA), ret(d, plus1), m), mapped);
        Value both = bind(d, m, fn1([d, n, minus](const Value& x) {
                              return bind(d, n, fn1([d, x, minus](const Value& y) {
                                              return ret(d, rts::apply(minus, x, y));
                                          }));
                          }));
        same(rts::apply(Base::liftA2(dA), minus, m, n), both);
        same(rts::apply(Base::op_star_gt(dA), m, n), bind(d, m, Base::const_(n)));
        same(Base::op_gt_gt(d, m, n), bind(d, m, Base::const_(n)));
        same(rts::apply(Base::op_lt_star(dA), m, n),
             bind(d, m, fn1([d, n](const Value& x) { return bind(d, n, Base::const_(ret(d, x))); })));
    }
}

INSTANTIATE_TEST_SUITE_P(LayeredTypes, MonadLaws, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Named>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
