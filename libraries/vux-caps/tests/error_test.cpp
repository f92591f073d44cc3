// The error capability: the native instances (what IO catches and the call stack it raises with,
// what Maybe and Either force), what every lifting instance's handler starts from, and the
// operations built on the capability.
#include "CapsTesting.h"
#include "Control/Monad/Error/Class.h"
#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/State/Shared.h"
#include "Control/Monad/Trans/Writer/Shared.h"
#include "Data/Either.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::Error::Class;
using vux::testing::failing;
namespace Either = Data::Either;
namespace Maybe = VUX::Internal::Maybe;
namespace IOError = VUX::Internal::IOError;
namespace Exc = VUX::Internal::Exception;

Value eitherRecord() { return inst_MonadError_Either(); }
Value left(const Value& v) {
    EXPECT_EQ(rts::tag_of(rts::force(v)), Either::Left_tag);
    return component(v, 0);
}
Value right(const Value& v) {
    EXPECT_EQ(rts::tag_of(rts::force(v)), Either::Right_tag);
    return component(v, 0);
}
Value raise(const Value& d, Value e) { return rts::apply(throwError(d), std::move(e)); }
Value pureIn(const Value& d, Value a) { return ret(MonadError_Monad(d), std::move(a)); }
Value catching(const Value& d, Value x, Value h) {
    return rts::apply(catchError(d), std::move(x), std::move(h));
}
// The handler e -> return (e * 10).
Value timesTen(const Value& d) {
    return fn1([d](const Value& e) { return pureIn(d, I(intv(e) * 10)); });
}

// ---------------------------------------------------------------------------------------------
// Native instances

TEST(Either, ThrowKeepsTheErrorUnevaluatedAndCatchRunsTheHandlerOnLeftOnly) {
    Value d = eitherRecord();
    EXPECT_EQ(rts::tag_of(rts::force(raise(d, failing("e")))), Either::Left_tag);
    Value r = Either::Right(I(1));
    EXPECT_TRUE(rts::same(rts::force(catching(d, r, failing("handler"))), rts::force(r)));
    EXPECT_EQ(intv(right(catching(d, Either::Left(I(4)), timesTen(d)))), 40);
}

TEST(Maybe, ThrowForcesItsUnitAndCatchGivesTheHandlerUnit) {
    Value d = inst_MonadError_Maybe();
    expectFailure([&] { rts::force(raise(d, failing("unit"))); }, "unit");
    EXPECT_TRUE(Maybe::isNothing(rts::force(raise(d, unit()))));
    Value handled = catching(d, Maybe::Nothing(), fn1([](const Value& u) {
                                 EXPECT_TRUE(isUnit(u));
                                 return Maybe::Just(I(7));
                             }));
    EXPECT_EQ(intv(component(handled, 0)), 7);
    Value just = Maybe::Just(I(1));
    EXPECT_TRUE(rts::same(rts::force(catching(d, just, failing("handler"))), rts::force(just)));
}

TEST(ExceptT, ThrowIsReturnOfLeftAndCatchReplacesALeft) {
    Value d = inst_MonadError_ExceptT(identity());
    EXPECT_EQ(intv(left(raise(d, I(3)))), 3);
    EXPECT_EQ(intv(right(catching(d, raise(d, I(3)), timesTen(d)))), 30);
    EXPECT_EQ(intv(right(catching(d, pureIn(d, I(2)), failing("handler")))), 2);
}

Value userError(const char* text) { return IOError::userError(vux::testing::str(text)); }

TEST(IO, CatchesIOExceptionsAlone) {
    Value d = inst_MonadError_IO();
    Value caught = VUX::Internal::IO::runIO(catching(
        d, raise(d, userError("boom")),
        fn1([](const Value& e) { return VUX::Internal::IO::returnIO(IOError::ioeGetErrorString(e)); })));
    EXPECT_EQ(vux::testing::to_string(caught), "boom");

    Value other = Exc::throwIO(Exc::inst_Exception_ErrorCall(), Exc::ErrorCall(vux::testing::str("other")));
    try {
        VUX::Internal::IO::runIO(catching(d, other, failing("handler")));
        ADD_FAILURE() << "the ErrorCall was caught";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(Exc::displaySomeException(e.value()), "other");
    }
}

TEST(IO, ThrowRaisesWithTheOneEntryOfItsCallSite) {
    Value d = inst_MonadError_IO();
    try {
        VUX::Internal::IO::runIO(raise(d, userError("boom")));
        ADD_FAILURE() << "nothing raised";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(Exc::displaySomeException(e.value()),
                  "user error (boom)\nCallStack (from HasCallStack):\n"
                  "  ioError, called at libraries/vux-caps/Control/Monad/Error/Class:126:18 in "
                  "vux-caps-2.3.1-0868:Control.Monad.Error.Class");
    }
}

// ---------------------------------------------------------------------------------------------
// Lifting instances, over ExceptT Int Identity (the inner computation: Either Int r)

// A layered type with its record and how to run a computation to the inner result, given the
// starting value the layer carries (environment, state or output so far), checking what it keeps.
struct Layered {
    std::string name;
    Value record;
    std::function<Value(const Value& c)> run;  // to the inner Either's payload (Right unwrapped)
};

Value inner() { return inst_MonadError_ExceptT(identity()); }

std::vector<Layered> layers() {
    Value d = inner();
    auto same = [](const Value& c) { return c; };
    auto firstOf = [](const Value& p) { return component(p, 0); };
    auto at = [](Value arg) { return [arg](const Value& c) { return rts::apply(c, arg); }; };
    auto then = [](std::function<Value(const Value&)> start, std::function<Value(const Value&)> finish) {
        return [start, finish](const Value& c) -> Value {
            Value r = start(c);
            if (rts::tag_of(rts::force(r)) == Either::Left_tag) return r;
            return Either::Right(finish(right(r)));
        };
    };
    return {
        {"IdentityT", inst_MonadError_IdentityT(d), same},
        {"MaybeT", inst_MonadError_MaybeT(d), then(same, unwrapping(Maybe::Just_tag))},
        {"ReaderT", inst_MonadError_ReaderT(d), at(I(0))},
        {"StateT.Lazy", inst_MonadError_StateT_Lazy(d), then(at(I(0)), firstOf)},
        {"StateT.Strict", inst_MonadError_StateT_Strict(d), then(at(I(0)), firstOf)},
        {"WriterT.CPS", inst_MonadError_WriterT_CPS(listMonoid(), d), then(at(ints({})), firstOf)},
        {"WriterT.Lazy", inst_MonadError_WriterT_Lazy(listMonoid(), d), then(same, firstOf)},
        {"WriterT.Strict", inst_MonadError_WriterT_Strict(listMonoid(), d), then(same, firstOf)},
        {"AccumT", inst_MonadError_AccumT(listMonoid(), d), then(at(ints({})), firstOf)},
        {"RWST.CPS", inst_MonadError_RWST_CPS(listMonoid(), d),
         then([](const Value& c) { return rts::apply(c, I(0), I(0), ints({})); }, firstOf)},
        {"RWST.Lazy", inst_MonadError_RWST_Lazy(listMonoid(), d),
         then([](const Value& c) { return rts::apply(c, I(0), I(0)); }, firstOf)},
        {"RWST.Strict", inst_MonadError_RWST_Strict(listMonoid(), d),
         then([](const Value& c) { return rts::apply(c, I(0), I(0)); }, firstOf)},
    };
}

TEST(Lifted, ThrowAndCatchThroughEveryLayer) {
    for (const auto& l : layers()) {
        SCOPED_TRACE(l.name);
        Value d = l.record;
        EXPECT_EQ(intv(left(l.run(raise(d, I(5))))), 5);
        EXPECT_EQ(intv(right(l.run(catching(d, raise(d, I(5)), timesTen(d))))), 50);
        EXPECT_EQ(intv(right(l.run(catching(d, pureIn(d, I(2)), failing("handler"))))), 2);
    }
}

TEST(Lifted, TheHandlerStartsFromTheStateAtTheStartOfTheCaughtComputation) {
    Value d = inst_MonadError_StateT_Lazy(inner());
    Value dInner = identity();
    Value dM = T::Except::inst_Monad_ExceptT(dInner);
    Value changedThenFails = bind(MonadError_Monad(d), T::State::Shared::put(dM, I(9)),
                                  fn1([d](const Value&) { return raise(d, I(1)); }));
    Value getState = T::State::Shared::get(dM);
    Value handler = fn1([getState](const Value&) { return getState; });
    Value p = right(rts::apply(catching(d, changedThenFails, handler), I(3)));
    EXPECT_EQ(intv(component(p, 0)), 3);
    EXPECT_EQ(intv(component(p, 1)), 3);
}

TEST(Lifted, MaybeTNothingIsAResultNotAnError) {
    Value d = inst_MonadError_MaybeT(inner());
    Value nothing = ret(T::Except::inst_Monad_ExceptT(identity()), Maybe::Nothing());
    EXPECT_TRUE(Maybe::isNothing(rts::force(right(catching(d, nothing, failing("handler"))))));
}

TEST(Lifted, ReaderTHandlerSeesTheSameEnvironment) {
    Value d = inst_MonadError_ReaderT(inner());
    Value dM = T::Except::inst_Monad_ExceptT(identity());
    Value handler = fn1([dM](const Value&) { return fn1([dM](const Value& r) { return ret(dM, r); }); });
    EXPECT_EQ(intv(right(rts::apply(catching(d, raise(d, I(1)), handler), I(42)))), 42);
}

// ---------------------------------------------------------------------------------------------
// Operations, over Either Int

TEST(Operations, LiftTryWithHandleMapModify) {
    Value d = eitherRecord();
    EXPECT_EQ(intv(left(liftEither(d, Either::Left(I(1))))), 1);
    EXPECT_EQ(intv(right(liftEither(d, Either::Right(I(2))))), 2);

    EXPECT_EQ(intv(right(right(tryError(d, Either::Right(I(3)))))), 3);
    EXPECT_EQ(intv(left(right(tryError(d, Either::Left(I(4)))))), 4);

    EXPECT_EQ(intv(right(withError(d, failing("f"), Either::Right(I(5))))), 5);
    EXPECT_EQ(intv(left(withError(d, times(3), Either::Left(I(5))))), 15);

    EXPECT_EQ(intv(right(handleError(d, timesTen(d), Either::Left(I(6))))), 60);

    Value idFn = fn1([](const Value& x) { return x; });
    EXPECT_EQ(intv(left(mapError(d, d, idFn, Either::Left(I(7))))), 7);
    EXPECT_EQ(intv(right(mapError(d, d, idFn, Either::Right(I(8))))), 8);

    // An ExceptT over Either: its Left is converted, the outer Left passes untouched.
    EXPECT_EQ(intv(left(modifyError(d, plus(100), Either::Right(Either::Left(I(1)))))), 101);
    EXPECT_EQ(intv(right(modifyError(d, failing("f"), Either::Right(Either::Right(I(2)))))), 2);
    EXPECT_EQ(intv(left(modifyError(d, failing("f"), Either::Left(I(9))))), 9);
}

}  // namespace
