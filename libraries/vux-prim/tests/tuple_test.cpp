// Tuple Eq and Ord: results, and exactly which component operations run, with which operands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Tuple.h"

using namespace VUX::Classes;
using namespace VUX::Types;
using rts::Value;
using VUX::Tuple::Tuple;
namespace vt = vux::testing;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Records of Int components that log every call as "op(a,b)", naming each operand by the tuple
// component it is ("x3", "y3"). Operations the tuple code must never use throw.
struct Spy {
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<std::map<rts::Object*, std::string>> names = std::make_shared<std::map<rts::Object*, std::string>>();

    Value component(const std::string& name, int64_t v) const {
        Value c = I_hash(v);
        (*names)[c.get()] = name;
        return c;
    }
    Value logged(const std::string& op, const rts::StaticFun& fn) const {
        return rts::fun<2>([log = log, names = names, op, f = fn.value()](const Value& a, const Value& b) {
            log->push_back(op + "(" + (*names)[a.get()] + "," + (*names)[b.get()] + ")");
            return rts::apply(f, a, b);
        });
    }
    static Value forbidden(const std::string& op) {
        return rts::fun<2>([op](const Value&, const Value&) -> Value {
            ADD_FAILURE() << "the tuple code called a component's " << op;
            return False();
        });
    }
    Value eq_record() const { return C_Eq(logged("==", VUX::Record::static_fun<&eqInt>), forbidden("/=")); }
    Value ord_record() const {
        return C_Ord(eq_record(), logged("compare", VUX::Record::static_fun<&compareInt>),
                     logged("<", VUX::Record::static_fun<&ltInt>), forbidden("<="), forbidden(">"),
                     forbidden(">="), forbidden("max"), forbidden("min"));
    }
};

std::string op_call(const std::string& op, char left, size_t k, char right) {
    return op + "(" + left + std::to_string(k) + "," + right + std::to_string(k) + ")";
}

// Runs every tuple operation on tuples with components xs and ys, and checks the result and the
// component calls against the rules: components 1..n-1 with `compare` in the rule's operand order,
// the last with `<` (with `compare` in compare itself), nothing after the deciding component.
template <size_t N>
void check_all_operations(const std::vector<int64_t>& xs, const std::vector<int64_t>& ys) {
    Spy spy;
    Records<N> eqs, ords;
    for (size_t k = 0; k < N; ++k) {
        eqs[k] = spy.eq_record();
        ords[k] = spy.ord_record();
    }
    Value x, y;
    [&]<size_t... K>(std::index_sequence<K...>) {
        x = Tuple(spy.component("x" + std::to_string(K + 1), xs[K])...);
        y = Tuple(spy.component("y" + std::to_string(K + 1), ys[K])...);
    }(std::make_index_sequence<N>{});

    // The first differing component (1-based), or 0.
    size_t d = 0;
    for (size_t k = 0; k < N && d == 0; ++k)
        if (xs[k] != ys[k]) d = k + 1;
    int order = d == 0 ? 0 : (xs[d - 1] < ys[d - 1] ? -1 : 1);

    // The calls made when walking with `op` in the given operand order on components 1..n-1 and
    // `last` on component n.
    auto walk = [&](const std::string& op, char l, char r, const std::string& last) {
        std::vector<std::string> calls;
        for (size_t k = 1; k < N; ++k) {
            calls.push_back(op_call(op, l, k, r));
            if (k == d) return calls;
        }
        calls.push_back(op_call(last, l, N, r));
        return calls;
    };
    Value dEq = inst_Eq_Tuple<N>(eqs);
    Value dOrd = inst_Ord_Tuple<N>(ords);
    auto run = [&](const char* name, const std::vector<std::string>& expected_calls, auto&& body) {
        SCOPED_TRACE(name);
        spy.log->clear();
        body();
        EXPECT_EQ(*spy.log, expected_calls);
    };
    run("==", walk("==", 'x', 'y', "=="), [&] { EXPECT_EQ(test(op_eq_eq(dEq), x, y), d == 0); });
    run("/=", walk("==", 'x', 'y', "=="), [&] { EXPECT_EQ(test(op_slash_eq(dEq), x, y), d != 0); });
    run("compare", walk("compare", 'x', 'y', "compare"), [&] {
        EXPECT_EQ(call(compare(dOrd), x, y)->tag, order < 0 ? LT_tag : order > 0 ? GT_tag : EQ_tag);
    });
    run("<", walk("compare", 'x', 'y', "<"), [&] { EXPECT_EQ(test(op_lt(dOrd), x, y), order < 0); });
    run(">", walk("compare", 'y', 'x', "<"), [&] { EXPECT_EQ(test(op_gt(dOrd), x, y), order > 0); });
    run("<=", walk("compare", 'y', 'x', "<"), [&] { EXPECT_EQ(test(op_lt_eq(dOrd), x, y), order <= 0); });
    run(">=", walk("compare", 'x', 'y', "<"), [&] { EXPECT_EQ(test(op_gt_eq(dOrd), x, y), order >= 0); });
    run("max", walk("compare", 'y', 'x', "<"),
        [&] { EXPECT_TRUE(same(call(max(dOrd), x, y), order > 0 ? x : y)); });
    run("min", walk("compare", 'y', 'x', "<"),
        [&] { EXPECT_TRUE(same(call(min(dOrd), x, y), order > 0 ? y : x)); });
}

}  // namespace

TEST(TupleOperations, CallExactlyTheComponentOperationsTheRulesName) {
    check_all_operations<2>({1, 2}, {1, 2});
    check_all_operations<2>({1, 2}, {1, 3});
    check_all_operations<2>({1, 5}, {1, 3});
    check_all_operations<2>({1, 9}, {2, 0});
    check_all_operations<2>({3, 0}, {2, 9});
    check_all_operations<3>({1, 2, 3}, {1, 4, 0});
    check_all_operations<15>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    check_all_operations<15>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16});
    check_all_operations<15>({1, 2, 3, 4, 5, 6, 7, 9, 9, 10, 11, 12, 13, 14, 15},
                             {1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0});
    check_all_operations<7>({0, 0, 0, 0, 0, 0, -1}, {0, 0, 0, 0, 0, 0, 1});
}

TEST(TupleOperations, EqualPairs) {
    Value dEq = inst_Eq_Tuple(inst_Eq_Int(), inst_Eq_Int());
    Value dOrd = inst_Ord_Tuple(inst_Ord_Int(), inst_Ord_Int());
    Value x = Tuple(I_hash(1), I_hash(2)), y = Tuple(I_hash(1), I_hash(2));
    EXPECT_EQ(call(compare(dOrd), x, y)->tag, EQ_tag);
    EXPECT_FALSE(test(op_lt(dOrd), x, y));
    EXPECT_FALSE(test(op_gt(dOrd), x, y));
    EXPECT_TRUE(test(op_lt_eq(dOrd), x, y));
    EXPECT_TRUE(test(op_gt_eq(dOrd), x, y));
    EXPECT_TRUE(same(call(max(dOrd), x, y), y));
    EXPECT_TRUE(same(call(min(dOrd), x, y), x));
    EXPECT_TRUE(test(op_eq_eq(dEq), x, y));
    EXPECT_FALSE(test(op_slash_eq(dEq), x, y));
}

// A failing component after the deciding one never surfaces.
TEST(TupleOperations, ComponentsAfterTheDecidingOneAreNeverTouched) {
    Value dEq = inst_Eq_Tuple(inst_Eq_Int(), inst_Eq_Int());
    Value dOrd = inst_Ord_Tuple(inst_Ord_Int(), inst_Ord_Int());
    Value x = Tuple(I_hash(1), vt::failing()), y = Tuple(I_hash(2), vt::failing());
    EXPECT_FALSE(test(op_eq_eq(dEq), x, y));
    EXPECT_TRUE(test(op_slash_eq(dEq), x, y));
    EXPECT_EQ(call(compare(dOrd), x, y)->tag, LT_tag);
    EXPECT_TRUE(test(op_lt(dOrd), x, y));
    EXPECT_FALSE(test(op_gt(dOrd), x, y));
    EXPECT_TRUE(same(call(max(dOrd), x, y), y));
    // With equal first components the failing second one is handed on and fails when evaluated.
    Value same_first = Tuple(I_hash(1), vt::failing());
    EXPECT_THROW(test(op_eq_eq(dEq), x, same_first), rts::Exception);
    EXPECT_THROW(call(compare(dOrd), x, same_first), rts::Exception);
}

TEST(TupleOperations, AFailingOperandFailsBeforeAnyComponentOperation) {
    Spy spy;
    Value dEq = inst_Eq_Tuple(spy.eq_record(), spy.eq_record());
    Value dOrd = inst_Ord_Tuple(spy.ord_record(), spy.ord_record());
    Value good = Tuple(spy.component("a", 1), spy.component("b", 2));
    for (auto op : {compare, op_lt, op_lt_eq, op_gt, op_gt_eq, max, min}) {
        EXPECT_THROW(call(op(dOrd), good, vt::failing()), rts::Exception);
        EXPECT_THROW(call(op(dOrd), vt::failing(), good), rts::Exception);
    }
    EXPECT_THROW(call(op_eq_eq(dEq), vt::failing(), good), rts::Exception);
    EXPECT_THROW(call(op_slash_eq(dEq), good, vt::failing()), rts::Exception);
    EXPECT_TRUE(spy.log->empty());
}

TEST(TupleOperations, NaNComponents) {
    Value dEq = inst_Eq_Tuple(inst_Eq_Double(), inst_Eq_Double());
    Value dOrd = inst_Ord_Tuple(inst_Ord_Double(), inst_Ord_Double());
    // NaN in the last component.
    Value a = Tuple(D_hash(0.0), D_hash(kNaN)), b = Tuple(D_hash(0.0), D_hash(1.0));
    EXPECT_FALSE(test(op_lt(dOrd), a, b));
    EXPECT_FALSE(test(op_gt(dOrd), a, b));
    EXPECT_TRUE(test(op_lt_eq(dOrd), a, b));
    EXPECT_TRUE(test(op_gt_eq(dOrd), a, b));
    EXPECT_EQ(call(compare(dOrd), a, b)->tag, GT_tag);
    EXPECT_EQ(call(compare(dOrd), b, a)->tag, GT_tag);
    EXPECT_FALSE(test(op_eq_eq(dEq), a, b));
    EXPECT_TRUE(test(op_slash_eq(dEq), a, b));
    // NaN in an earlier component.
    Value c = Tuple(D_hash(kNaN), D_hash(0.0)), e = Tuple(D_hash(1.0), D_hash(0.0));
    EXPECT_FALSE(test(op_lt(dOrd), c, e));
    EXPECT_FALSE(test(op_lt(dOrd), e, c));
    EXPECT_TRUE(same(call(max(dOrd), c, e), e));
    EXPECT_TRUE(same(call(max(dOrd), e, c), c));
    EXPECT_TRUE(same(call(min(dOrd), c, e), c));
    EXPECT_TRUE(same(call(min(dOrd), e, c), e));
}

// The tuple's /= negates the tuple's ==, whatever the components' own /= says.
TEST(TupleOperations, NotEqualIsTheNegationOfEqual) {
    Value odd = C_Eq(VUX::Record::static_fun<&eqInt>.value(),
                     rts::fun<2>([](const Value&, const Value&) { return True(); }));
    Value dEq = inst_Eq_Tuple(odd, odd);
    Value x = Tuple(I_hash(1), I_hash(2));
    EXPECT_FALSE(test(op_slash_eq(dEq), x, Tuple(I_hash(1), I_hash(2))));
    EXPECT_TRUE(test(op_slash_eq(dEq), x, Tuple(I_hash(1), I_hash(3))));
}

TEST(TupleRecords, TheOrdRecordsEqRecordIsBuiltOnceFromTheComponents) {
    Value dOrd = inst_Ord_Tuple(inst_Ord_Int(), inst_Ord_Char(), inst_Ord_List_Char());
    const Value& field = rts::field(dOrd, C_Ord_class::Eq);
    EXPECT_FALSE(rts::is_evaluated(field));
    const Value& built = rts::force(field);
    EXPECT_TRUE(same(built, rts::force(field)));
    Value direct = inst_Eq_Tuple(inst_Eq_Int(), inst_Eq_Char(), inst_Eq_List_Char());
    Value x = Tuple(I_hash(1), C_hash('a'), vt::str("s"));
    for (const Value& y : {Tuple(I_hash(1), C_hash('a'), vt::str("s")), Tuple(I_hash(1), C_hash('b'), vt::str("s")),
                           Tuple(I_hash(1), C_hash('a'), vt::str("t"))}) {
        for (auto op : {op_eq_eq, op_slash_eq}) EXPECT_EQ(test(op(built), x, y), test(op(direct), x, y));
    }
    // Each call of the instance builds its own record.
    Value other = inst_Ord_Tuple(inst_Ord_Int(), inst_Ord_Char(), inst_Ord_List_Char());
    EXPECT_FALSE(same(rts::force(rts::field(other, C_Ord_class::Eq)), built));
    EXPECT_TRUE(same(rts::field(built, C_Eq_class::op_eq_eq), rts::field(built, C_Eq_class::op_eq_eq)));
}

// The comparisons allocate nothing: static results, component results, or an operand.
TEST(TupleOperations, ComparisonsDoNotAllocate) {
    Value dOrd = inst_Ord_Tuple(inst_Ord_Int(), inst_Ord_Int(), inst_Ord_Int());
    Value x = Tuple(I_hash(1), I_hash(2), I_hash(3)), y = Tuple(I_hash(1), I_hash(2), I_hash(4));
    Value ops[7];
    for (size_t i = 0; i < 7; ++i) ops[i] = rts::field(rts::force(dOrd), C_Ord_class::compare + i);
    uint64_t before = rts::thread_allocated_bytes();
    for (size_t i = 0; i < 7; ++i) rts::apply(ops[i], x, y);
    EXPECT_EQ(rts::thread_allocated_bytes(), before);
}
