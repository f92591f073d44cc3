// The output capability: every instance runs the operations to the same results and output,
// with what each layer keeps of its own environment, state or accumulated value; what the pair
// instance and the lifted listen and pass force; what the records compute when built.
#include "CapsTesting.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/Writer/CPS.h"
#include "Control/Monad/Trans/Writer/Lazy.h"
#include "Control/Monad/Writer/Class.h"
#include "Data/Either.h"
#include "VUX/Internal/Maybe.h"

namespace {

using namespace caps_test;
using namespace Control::Monad::Writer::Class;
using vux::testing::failing;

// A layered type with its MonadWriter record and how to run one of its computations to (result,
// output), checking on the way what the layer keeps.
struct Layered {
    std::string name;
    Value record;
    std::function<std::pair<Value, Value>(const Value& c)> run;
};

Value innerMonad() { return T::Writer::Lazy::inst_Monad_WriterT_Lazy(listMonoid(), identity()); }
std::pair<Value, Value> components(const Value& p) { return {component(p, 0), component(p, 1)}; }

std::vector<Layered> layers() {
    Value dInner = inst_MonadWriter_WriterT_Lazy(listMonoid(), identity());
    auto lifted = [](std::string name, Value record, std::function<Value(const Value&)> start,
                     std::function<Value(const Value&)> unwrap) {
        return Layered{name, std::move(record), [start, unwrap](const Value& c) {
                           auto [r, w] = components(start(c));
                           return std::pair{unwrap(r), w};
                       }};
    };
    auto same = [](const Value& c) { return c; };
    auto plain = [](const Value& r) { return r; };
    auto keeps = [](std::function<void(const Value&)> check) {
        return [check](const Value& p) {
            check(component(p, 1));
            return component(p, 0);
        };
    };
    auto triple = [](const Value& t) {
        EXPECT_EQ(intv(component(t, 1)), 3);  // the state, unchanged
        return std::pair{component(t, 0), component(t, 2)};
    };
    auto stateIs3 = [](const Value& s) { EXPECT_EQ(intv(s), 3); };
    auto nothingAdded = [](const Value& w) { EXPECT_EQ(intList(w), std::vector<int64_t>{}); };
    return {
        {"pair", inst_MonadWriter_Tuple2(listMonoid()),
         [](const Value& c) {
             return std::pair{component(c, 1), component(c, 0)};
         }},
        {"WriterT.CPS", inst_MonadWriter_WriterT_CPS(listMonoid(), identity()),
         [](const Value& c) { return components(T::Writer::CPS::runWriterT(listMonoid(), c)); }},
        {"WriterT.Lazy", inst_MonadWriter_WriterT_Lazy(listMonoid(), identity()), components},
        {"WriterT.Strict", inst_MonadWriter_WriterT_Strict(listMonoid(), identity()), components},
        {"RWST.CPS", inst_MonadWriter_RWST_CPS(listMonoid(), identity()),
         [triple](const Value& c) {
             return triple(T::RWS::CPS::runRWST(listMonoid(), c, failing("environment"), I(3)));
         }},
        {"RWST.Lazy", inst_MonadWriter_RWST_Lazy(listMonoid(), identity()),
         [triple](const Value& c) { return triple(rts::apply(c, failing("environment"), I(3))); }},
        {"RWST.Strict", inst_MonadWriter_RWST_Strict(listMonoid(), identity()),
         [triple](const Value& c) { return triple(rts::apply(c, failing("environment"), I(3))); }},
        lifted("ExceptT", inst_MonadWriter_ExceptT(dInner), same, unwrapping(Data::Either::Right_tag)),
        lifted("IdentityT", inst_MonadWriter_IdentityT(dInner), same, plain),
        lifted("MaybeT", inst_MonadWriter_MaybeT(dInner), same, unwrapping(VUX::Internal::Maybe::Just_tag)),
        lifted(
            "ReaderT", inst_MonadWriter_ReaderT(dInner),
            [](const Value& c) { return rts::apply(c, failing("environment")); }, plain),
        lifted(
            "StateT.Lazy", inst_MonadWriter_StateT_Lazy(dInner),
            [](const Value& c) { return rts::apply(c, I(3)); }, keeps(stateIs3)),
        lifted(
            "StateT.Strict", inst_MonadWriter_StateT_Strict(dInner),
            [](const Value& c) { return rts::apply(c, I(3)); }, keeps(stateIs3)),
        lifted(
            "AccumT", inst_MonadWriter_AccumT(listMonoid(), dInner),
            [](const Value& c) { return rts::apply(c, failing("accumulated")); }, keeps(nothingAdded)),
    };
}

// An operation run after `tell [0]`: the text of its result and the whole output.
struct Operation {
    std::string name;
    std::function<Value(const Value& d)> make;
    Value show;
    std::string result;
    std::vector<int64_t> output;
};

Value tellInts(const Value& d, std::initializer_list<int64_t> w) { return rts::apply(tell(d), ints(w)); }
// tell w >> return x, in the record's computation type.
Value tellThen(const Value& d, std::initializer_list<int64_t> w, Value x) {
    return then(MonadWriter_Monad(d), tellInts(d, w), std::move(x));
}

std::vector<Operation> operations() {
    Value unitShow = VUX::Internal::Show::inst_Show_Unit();
    return {
        {"tell", [](const Value& d) { return tellInts(d, {1}); }, unitShow, "()", {0, 1}},
        {"writer",
         [](const Value& d) { return rts::apply(writer(d), pair(I(3), ints({2}))); },
         showInt(),
         "3",
         {0, 2}},
        {"listen",
         [](const Value& d) { return rts::apply(listen(d), tellThen(d, {1}, I(4))); },
         showPair(showInt(), showInts()),
         "(4,[1])",
         {0, 1}},
        {"pass",
         [](const Value& d) { return rts::apply(pass(d), tellThen(d, {1}, pair(I(5), twice()))); },
         showInt(),
         "5",
         {0, 1, 1}},
        {"listens",
         [](const Value& d) {
             return listens(d, lengthFn(), tellThen(d, {1, 2}, I(4)));
         },
         showPair(showInt(), showInt()),
         "(4,2)",
         {0, 1, 2}},
        {"censor",
         [](const Value& d) { return censor(d, twice(), tellInts(d, {1})); },
         unitShow,
         "()",
         {0, 1, 1}},
    };
}

void expectResults(const Layered& layer, const Value& record) {
    for (const auto& op : operations()) {
        SCOPED_TRACE(layer.name + " " + op.name);
        Value c = Base::op_gt_gt(MonadWriter_Monad(record), tellInts(record, {0}), op.make(record));
        auto [result, output] = layer.run(c);
        EXPECT_EQ(show(op.show, result), op.result);
        EXPECT_EQ(intList(output), op.output);
    }
}

TEST(MonadWriter, EveryInstanceRunsTheOperations) {
    for (const auto& layer : layers()) expectResults(layer, layer.record);
}

TEST(MonadWriter, TheDefaultsAgreeWithTheNativeMethods) {
    Value native = inst_MonadWriter_WriterT_Strict(listMonoid(), identity());
    Value w = MonadWriter_Monoid(native), m = MonadWriter_Monad(native);
    Value onlyTell = C_MonadWriter(w, m, failing("writer"), tell(native), listen(native), pass(native));
    Value onlyWriter = C_MonadWriter(w, m, writer(native), failing("tell"), listen(native), pass(native));
    Value defaults =
        C_MonadWriter(w, m, rts::fun<1>([onlyTell](const Value& p) { return default_writer(onlyTell, p); }),
                      rts::fun<1>([onlyWriter](const Value& x) { return default_tell(onlyWriter, x); }),
                      listen(native), pass(native));
    expectResults({"defaults", defaults, components}, defaults);
}

// No pair operation evaluates its argument or uses the monoid.
TEST(MonadWriter, ThePairInstanceForcesNothing) {
    Value d = inst_MonadWriter_Tuple2(failing("monoid"));
    Value p = failing("argument");
    for (const char* op : {"writer", "listen", "pass"}) {
        SCOPED_TRACE(op);
        Value method = std::string(op) == "writer"   ? writer(d)
                       : std::string(op) == "listen" ? listen(d)
                                                     : pass(d);
        Value r = rts::apply(method, p);
        ASSERT_NO_THROW(rts::force(r));
        expectFailure([&] { rts::force(component(r, 0)); }, "argument");
        // listen's second component is the pair (a, w), built without the argument.
        expectFailure(
            [&] {
                rts::force(std::string(op) == "listen" ? component(component(r, 1), 0) : component(r, 1));
            },
            "argument");
    }
    Value t = rts::apply(tell(d), failing("output"));
    EXPECT_TRUE(isUnit(component(t, 1)));
    // listen (w, a) = (w, (a, w)) and pass (w, (a, f)) = (f w, a), on lazy components.
    Value l = rts::apply(listen(d), pair(ints({1}), I(2)));
    EXPECT_EQ(show(showPair(showInts(), showPair(showInt(), showInts())), l), "([1],(2,[1]))");
    Value s = rts::apply(pass(d), pair(ints({1}), pair(I(2), twice())));
    EXPECT_EQ(show(showPair(showInts(), showInt()), s), "([1,1],2)");
}

// The continuation-passing writers evaluate the pair given to writer as soon as they run.
TEST(MonadWriter, ContinuationPassingWriterEvaluatesItsPair) {
    Value writerT =
        rts::apply(writer(inst_MonadWriter_WriterT_CPS(listMonoid(), identity())), failing("pair"));
    expectFailure([&] { rts::force(rts::apply(writerT, ints({}))); }, "pair");
    Value rwsT = rts::apply(writer(inst_MonadWriter_RWST_CPS(listMonoid(), identity())), failing("pair"));
    expectFailure([&] { rts::force(rts::apply(rwsT, I(0), I(0), ints({}))); }, "pair");
}

// ExceptT and MaybeT: a failed computation passes listen and pass with its output untouched.
TEST(MonadWriter, FailuresPassListenAndPass) {
    Value dInner = inst_MonadWriter_WriterT_Lazy(listMonoid(), identity());
    Value innerTell = tellInts(dInner, {1});
    struct Case {
        Value record, failure;
        uint8_t tag;
    };
    for (const auto& c :
         {Case{inst_MonadWriter_ExceptT(dInner), Data::Either::Left(I(9)), Data::Either::Left_tag},
          Case{inst_MonadWriter_MaybeT(dInner), VUX::Internal::Maybe::Nothing(),
               VUX::Internal::Maybe::Nothing_tag}}) {
        Value failed = then(innerMonad(), innerTell, c.failure);
        auto [l, lw] = components(rts::apply(listen(c.record), failed));
        EXPECT_EQ(rts::tag_of(rts::force(l)), c.tag);
        EXPECT_EQ(intList(lw), std::vector<int64_t>{1});
        auto [p, pw] = components(rts::apply(pass(c.record), failed));
        EXPECT_EQ(rts::tag_of(rts::force(p)), c.tag);
        EXPECT_EQ(intList(pw), std::vector<int64_t>{1});
    }
}

// Lazy StateT (and AccumT) leave the inner result that their continuation receives to whoever
// demands a component; strict StateT evaluates it as soon as it arrives. The result of listen's
// continuation is what the inner listen yields; of pass's, what the lifted computation yields.
TEST(MonadWriter, LiftedListenAndPassByStrictness) {
    Value native = inst_MonadWriter_WriterT_Strict(listMonoid(), identity());
    // A computation of the inner writer over Identity, yielding a failing result and no output:
    // what the inner listen yields, and what the lifted computation given to pass yields.
    Value fails = fn1([](const Value&) { return pair(failing("inner result"), ints({})); });
    Value inner = C_MonadWriter(MonadWriter_Monoid(native), MonadWriter_Monad(native), writer(native),
                                tell(native), fails, pass(native));
    auto listenRun = [&](const Value& d, const Value& start) {
        return rts::apply(rts::apply(listen(d), failing("computation")), start);
    };
    auto passRun = [&](const Value& d, const Value& start) {
        return rts::apply(rts::apply(pass(d), fails), start);
    };
    for (auto [record, start] : {std::pair{inst_MonadWriter_StateT_Lazy(inner), I(0)},
                                 std::pair{inst_MonadWriter_AccumT(listMonoid(), inner), ints({})}}) {
        Value l = listenRun(record, start);
        ASSERT_NO_THROW(rts::force(component(l, 0)));
        expectFailure([&] { rts::force(component(component(l, 0), 1)); }, "inner result");
        Value p = passRun(record, start);
        ASSERT_NO_THROW(rts::force(component(p, 0)));
        expectFailure([&] { rts::force(component(component(p, 0), 0)); }, "inner result");
    }
    Value strict = inst_MonadWriter_StateT_Strict(inner);
    expectFailure([&] { rts::force(listenRun(strict, I(0))); }, "inner result");
    expectFailure([&] { rts::force(passRun(strict, I(0))); }, "inner result");
}

TEST(MonadWriter, WhatTheRecordsComputeWhenBuilt) {
    Value dInner = inst_MonadWriter_WriterT_Lazy(listMonoid(), identity());
    for (const auto& layer : layers()) {
        SCOPED_TRACE(layer.name);
        bool lifted = layer.name.find("Writer") == std::string::npos &&
                      layer.name.find("RWS") == std::string::npos && layer.name != "pair";
        const Value& record = rts::force(layer.record);
        EXPECT_TRUE(rts::is_evaluated(rts::field(record, C_MonadWriter_class::Monoid)));
        EXPECT_EQ(rts::is_evaluated(rts::field(record, C_MonadWriter_class::Monad)), !lifted);
        EXPECT_TRUE(rts::same(rts::force(MonadWriter_Monad(record)), rts::force(MonadWriter_Monad(record))));
        if (lifted) {
            EXPECT_TRUE(
                rts::same(rts::force(MonadWriter_Monoid(record)), rts::force(MonadWriter_Monoid(dInner))));
            for (size_t f : {C_MonadWriter_class::writer, C_MonadWriter_class::tell,
                             C_MonadWriter_class::listen, C_MonadWriter_class::pass})
                EXPECT_FALSE(rts::is_evaluated(rts::field(rts::force(inst_MonadWriter_ReaderT(dInner)), f)));
        }
    }
    expectFailure([] { rts::force(inst_MonadWriter_StateT_Lazy(failing("inner record"))); }, "inner record");
    // The pair records share their writer and tell.
    Value a = inst_MonadWriter_Tuple2(listMonoid()), b = inst_MonadWriter_Tuple2(sumMonoid());
    EXPECT_TRUE(rts::same(rts::force(writer(a)), rts::force(writer(b))));
    EXPECT_TRUE(rts::same(rts::force(tell(a)), rts::force(tell(b))));
    // ReaderT's tell builds its inner computation once for every environment.
    Value c = tellInts(inst_MonadWriter_ReaderT(dInner), {1});
    EXPECT_TRUE(rts::same(rts::apply(c, I(1)), rts::apply(c, I(2))));
}

}  // namespace
