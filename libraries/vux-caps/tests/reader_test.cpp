// The environment capability: every instance runs the operations to the same results and leaves
// its own state, output or accumulated value alone; `local` through each layer; the defaults;
// what the records compute when built.
#include "Control/Monad/Trans/Reader.h"
#include "CapsTesting.h"
#include "Control/Monad/Reader/Class.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::Reader::Class;
using vux::testing::failing;

// A layered type with its MonadReader record and how to run one of its computations in the
// environment 10 to its result, checking on the way what the layer keeps.
struct Layered {
    std::string name;
    Value record;
    std::function<Value(const Value& c)> run;
};

const Value kEnv = I(10);
Value innerMonad() { return T::Reader::inst_Monad_ReaderT(identity()); }

std::function<Value(const Value&)> expectSecond(std::vector<int64_t> expected) {
    return [expected](const Value& p) {
        EXPECT_EQ(intList(component(p, 1)), expected);
        return component(p, 0);
    };
}
std::function<Value(const Value&)> expectSecondInt(int64_t expected) {
    return [expected](const Value& p) {
        EXPECT_EQ(intv(component(p, 1)), expected);
        return component(p, 0);
    };
}

std::vector<Layered> layers() {
    Value dInner = inst_MonadReader_ReaderT(identity());
    Value w0 = ints({7});
    auto lifted = [](std::string name, Value record, std::function<Value(const Value&)> start,
                     std::function<Value(const Value&)> unwrap) {
        return Layered{name, std::move(record),
                       [start, unwrap](const Value& c) { return unwrap(rts::apply(start(c), kEnv)); }};
    };
    auto same = [](const Value& c) { return c; };
    auto plain = [](const Value& r) { return r; };
    auto triple = [](std::vector<int64_t> output) {
        return [output](const Value& t) {
            EXPECT_EQ(intv(component(t, 1)), 3);  // the state, unchanged
            EXPECT_EQ(intList(component(t, 2)), output);
            return component(t, 0);
        };
    };
    return {
        {"function", inst_MonadReader_Function(), [](const Value& c) { return rts::apply(c, kEnv); }},
        {"ReaderT", inst_MonadReader_ReaderT(identity()), [](const Value& c) { return rts::apply(c, kEnv); }},
        {"RWST.CPS", inst_MonadReader_RWST_CPS(identity(), listMonoid()),
         [w0, t = triple({7})](const Value& c) { return t(rts::apply(c, kEnv, I(3), w0)); }},
        {"RWST.Lazy", inst_MonadReader_RWST_Lazy(identity(), listMonoid()),
         [t = triple({})](const Value& c) { return t(rts::apply(c, kEnv, I(3))); }},
        {"RWST.Strict", inst_MonadReader_RWST_Strict(identity(), listMonoid()),
         [t = triple({})](const Value& c) { return t(rts::apply(c, kEnv, I(3))); }},
        lifted(
            "ContT", inst_MonadReader_ContT(dInner),
            [](const Value& c) { return continueWithJust(innerMonad(), c); },
            unwrapping(VUX::Internal::Maybe::Just_tag)),
        lifted("ExceptT", inst_MonadReader_ExceptT(dInner), same, unwrapping(Data::Either::Right_tag)),
        lifted("IdentityT", inst_MonadReader_IdentityT(dInner), same, plain),
        lifted("MaybeT", inst_MonadReader_MaybeT(dInner), same, unwrapping(VUX::Internal::Maybe::Just_tag)),
        lifted(
            "SelectT", inst_MonadReader_SelectT(dInner),
            [](const Value& c) {
                return rts::apply(c, fn1([](const Value&) { return ret(innerMonad(), I(0)); }));
            },
            plain),
        lifted(
            "StateT.Lazy", inst_MonadReader_StateT_Lazy(dInner),
            [](const Value& c) { return rts::apply(c, I(3)); }, expectSecondInt(3)),
        lifted(
            "StateT.Strict", inst_MonadReader_StateT_Strict(dInner),
            [](const Value& c) { return rts::apply(c, I(3)); }, expectSecondInt(3)),
        lifted(
            "WriterT.CPS", inst_MonadReader_WriterT_CPS(listMonoid(), dInner),
            [w0](const Value& c) { return rts::apply(c, w0); }, expectSecond({7})),
        lifted("WriterT.Lazy", inst_MonadReader_WriterT_Lazy(listMonoid(), dInner), same, expectSecond({})),
        lifted("WriterT.Strict", inst_MonadReader_WriterT_Strict(listMonoid(), dInner), same,
               expectSecond({})),
        lifted(
            "AccumT", inst_MonadReader_AccumT(listMonoid(), dInner),
            [w0](const Value& c) { return rts::apply(c, w0); }, expectSecond({})),
    };
}

struct Operation {
    std::string name;
    std::function<Value(const Value& d)> make;
    int64_t result;
};

Value localPlus5(const Value& d, const Value& y) { return rts::apply(local(d), plus(5), y); }

std::vector<Operation> operations() {
    return {
        {"ask", [](const Value& d) { return Value(ask(d)); }, 10},
        {"asks", [](const Value& d) { return asks(d, times(2)); }, 20},
        {"reader", [](const Value& d) { return rts::apply(reader(d), plus(1)); }, 11},
        {"local ask", [](const Value& d) { return localPlus5(d, ask(d)); }, 15},
        {"local asks", [](const Value& d) { return localPlus5(d, asks(d, times(2))); }, 30},
        // local (+5) ask >>= \a -> ask >>= \b -> return (a * 100 + b): the environment is back
        // after local.
        {"after local",
         [](const Value& d) {
             Value m = MonadReader_Monad(d);
             return bind(m, localPlus5(d, ask(d)), fn1([d, m](const Value& a) {
                             return bind(m, ask(d), fn1([m, a](const Value& b) {
                                             return ret(m, I(intv(a) * 100 + intv(b)));
                                         }));
                         }));
         },
         1510},
    };
}

void expectResults(const Layered& layer, const Value& record) {
    for (const auto& op : operations()) {
        SCOPED_TRACE(layer.name + " " + op.name);
        EXPECT_EQ(intv(layer.run(op.make(record))), op.result);
    }
}

TEST(MonadReader, EveryInstanceRunsTheOperations) {
    for (const auto& layer : layers()) expectResults(layer, layer.record);
}

TEST(MonadReader, TheDefaultsAgreeWithTheNativeMethods) {
    Value native = inst_MonadReader_ReaderT(identity());
    Value m = MonadReader_Monad(native);
    Value onlyReader = C_MonadReader(m, failing("ask"), local(native), reader(native));
    Value onlyAsk = C_MonadReader(m, ask(native), local(native), failing("reader"));
    Value defaults =
        C_MonadReader(m, default_ask(onlyReader), local(native),
                      rts::fun<1>([onlyAsk](const Value& g) { return default_reader(onlyAsk, g); }));
    expectResults({"defaults", defaults, [](const Value& c) { return rts::apply(c, kEnv); }}, defaults);
    // The default reader never evaluates g's result.
    Value r = rts::apply(default_reader(onlyAsk, fn1([](const Value&) { return failing("g"); })), kEnv);
    expectFailure([&] { rts::force(r); }, "g");
}

// Inside local the modified environment, and for ContT and SelectT every use of the continuation
// (or scoring) under the environment from before.
TEST(MonadReader, LocalThroughTheContinuationLayers) {
    Value dInner = inst_MonadReader_ReaderT(identity());
    Value innerAsk = ask(dInner);
    // SelectT: y scores the candidate 1 and yields the score, which is the environment the
    // selection function ran under.
    Value select = inst_MonadReader_SelectT(dInner);
    Value y = fn1([](const Value& k) { return rts::apply(k, I(1)); });
    Value scoreAsk = fn1([innerAsk](const Value&) { return innerAsk; });
    EXPECT_EQ(intv(rts::apply(rts::apply(localPlus5(select, y), scoreAsk), kEnv)), 10);
    // ContT: the continuation after local asks the environment: the one from before.
    Value cont = inst_MonadReader_ContT(dInner);
    Value afterwards = fn1([innerAsk](const Value& a) {
        return bind(innerMonad(), innerAsk,
                    fn1([a](const Value& e) { return ret(innerMonad(), pair(a, e)); }));
    });
    Value p = rts::apply(rts::apply(localPlus5(cont, ask(cont)), afterwards), kEnv);
    EXPECT_EQ(intv(component(p, 0)), 15);
    EXPECT_EQ(intv(component(p, 1)), 10);
}

TEST(MonadReader, LocalKeepsWhatTheComputationDoes) {
    Value dInner = inst_MonadReader_ReaderT(identity());
    // CPS WriterT: y starts from the empty output, and its output follows the output so far.
    Value cps = inst_MonadReader_WriterT_CPS(listMonoid(), dInner);
    Value y = fn1([](const Value& w) {
        return ret(innerMonad(), pair(w, VUX::Internal::List::op_plus_plus(w, ints({1}))));
    });
    Value r = rts::apply(rts::apply(localPlus5(cps, y), ints({7})), kEnv);
    EXPECT_EQ(intList(component(r, 0)), std::vector<int64_t>{});
    EXPECT_EQ(intList(component(r, 1)), (std::vector<int64_t>{7, 1}));
    // StateT: the state y puts is kept.
    Value state = inst_MonadReader_StateT_Strict(dInner);
    Value put8 = fn1([](const Value&) { return ret(innerMonad(), pair(unit(), I(8))); });
    EXPECT_EQ(intv(component(rts::apply(rts::apply(localPlus5(state, put8), I(3)), kEnv), 1)), 8);
    // AccumT: y sees the value accumulated so far.
    Value accum = inst_MonadReader_AccumT(listMonoid(), dInner);
    Value look = fn1([](const Value& acc) { return ret(innerMonad(), pair(acc, ints({}))); });
    EXPECT_EQ(intList(component(rts::apply(rts::apply(localPlus5(accum, look), ints({4})), kEnv), 0)),
              std::vector<int64_t>{4});
    // ExceptT and MaybeT: a failure under local comes out unchanged.
    Value left = ret(innerMonad(), Data::Either::Left(I(3)));
    Value l = rts::apply(localPlus5(inst_MonadReader_ExceptT(dInner), left), kEnv);
    EXPECT_EQ(rts::tag_of(rts::force(l)), Data::Either::Left_tag);
    EXPECT_EQ(intv(component(l, 0)), 3);
    Value nothing = ret(innerMonad(), VUX::Internal::Maybe::Nothing());
    Value n = rts::apply(localPlus5(inst_MonadReader_MaybeT(dInner), nothing), kEnv);
    EXPECT_EQ(rts::tag_of(rts::force(n)), VUX::Internal::Maybe::Nothing_tag);
}

TEST(MonadReader, WhatTheRecordsComputeWhenBuilt) {
    for (const auto& layer : layers()) {
        SCOPED_TRACE(layer.name);
        bool lifted = layer.name.find('T') != std::string::npos && layer.name != "ReaderT" &&
                      layer.name.rfind("RWST", 0) != 0;
        const Value& record = rts::force(layer.record);
        EXPECT_EQ(rts::is_evaluated(rts::field(record, C_MonadReader_class::Monad)), !lifted);
        EXPECT_TRUE(rts::same(rts::force(MonadReader_Monad(record)), rts::force(MonadReader_Monad(record))));
        EXPECT_TRUE(rts::same(rts::force(ask(record)), rts::force(ask(record))));
    }
    // ContT's Monad record is a constant: selecting it needs nothing of the inner record.
    Value cont = inst_MonadReader_ContT(failing("inner record"));
    EXPECT_NO_THROW(rts::force(MonadReader_Monad(cont)));
    expectFailure([&] { rts::force(ask(cont)); }, "inner record");
    // The lazy and strict RWST share their reader across applications to g.
    Value rws = inst_MonadReader_RWST_Lazy(identity(), listMonoid());
    EXPECT_TRUE(rts::same(rts::force(reader(rws)), rts::force(reader(rws))));
}

}  // namespace
