// The state capability: every instance runs the operations to the same results, with what each
// layer does to its own environment, output or accumulated value; the defaults; what the records
// compute when built and what the operations force.
#include "CapsTesting.h"
#include "Control/Monad/State/Class.h"
#include "Control/Monad/Trans/Cont.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/State/Lazy.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::State::Class;
using vux::testing::failing;

// A layered type with its MonadState record and how to run one of its computations from state
// s0 to (result, final state), checking on the way what the layer adds.
struct Layered {
    std::string name;
    Value record;
    std::function<std::pair<Value, Value>(const Value& c, const Value& s0)> run;
};

// The inner type of the lifted rows: lazy StateT over Identity.
Value innerMonad() { return T::State::Lazy::inst_Monad_StateT_Lazy(identity()); }
std::pair<Value, Value> runState(const Value& c, const Value& s0) {
    Value p = rts::apply(c, s0);
    return {component(p, 0), component(p, 1)};
}
// Runs the inner computation, whose result is the layer's result form, and takes it apart.
std::pair<Value, Value> runInner(const Value& x, const Value& s0,
                                 const std::function<Value(const Value&)>& unwrap) {
    auto [r, s] = runState(x, s0);
    return {unwrap(r), s};
}
// The result of a writer-like layer: the pair (a, w) with w as expected.
std::function<Value(const Value&)> withOutput(std::vector<int64_t> expected) {
    return [expected](const Value& p) {
        EXPECT_EQ(intList(component(p, 1)), expected);
        return component(p, 0);
    };
}

std::vector<Layered> layers() {
    using namespace Control::Monad::Trans;
    Value dInner = inst_MonadState_StateT_Lazy(identity());
    Value w0 = ints({7});
    auto lifted = [&](std::string name, Value record, std::function<Value(const Value&)> start,
                      std::function<Value(const Value&)> unwrap) {
        return Layered{name, std::move(record), [start, unwrap](const Value& c, const Value& s0) {
                           return runInner(start(c), s0, unwrap);
                       }};
    };
    auto same = [](const Value& c) { return c; };
    auto plain = [](const Value& r) { return r; };
    return {
        {"StateT.Lazy", inst_MonadState_StateT_Lazy(identity()), runState},
        {"StateT.Strict", inst_MonadState_StateT_Strict(identity()), runState},
        {"RWST.CPS", inst_MonadState_RWST_CPS(identity(), listMonoid()),
         [w0](const Value& c, const Value& s0) {
             Value t = rts::apply(c, failing("environment"), s0, w0);
             EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{7});  // the output so far, unchanged
             return std::pair{component(t, 0), component(t, 1)};
         }},
        {"RWST.Lazy", inst_MonadState_RWST_Lazy(identity(), listMonoid()),
         [](const Value& c, const Value& s0) {
             Value t = rts::apply(c, failing("environment"), s0);
             EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{});
             return std::pair{component(t, 0), component(t, 1)};
         }},
        {"RWST.Strict", inst_MonadState_RWST_Strict(identity(), listMonoid()),
         [](const Value& c, const Value& s0) {
             Value t = rts::apply(c, failing("environment"), s0);
             EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{});
             return std::pair{component(t, 0), component(t, 1)};
         }},
        lifted(
            "ContT", inst_MonadState_ContT(dInner),
            [](const Value& c) { return continueWithJust(innerMonad(), c); },
            unwrapping(VUX::Internal::Maybe::Just_tag)),
        lifted("ExceptT", inst_MonadState_ExceptT(dInner), same, unwrapping(Data::Either::Right_tag)),
        lifted("IdentityT", inst_MonadState_IdentityT(dInner), same, plain),
        lifted("MaybeT", inst_MonadState_MaybeT(dInner), same, unwrapping(VUX::Internal::Maybe::Just_tag)),
        lifted(
            "ReaderT", inst_MonadState_ReaderT(dInner),
            [](const Value& c) { return rts::apply(c, failing("environment")); }, plain),
        lifted(
            "SelectT", inst_MonadState_SelectT(dInner),
            [](const Value& c) { return rts::apply(c, failing("selection")); }, plain),
        lifted(
            "WriterT.CPS", inst_MonadState_WriterT_CPS(listMonoid(), dInner),
            [w0](const Value& c) { return rts::apply(c, w0); }, withOutput({7})),
        lifted("WriterT.Lazy", inst_MonadState_WriterT_Lazy(listMonoid(), dInner), same, withOutput({})),
        lifted("WriterT.Strict", inst_MonadState_WriterT_Strict(listMonoid(), dInner), same, withOutput({})),
        lifted(
            "AccumT", inst_MonadState_AccumT(listMonoid(), dInner),
            [](const Value& c) { return rts::apply(c, failing("accumulated")); }, withOutput({})),
    };
}

// An operation and its result from the state 5 (kUnit for `()`) and the final state.
constexpr int64_t kUnit = -1;
struct Operation {
    std::string name;
    std::function<Value(const Value& d)> make;
    int64_t result, state;
};

std::vector<Operation> operations() {
    Value transition = intFn([](int64_t s) { return pair(I(s + 1), I(s * 2)); });
    return {
        {"get", [](const Value& d) { return Value(get(d)); }, 5, 5},
        {"put", [](const Value& d) { return rts::apply(put(d), I(9)); }, kUnit, 9},
        {"state", [transition](const Value& d) { return rts::apply(state(d), transition); }, 6, 10},
        {"modify", [](const Value& d) { return modify(d, plus(1)); }, kUnit, 6},
        {"modify'", [](const Value& d) { return modify_prime(d, plus(1)); }, kUnit, 6},
        {"gets", [](const Value& d) { return gets(d, times(3)); }, 15, 5},
        // get >>= \s -> put (s * 2) >> gets (+ 1), through the record's own Monad record.
        {"bind",
         [](const Value& d) {
             Value m = MonadState_Monad(d);
             return bind(m, get(d), fn1([d, m](const Value& s) {
                             return Base::op_gt_gt(m, rts::apply(put(d), I(intv(s) * 2)), gets(d, plus(1)));
                         }));
         },
         11, 10},
    };
}

void expectResult(const Layered& layer, const Operation& op, const Value& record) {
    SCOPED_TRACE(layer.name + " " + op.name);
    auto [result, state] = layer.run(op.make(record), I(5));
    if (op.result == kUnit)
        EXPECT_TRUE(isUnit(result));
    else
        EXPECT_EQ(intv(result), op.result);
    EXPECT_EQ(intv(state), op.state);
}

TEST(MonadState, EveryInstanceRunsTheOperations) {
    for (const auto& layer : layers())
        for (const auto& op : operations()) expectResult(layer, op, layer.record);
}

// A record whose get and put are the defaults through the native state, and one whose state is
// the default through the native get and put, behave as the native record.
TEST(MonadState, TheDefaultsAgreeWithTheNativeMethods) {
    Value native = inst_MonadState_StateT_Lazy(identity());
    Value m = MonadState_Monad(native);
    Value onlyState = C_MonadState(m, failing("get"), failing("put"), state(native));
    Value onlyGetPut = C_MonadState(m, get(native), put(native), failing("state"));
    Value defaults =
        C_MonadState(m, default_get(onlyState),
                     rts::fun<1>([onlyState](const Value& s) { return default_put(onlyState, s); }),
                     rts::fun<1>([onlyGetPut](const Value& f) { return default_state(onlyGetPut, f); }));
    Layered layer{"defaults", defaults, runState};
    for (const auto& op : operations()) expectResult(layer, op, defaults);
}

// Native records compute their Monad record when built; lifting records consult nothing of the
// inner record until a field is used, and compute each argument-free field once.
TEST(MonadState, WhatTheRecordsComputeWhenBuilt) {
    for (const auto& layer : layers()) {
        SCOPED_TRACE(layer.name);
        bool native = layer.name.rfind("StateT", 0) == 0 || layer.name.rfind("RWST", 0) == 0;
        const Value& record = rts::force(layer.record);
        EXPECT_EQ(rts::is_evaluated(rts::field(record, C_MonadState_class::Monad)), native);
        EXPECT_EQ(rts::is_evaluated(rts::field(record, C_MonadState_class::get)), native);
        EXPECT_TRUE(rts::same(rts::force(MonadState_Monad(record)), rts::force(MonadState_Monad(record))));
        EXPECT_TRUE(rts::same(rts::force(get(record)), rts::force(get(record))));
    }
    Value lifted = inst_MonadState_ReaderT(failing("inner record"));
    EXPECT_NO_THROW(rts::force(lifted));
    EXPECT_NO_THROW(rts::force(put(lifted)));
    expectFailure([&] { rts::force(get(lifted)); }, "inner record");
}

// The inner get runs once however often the lifted get runs; where the layer ignores its
// argument, every run yields the same inner computation.
TEST(MonadState, ALiftedGetSharesItsInnerComputation) {
    vux::testing::Counter counter;
    Value native = inst_MonadState_StateT_Lazy(identity());
    Value inner = C_MonadState(MonadState_Monad(native), vux::testing::counting(counter, get(native)),
                               put(native), state(native));
    Value reader = inst_MonadState_ReaderT(inner);
    EXPECT_TRUE(rts::same(rts::apply(get(reader), I(1)), rts::apply(get(reader), I(2))));
    Value accum = inst_MonadState_AccumT(listMonoid(), inner);
    Value x = rts::apply(get(accum), ints({1})), y = rts::apply(get(accum), ints({2}));
    EXPECT_TRUE(rts::same(x, y));
    Value except = inst_MonadState_ExceptT(inner);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(intv(component(runState(get(except), I(4)).first, 0)), 4);
    EXPECT_EQ(counter.count(), 1);
}

TEST(MonadState, ModifyAndGetsLeaveTheNewValueSuspended) {
    Value d = inst_MonadState_StateT_Strict(identity());
    Value fails = fn1([](const Value&) { return failing("new state"); });
    std::pair<Value, Value> modified = runState(modify(d, fails), I(1));
    EXPECT_TRUE(isUnit(modified.first));
    expectFailure([&] { rts::force(modified.second); }, "new state");
    std::pair<Value, Value> got = runState(gets(d, fails), I(1));
    EXPECT_EQ(intv(got.second), 1);
    expectFailure([&] { rts::force(got.first); }, "new state");
}

// modify' evaluates the new state when the current state reaches it, before it is put.
TEST(MonadState, ModifyPrimeEvaluatesTheNewState) {
    Value d = inst_MonadState_StateT_Lazy(identity());
    Value c = modify_prime(d, fn1([](const Value&) { return failing("new state"); }));
    expectFailure([&] { rts::force(rts::apply(c, I(1))); }, "new state");
    vux::testing::Counter counter;
    Value next = intFn([counter](int64_t s) { return vux::testing::counting(counter, I(s + 1)); });
    auto [a, s] = runState(modify_prime(d, next), I(1));
    EXPECT_EQ(counter.count(), 1);
    EXPECT_TRUE(rts::is_evaluated(s));
    EXPECT_EQ(intv(s), 2);
}

// The lazy RWST state evaluates the transition's pair only on demand; the strict one when run.
TEST(MonadState, RWSTStateByVariant) {
    Value fails = fn1([](const Value&) { return failing("transition"); });
    Value lazy = rts::apply(state(inst_MonadState_RWST_Lazy(identity(), listMonoid())), fails);
    Value t = rts::apply(lazy, I(0), I(1));
    EXPECT_EQ(intList(component(t, 2)), std::vector<int64_t>{});
    expectFailure([&] { rts::force(component(t, 1)); }, "transition");
    Value strict = rts::apply(state(inst_MonadState_RWST_Strict(identity(), listMonoid())), fails);
    expectFailure([&] { rts::force(rts::apply(strict, I(0), I(1))); }, "transition");
    // The default state leaves the new state to the instance's put: the lazy StateT's does not
    // evaluate it.
    Value native = inst_MonadState_StateT_Lazy(identity());
    Value onlyGetPut = C_MonadState(MonadState_Monad(native), get(native), put(native), failing("state"));
    Value s = runState(default_state(onlyGetPut, fails), I(1)).second;
    expectFailure([&] { rts::force(s); }, "transition");
}

}  // namespace
