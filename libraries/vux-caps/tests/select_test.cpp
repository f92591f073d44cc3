// The selection capability: the native SelectT over Identity, what every lifted instance keeps
// of its layer, and LiftingSelect.
#include "Control/Monad/Select.h"
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
using namespace Control::Monad::Select;
using vux::testing::failing;

// The selection function that scores the candidate 10 and chooses that score plus 1.
Value scoreTenPlusOne() {
    return fn1([](const Value& score) { return I(intv(rts::apply(score, I(10))) + 1); });
}
// Runs a SelectT Identity computation with the scoring (+ 5).
Value runSelect(const Value& m) { return rts::apply(m, plus(5)); }
// Runs one whose result is wrapped by a layer with the scoring that gives every candidate 5.
Value runSelectConstant(const Value& m) { return rts::apply(m, Base::const_(I(5))); }

TEST(Native, SelectChoosesWithTheScoring) {
    Value d = inst_MonadSelect_SelectT();
    EXPECT_TRUE(rts::same(d, inst_MonadSelect_SelectT()));
    EXPECT_EQ(intv(runSelect(rts::apply(select(d), scoreTenPlusOne()))), 16);
}

struct Layered {
    std::string name;
    Value record;
    std::function<Value(const Value&)> toSelect;  // the layered computation to a SelectT one
    std::function<Value(const Value&)> result;    // the SelectT result to the chosen candidate
};

std::vector<Layered> layers() {
    Value d = inst_MonadSelect_SelectT();
    Value dInner = MonadSelect_Monad(d);
    auto same = [](const Value& c) { return c; };
    auto plain = [](const Value& r) { return r; };
    auto at = [](Value arg) { return [arg](const Value& c) { return rts::apply(c, arg); }; };
    auto keeping = [](std::function<void(const Value&)> check) {
        return [check](const Value& p) {
            check(p);
            return component(p, 0);
        };
    };
    auto stateIs3 = [](const Value& p) { EXPECT_EQ(intv(component(p, 1)), 3); };
    auto nothingWritten = [](size_t i) {
        return [i](const Value& p) { EXPECT_EQ(intList(component(p, i)), std::vector<int64_t>{}); };
    };
    auto outputKept = [](size_t i) {
        return [i](const Value& p) { EXPECT_EQ(intList(component(p, i)), std::vector<int64_t>{7}); };
    };
    return {
        {"MaybeT", inst_MonadSelect_MaybeT(d), same, unwrapping(VUX::Internal::Maybe::Just_tag)},
        {"ExceptT", inst_MonadSelect_ExceptT(d), same, unwrapping(Data::Either::Right_tag)},
        {"IdentityT", inst_MonadSelect_IdentityT(d), same, plain},
        {"ContT", inst_MonadSelect_ContT(d),
         [dInner](const Value& c) { return T::Cont::evalContT(dInner, c); }, plain},
        {"ReaderT", inst_MonadSelect_ReaderT(d), at(failing("environment")), plain},
        {"StateT.Lazy", inst_MonadSelect_StateT_Lazy(d), at(I(3)), keeping(stateIs3)},
        {"StateT.Strict", inst_MonadSelect_StateT_Strict(d), at(I(3)), keeping(stateIs3)},
        {"WriterT.CPS", inst_MonadSelect_WriterT_CPS(d), at(ints({7})), keeping(outputKept(1))},
        {"WriterT.Lazy", inst_MonadSelect_WriterT_Lazy(listMonoid(), d), same, keeping(nothingWritten(1))},
        {"WriterT.Strict", inst_MonadSelect_WriterT_Strict(listMonoid(), d), same,
         keeping(nothingWritten(1))},
        {"RWST.CPS", inst_MonadSelect_RWST_CPS(d),
         [](const Value& c) { return rts::apply(c, failing("environment"), I(3), ints({7})); },
         keeping([stateIs3, outputKept](const Value& t) {
             stateIs3(t);
             outputKept(2)(t);
         })},
        {"RWST.Lazy", inst_MonadSelect_RWST_Lazy(listMonoid(), d),
         [](const Value& c) { return rts::apply(c, failing("environment"), I(3)); },
         keeping([stateIs3, nothingWritten](const Value& t) {
             stateIs3(t);
             nothingWritten(2)(t);
         })},
        {"RWST.Strict", inst_MonadSelect_RWST_Strict(listMonoid(), d),
         [](const Value& c) { return rts::apply(c, failing("environment"), I(3)); },
         keeping([stateIs3, nothingWritten](const Value& t) {
             stateIs3(t);
             nothingWritten(2)(t);
         })},
        {"AccumT", inst_MonadSelect_AccumT(listMonoid(), d), at(failing("accumulation")),
         keeping(nothingWritten(1))},
    };
}

TEST(Lifted, EveryLayerYieldsTheInnerChoiceAndKeepsItsOwnValues) {
    for (const auto& l : layers()) {
        SCOPED_TRACE(l.name);
        Value chosen =
            l.result(runSelectConstant(l.toSelect(rts::apply(select(l.record), scoreTenPlusOne()))));
        EXPECT_EQ(intv(chosen), 6);
    }
}

TEST(LiftingSelect, IsTheLiftOfTheInnerSelect) {
    Value d = inst_MonadSelect_SelectT();
    Value dT = T::Writer::Shared::monadTransRecord(listMonoid(), T::Internal::Match::Lazy);
    Value dTM = T::Class::monadOf(dT, MonadSelect_Monad(d));
    Value lifted = inst_MonadSelect_LiftingSelect(dT, d, dTM);
    Value viaRecord = runSelectConstant(rts::apply(select(lifted), scoreTenPlusOne()));
    Value viaLift =
        runSelectConstant(T::Class::lift(dT, MonadSelect_Monad(d), rts::apply(select(d), scoreTenPlusOne())));
    EXPECT_EQ(intv(component(viaRecord, 0)), 6);
    EXPECT_EQ(intv(component(viaLift, 0)), 6);
    EXPECT_EQ(intList(component(viaRecord, 1)), std::vector<int64_t>{});
    // The wrapper's Monad record passes t m's operations on.
    Value m = Base::op_gt_gt(MonadSelect_Monad(lifted), ret(dTM, I(1)), ret(dTM, I(2)));
    EXPECT_EQ(intv(component(runSelectConstant(m), 0)), 2);
}

}  // namespace
