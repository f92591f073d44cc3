// The combined capability: RWST's records hold the three capabilities of the variant, built with
// the combined record; the lifting records take the inner record's apart on first use.
#include "CapsTesting.h"
#include "Control/Monad/RWS/Class.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::RWS::Class;
namespace R = Control::Monad::Reader::Class;
namespace S = Control::Monad::State::Class;
namespace W = Control::Monad::Writer::Class;
using vux::testing::failing;

// ask >>= \r -> get >>= \s -> put (r + s) >> tell [s] >> return r, through the three component
// records of d.
Value program(const Value& d) {
    Value reader = MonadRWS_MonadReader(d), writer = MonadRWS_MonadWriter(d), state = MonadRWS_MonadState(d);
    Value m = S::MonadState_Monad(state);
    return bind(m, R::ask(reader), fn1([=](const Value& r) {
                    return bind(m, S::get(state), fn1([=](const Value& s) {
                                    Value put = rts::apply(S::put(state), I(intv(r) + intv(s)));
                                    Value tell = rts::apply(W::tell(writer), ints({intv(s)}));
                                    return Base::op_gt_gt(m, put, then(m, tell, r));
                                }));
                }));
}

// The triple (result, state, output) as text.
std::string describe(const Value& t) {
    return std::to_string(intv(component(t, 0))) + " " + std::to_string(intv(component(t, 1))) + " " +
           show(showInts(), component(t, 2));
}

struct Variant {
    std::string name;
    Value record;
    std::function<Value(const Value& c)> run;  // from environment 10, state 3
};

std::vector<Variant> variants() {
    auto direct = [](const Value& c) { return rts::apply(c, I(10), I(3)); };
    return {
        {"CPS", inst_MonadRWS_RWST_CPS(listMonoid(), identity()),
         [](const Value& c) { return T::RWS::CPS::runRWST(listMonoid(), c, I(10), I(3)); }},
        {"Lazy", inst_MonadRWS_RWST_Lazy(listMonoid(), identity()), direct},
        {"Strict", inst_MonadRWS_RWST_Strict(listMonoid(), identity()), direct},
    };
}

TEST(MonadRWS, RWSTHoldsTheVariantsThreeRecords) {
    for (const auto& v : variants()) {
        SCOPED_TRACE(v.name);
        const Value& d = rts::force(v.record);
        EXPECT_TRUE(rts::same(rts::force(MonadRWS_Monoid(d)), rts::force(listMonoid())));
        for (size_t f :
             {C_MonadRWS_class::MonadReader, C_MonadRWS_class::MonadWriter, C_MonadRWS_class::MonadState})
            EXPECT_TRUE(rts::is_evaluated(rts::field(d, f)));
        EXPECT_EQ(describe(v.run(program(d))), "10 13 [3]");
    }
}

TEST(MonadRWS, TheLiftingRecordsBuildTheirComponentsOnFirstUse) {
    Value inner = inst_MonadRWS_RWST_Lazy(listMonoid(), identity());
    struct Case {
        std::string name;
        Value record;
        std::function<Value(const Value&)> unwrap;
    };
    auto tagged = [](uint8_t tag) {
        return [tag](const Value& t) {
            EXPECT_EQ(rts::tag_of(rts::force(component(t, 0))), tag);
            return T::Internal::Tuple3(component(component(t, 0), 0), component(t, 1), component(t, 2));
        };
    };
    for (const auto& c :
         {Case{"ExceptT", inst_MonadRWS_ExceptT(inner), tagged(Data::Either::Right_tag)},
          Case{"IdentityT", inst_MonadRWS_IdentityT(inner), [](const Value& t) { return t; }},
          Case{"MaybeT", inst_MonadRWS_MaybeT(inner), tagged(VUX::Internal::Maybe::Just_tag)}}) {
        SCOPED_TRACE(c.name);
        const Value& d = rts::force(c.record);
        EXPECT_TRUE(rts::same(rts::force(MonadRWS_Monoid(d)), rts::force(MonadRWS_Monoid(inner))));
        for (size_t f :
             {C_MonadRWS_class::MonadReader, C_MonadRWS_class::MonadWriter, C_MonadRWS_class::MonadState})
            EXPECT_FALSE(rts::is_evaluated(rts::field(d, f)));
        EXPECT_TRUE(rts::same(rts::force(MonadRWS_MonadWriter(d)), rts::force(MonadRWS_MonadWriter(d))));
        EXPECT_EQ(describe(c.unwrap(rts::apply(program(d), I(10), I(3)))), "10 13 [3]");
    }
    // Components that fail matter only when selected; a failing inner record fails the build.
    Value broken = C_MonadRWS(listMonoid(), failing("reader"), failing("writer"), failing("state"));
    Value lifted = inst_MonadRWS_MaybeT(broken);
    EXPECT_NO_THROW(rts::force(lifted));
    expectFailure([&] { rts::force(MonadRWS_MonadWriter(lifted)); }, "writer");
    expectFailure([] { inst_MonadRWS_ExceptT(failing("inner record")); }, "inner record");
}

}  // namespace
