// The accumulation capability: the native AccumT over Identity, the defaults and looks against it,
// what every derived instance and LiftingAccum keep of their layer, and what the records and
// operations leave unevaluated.
#include "Control/Monad/Accum.h"
#include "CapsTesting.h"
#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Cont.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Shared.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::Accum;
using vux::testing::failing;

Value native() { return inst_MonadAccum_AccumT(listMonoid()); }
// Runs an AccumT Identity computation from the accumulation [0]: (result, what it added).
std::pair<Value, Value> runAccum(const Value& m) {
    Value p = rts::apply(m, ints({0}));
    return {component(p, 0), component(p, 1)};
}
Value addOf(const Value& d, std::initializer_list<int64_t> xs) { return rts::apply(add(d), ints(xs)); }
// add [5] >> look
Value addThenLook(const Value& d) { return Base::op_gt_gt(MonadAccum_Monad(d), addOf(d, {5}), look(d)); }

TEST(Native, LookAddAndAccum) {
    Value d = native();
    auto [seen, added] = runAccum(addThenLook(d));
    EXPECT_EQ(intList(seen), (std::vector<int64_t>{0, 5}));
    EXPECT_EQ(intList(added), std::vector<int64_t>{5});
    // add examines neither the value nor the accumulation; accum f is f of the accumulation.
    Value p = rts::apply(rts::apply(add(d), failing("value")), failing("accumulation"));
    EXPECT_TRUE(isUnit(component(p, 0)));
    Value stepped = rts::apply(
        rts::apply(accum(d), fn1([](const Value& acc) { return pair(acc, ints({9})); })), ints({1}));
    EXPECT_EQ(intList(component(stepped, 0)), std::vector<int64_t>{1});
    EXPECT_EQ(intList(component(stepped, 1)), std::vector<int64_t>{9});
    EXPECT_NO_THROW(inst_MonadAccum_AccumT(failing("monoid")));
}

TEST(Defaults, BehaveAsTheOperationsTheyStandFor) {
    Value d = native();
    auto [seen, added] = runAccum(default_look(d));
    EXPECT_EQ(intList(seen), std::vector<int64_t>{0});
    EXPECT_EQ(intList(added), std::vector<int64_t>{});
    auto [u, addedByAdd] = runAccum(default_add(d, ints({3})));
    EXPECT_TRUE(isUnit(u));
    EXPECT_EQ(intList(addedByAdd), std::vector<int64_t>{3});
    Value step = fn1([](const Value& acc) { return pair(I(intList(acc).size()), ints({4})); });
    auto [n, addedByAccum] = runAccum(default_accum(d, step));
    EXPECT_EQ(intv(n), 1);
    EXPECT_EQ(intList(addedByAccum), std::vector<int64_t>{4});
    auto [length, addedByLooks] =
        runAccum(looks(d, fn1([](const Value& w) { return I(intList(w).size()); })));
    EXPECT_EQ(intv(length), 1);
    EXPECT_EQ(intList(addedByLooks), std::vector<int64_t>{});
}

TEST(Defaults, AccumAppliesTheStepOnlyWhenAComponentIsDemanded) {
    auto applied = std::make_shared<int>(0);
    Value step = fn1([applied](const Value& acc) {
        ++*applied;
        return pair(I(1), ints({2}));
    });
    Value p = rts::apply(default_accum(native(), step), ints({0}));
    rts::force(p);
    EXPECT_EQ(*applied, 0);
    EXPECT_EQ(intv(component(p, 0)), 1);
    EXPECT_EQ(*applied, 1);
}

// ---------------------------------------------------------------------------------------------
// Derived instances over AccumT Identity: add [5] >> look through each layer, run down to the
// AccumT computation; the layer's own state, environment or output checked on the way.

struct Layered {
    std::string name;
    Value record;
    std::function<Value(const Value&)> toAccum;  // the layered computation to an AccumT one
    std::function<Value(const Value&)> result;   // the AccumT result to the looked value
};

std::vector<Layered> layers() {
    Value d = native();
    Value dInner = MonadAccum_Monad(d);
    auto same = [](const Value& c) { return c; };
    auto at = [](Value arg) { return [arg](const Value& c) { return rts::apply(c, arg); }; };
    auto keeping = [](Value expected) {
        return [expected](const Value& p) {
            EXPECT_EQ(intv(component(p, 1)), intv(expected));
            return component(p, 0);
        };
    };
    auto noOutput = [](const Value& p) {
        EXPECT_EQ(intList(component(p, 1)), std::vector<int64_t>{});
        return component(p, 0);
    };
    return {
        {"MaybeT", inst_MonadAccum_MaybeT(d), same, unwrapping(VUX::Internal::Maybe::Just_tag)},
        {"ExceptT", inst_MonadAccum_ExceptT(d), same, unwrapping(Data::Either::Right_tag)},
        {"IdentityT", inst_MonadAccum_IdentityT(d), same, [](const Value& r) { return r; }},
        {"ContT", inst_MonadAccum_ContT(d),
         [dInner](const Value& c) { return T::Cont::evalContT(dInner, c); },
         [](const Value& r) { return r; }},
        {"ReaderT", inst_MonadAccum_ReaderT(d), at(failing("environment")), [](const Value& r) { return r; }},
        {"SelectT", inst_MonadAccum_SelectT(d), at(failing("selection")), [](const Value& r) { return r; }},
        {"StateT.Lazy", inst_MonadAccum_StateT_Lazy(d), at(I(3)), keeping(I(3))},
        {"StateT.Strict", inst_MonadAccum_StateT_Strict(d), at(I(3)), keeping(I(3))},
        {"WriterT.Lazy", inst_MonadAccum_WriterT_Lazy(d, listMonoid()), same, noOutput},
        {"WriterT.Strict", inst_MonadAccum_WriterT_Strict(d, listMonoid()), same, noOutput},
        {"WriterT.CPS", inst_MonadAccum_WriterT_CPS(d),
         [](const Value& c) { return T::Writer::CPS::runWriterT(listMonoid(), c); }, noOutput},
        {"RWST.Lazy", inst_MonadAccum_RWST_Lazy(d, listMonoid()),
         [](const Value& c) { return rts::apply(c, failing("environment"), I(3)); }, keeping(I(3))},
        {"RWST.Strict", inst_MonadAccum_RWST_Strict(d, listMonoid()),
         [](const Value& c) { return rts::apply(c, failing("environment"), I(3)); }, keeping(I(3))},
        {"RWST.CPS", inst_MonadAccum_RWST_CPS(d),
         [](const Value& c) { return T::RWS::CPS::runRWST(listMonoid(), c, failing("environment"), I(3)); },
         keeping(I(3))},
    };
}

TEST(Derived, EveryLayerLooksAtWhatItAdded) {
    for (const auto& l : layers()) {
        SCOPED_TRACE(l.name);
        auto [r, added] = runAccum(l.toAccum(addThenLook(l.record)));
        Value seen = l.result(r);
        EXPECT_EQ(intList(seen), (std::vector<int64_t>{0, 5}));
        EXPECT_EQ(intList(added), std::vector<int64_t>{5});
    }
}

TEST(Derived, TheRecordEvaluatesTheInnerRecordAndItsMonoidOnly) {
    expectFailure([] { inst_MonadAccum_StateT_Lazy(failing("inner record")); }, "inner record");
    Value partial =
        C_MonadAccum(listMonoid(), failing("monad"), failing("look"), failing("add"), failing("accum"));
    Value d = inst_MonadAccum_WriterT_Lazy(partial, listMonoid());
    EXPECT_TRUE(rts::same(MonadAccum_Monoid(d), rts::force(listMonoid())));
}

TEST(LiftingAccum, LiftsThroughTheGivenMonadTrans) {
    Value d = native();
    Value dT = T::Writer::Shared::monadTransRecord(listMonoid(), T::Internal::Match::Lazy);
    Value lifted = inst_MonadAccum_LiftingAccum(dT, T::Class::monadOf(dT, MonadAccum_Monad(d)), d);
    auto [p, added] = runAccum(addThenLook(lifted));
    EXPECT_EQ(intList(component(p, 0)), (std::vector<int64_t>{0, 5}));
    EXPECT_EQ(intList(component(p, 1)), std::vector<int64_t>{});
    EXPECT_EQ(intList(added), std::vector<int64_t>{5});
}

}  // namespace
