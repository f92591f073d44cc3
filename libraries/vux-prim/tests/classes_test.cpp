// Eq and Ord: records and defaults, connectives, scalar instances, lists, Solo and type
// representations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Testing.h"
#include "VUX/CString.h"
#include "VUX/Classes.h"

using namespace VUX::Classes;
using namespace VUX::Types;
using rts::Value;
namespace vt = vux::testing;

namespace {

bool eq(const Value& d, const Value& x, const Value& y) { return test(op_eq_eq(d), x, y); }
bool ne(const Value& d, const Value& x, const Value& y) { return test(op_slash_eq(d), x, y); }
uint8_t cmp(const Value& d, const Value& x, const Value& y) { return call(compare(d), x, y)->tag; }
bool lt(const Value& d, const Value& x, const Value& y) { return test(op_lt(d), x, y); }
bool le(const Value& d, const Value& x, const Value& y) { return test(op_lt_eq(d), x, y); }
bool gt(const Value& d, const Value& x, const Value& y) { return test(op_gt(d), x, y); }
bool ge(const Value& d, const Value& x, const Value& y) { return test(op_gt_eq(d), x, y); }
Value mx(const Value& d, const Value& x, const Value& y) { return call(max(d), x, y); }
Value mn(const Value& d, const Value& x, const Value& y) { return call(min(d), x, y); }

const double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// A class declared as every library declares one: a superclass, two operations, a static instance
// whose second operation is a default through the record, and a compound instance.
namespace probe {
VUX_CLASS(Probe, (Eq), size, sizeTwice);

Value default_sizeTwice(const Value& dProbe, const Value& x) {
    return I_hash(2 * intOf(call(size(dProbe), x)));
}
Value sizeInt(const Value& x) { return Value(rts::force(x)); }
VUX_STATIC_INSTANCE(inst_Probe_Int, C_Probe_class);
constinit const VUX::Record::Static<C_Probe_class> inst_Probe_Int_closure{
    VUX::Record::ref(inst_Eq_Int_closure), VUX::Record::fn<&sizeInt>,
    VUX::Record::fn<&default_sizeTwice, &inst_Probe_Int_closure>};

// The sum of the elements' sizes.
Value sizeList(const Value& dProbe, const Value& xs) {
    int64_t total = 0;
    for (Value rest = xs;;) {
        const Value& cell = rts::force(rest);
        if (cell->tag == Nil_tag) return I_hash(total);
        total += intOf(call(size(dProbe), rts::field(cell, 0)));
        Value tail = rts::field(cell, 1);
        rest = std::move(tail);
    }
}
Value inst_Probe_List(const Value& d) {
    return C_Probe(rts::delay([d] { return inst_Eq_List(Probe_Eq(d)); }), VUX::Record::with<&sizeList>(d),
                   VUX::Record::with<&default_sizeTwice>(rts::delay([d] { return inst_Probe_List(d); })));
}
}  // namespace probe

TEST(Records, ADeclaredClassGivesItsRecordSelectorsAndInstances) {
    using namespace probe;
    static_assert(C_Probe_class::fields == 3 && C_Probe_class::Eq == 0 && C_Probe_class::size == 1 &&
                  C_Probe_class::sizeTwice == 2 && C_Probe_tag == 0);
    Value dInt = inst_Probe_Int();
    EXPECT_EQ(dInt->rc.load(), 0u) << "a static record is never counted";
    EXPECT_TRUE(same(Probe_Eq(dInt), inst_Eq_Int()));
    EXPECT_EQ(rts::arity_of(sizeTwice(dInt)), 1u) << "the bound record is not an argument";
    EXPECT_EQ(intOf(call(sizeTwice(dInt), I_hash(21))), 42);

    Value dList = inst_Probe_List(dInt);
    EXPECT_FALSE(rts::is_evaluated(rts::field(dList, C_Probe_class::Eq)));
    EXPECT_EQ(rts::arity_of(size(dList)), 1u);
    EXPECT_EQ(intOf(call(size(dList), vt::ints({1, 2, 3}))), 6);
    EXPECT_EQ(intOf(call(sizeTwice(dList), vt::ints({1, 2, 3}))), 12);
    EXPECT_TRUE(test(op_eq_eq(Probe_Eq(dList)), vt::ints({4}), vt::ints({4})));
    EXPECT_FALSE(same(inst_Probe_List(dInt), dList)) << "a compound instance builds a fresh record";
    EXPECT_THROW(size(vt::failing()), rts::Exception);
}

TEST(Records, SelectorsEvaluateTheRecordAndReturnTheField) {
    Value record = rts::delay([] { return inst_Ord_Int(); });
    EXPECT_TRUE(same(compare(record), VUX::Record::static_fun<&compareInt>.value()));
    EXPECT_TRUE(same(Ord_Eq(record), inst_Eq_Int()));
    EXPECT_TRUE(same(op_slash_eq(inst_Eq_Int()), VUX::Record::static_fun<&neInt>.value()));
    EXPECT_THROW(op_eq_eq(vt::failing()), rts::Exception);
    EXPECT_EQ(intOf(ip(rts::delay([] { return I_hash(3); }))), 3);
}

TEST(Connectives, EvaluateTheSecondOperandOnlyWhenItDecides) {
    EXPECT_TRUE(same(op_amp_amp(False(), vt::failing()), False()));
    EXPECT_TRUE(same(op_bar_bar(True(), vt::failing()), True()));
    EXPECT_TRUE(same(op_amp_amp(True(), False()), False()));
    EXPECT_TRUE(same(op_bar_bar(False(), True()), True()));
    EXPECT_THROW(op_amp_amp(vt::failing(), False()), rts::Exception);
    EXPECT_TRUE(same(not_(rts::delay([] { return True(); })), False()));
}

// A type whose == says True for every pair, with a <= that is never True: the default compare
// asks == first and so answers EQ.
TEST(Defaults, CompareCallsEqualityFirst) {
    Value always = rts::fun<2>([](const Value&, const Value&) { return True(); });
    Value never = rts::fun<2>([](const Value&, const Value&) { return False(); });
    Value dEq = eqRecordFrom(always, Value());
    Value dOrd = ordRecordFrom(dEq, Value(), never);
    EXPECT_EQ(cmp(dOrd, I_hash(1), I_hash(2)), EQ_tag);
    EXPECT_FALSE(ne(dEq, I_hash(1), I_hash(2)));
    // The named defaults, through a record whose == and <= are those above.
    Value record = C_Ord(dEq, never, never, never, never, never, never, never);
    EXPECT_EQ(rts::force(default_compare(record, I_hash(1), I_hash(2)))->tag, EQ_tag);
}

TEST(Defaults, OrdRecordFromCompareFillsTheRest) {
    Value dOrd = ordRecordFrom(inst_Eq_Int(), VUX::Record::static_fun<&compareInt>.value(), Value());
    Value one = I_hash(1), two = I_hash(2), again = I_hash(1);
    EXPECT_TRUE(lt(dOrd, one, two));
    EXPECT_FALSE(lt(dOrd, two, one));
    EXPECT_TRUE(le(dOrd, one, again));
    EXPECT_TRUE(gt(dOrd, two, one));
    EXPECT_TRUE(ge(dOrd, one, again));
    EXPECT_TRUE(same(mx(dOrd, one, again), again)) << "max gives the second operand on a tie";
    EXPECT_TRUE(same(mn(dOrd, one, again), one)) << "min gives the first operand on a tie";
    Value neOnly = eqRecordFrom(Value(), VUX::Record::static_fun<&neInt>.value());
    EXPECT_TRUE(eq(neOnly, one, again));
    EXPECT_TRUE(isTrue(default_op_eq_eq(neOnly, one, again)));
    EXPECT_TRUE(isTrue(default_op_slash_eq(inst_Eq_Int(), one, two)));
}

TEST(Scalars, IntWordAndCharOrders) {
    EXPECT_TRUE(lt(inst_Ord_Int(), I_hash(-1), I_hash(1)));
    EXPECT_FALSE(lt(inst_Ord_Word(), W_hash(~uint64_t{0}), W_hash(1))) << "Word is unsigned";
    EXPECT_TRUE(isTrue(ltInt(I_hash(-1), I_hash(1))));
    EXPECT_FALSE(isTrue(ltWord(W_hash(~uint64_t{0}), W_hash(1))));
    EXPECT_EQ(compareWord_hash(~uint64_t{0}, 1)->tag, GT_tag);
    EXPECT_EQ(compareInt_hash(-1, 1)->tag, LT_tag);
    EXPECT_EQ(cmp(inst_Ord_Char(), C_hash(0x10FFFF), C_hash('A')), GT_tag);
    EXPECT_TRUE(eq(inst_Eq_Char(), C_hash('x'), C_hash('x')));
    // A character holds a whole machine word, compared unsigned: the UTF-8 decoder's -4096 (from the
    // bytes 80 80) comes after every code point.
    Value negative = VUX::CString::unpackCStringUtf8_hash("\x80\x80");
    EXPECT_EQ(cmp(inst_Ord_Char(), rts::field(negative, 0), C_hash(0x10FFFF)), GT_tag);
    EXPECT_EQ(cmp(inst_Ord_List_Char(), negative, vt::str("z")), GT_tag);
    EXPECT_FALSE(eq(inst_Eq_Char(), rts::field(negative, 0), C_hash(0xFFFFF000)));
    // Ties: max gives the second operand, min the first (the operands themselves).
    Value a = I_hash(5), b = I_hash(5);
    EXPECT_TRUE(same(mx(inst_Ord_Int(), a, b), b));
    EXPECT_TRUE(same(mn(inst_Ord_Int(), a, b), a));
    EXPECT_TRUE(same(mx(inst_Ord_Word(), W_hash(1), b = W_hash(1)), b));
    // Both operands are evaluated.
    EXPECT_THROW(eqInt(I_hash(1), vt::failing()), rts::Exception);
}

TEST(Scalars, BoolOrderingAndUnit) {
    EXPECT_TRUE(lt(inst_Ord_Bool(), False(), True()));
    EXPECT_TRUE(same(mx(inst_Ord_Bool(), True(), False()), True()));
    EXPECT_TRUE(same(mn(inst_Ord_Bool(), True(), False()), False()));
    EXPECT_EQ(cmp(inst_Ord_Ordering(), GT(), LT()), GT_tag);
    EXPECT_TRUE(lt(inst_Ord_Ordering(), LT(), EQ()));
    Value u = VUX::Tuple::Unit();
    EXPECT_TRUE(eq(inst_Eq_Unit(), u, u));
    EXPECT_FALSE(ne(inst_Eq_Unit(), u, u));
    EXPECT_TRUE(ge(inst_Ord_Unit(), u, u));
    EXPECT_FALSE(gt(inst_Ord_Unit(), u, u));
    EXPECT_EQ(cmp(inst_Ord_Unit(), u, u), EQ_tag);
    EXPECT_THROW(eq(inst_Eq_Unit(), u, vt::failing()), rts::Exception);
}

// NaN and signed zero: which operand max and min return, and the ordered comparisons.
TEST(Scalars, FloatingPointNaNAndSignedZero) {
    struct Row {
        double x, y;
        uint8_t compare;
        bool eq, lt, le, gt, ge;
        bool max_is_x, min_is_x;
    };
    const Row rows[] = {
        {kNaN, 1.0, GT_tag, false, false, false, false, false, true, false},
        {1.0, kNaN, GT_tag, false, false, false, false, false, true, false},
        {kNaN, kNaN, GT_tag, false, false, false, false, false, true, false},
        {0.0, -0.0, EQ_tag, true, false, true, false, true, false, true},
        {-0.0, 0.0, EQ_tag, true, false, true, false, true, false, true},
        {1.0, 2.0, LT_tag, false, true, true, false, false, false, true},
    };
    for (bool single : {false, true}) {
        Value dEq = single ? inst_Eq_Float() : inst_Eq_Double();
        Value dOrd = single ? inst_Ord_Float() : inst_Ord_Double();
        for (const Row& r : rows) {
            SCOPED_TRACE(std::to_string(r.x) + " vs " + std::to_string(r.y) + (single ? " Float" : " Double"));
            Value x = single ? F_hash(static_cast<float>(r.x)) : D_hash(r.x);
            Value y = single ? F_hash(static_cast<float>(r.y)) : D_hash(r.y);
            EXPECT_EQ(cmp(dOrd, x, y), r.compare);
            EXPECT_EQ(eq(dEq, x, y), r.eq);
            EXPECT_EQ(ne(dEq, x, y), !r.eq);
            EXPECT_EQ(lt(dOrd, x, y), r.lt);
            EXPECT_EQ(le(dOrd, x, y), r.le);
            EXPECT_EQ(gt(dOrd, x, y), r.gt);
            EXPECT_EQ(ge(dOrd, x, y), r.ge);
            EXPECT_TRUE(same(mx(dOrd, x, y), r.max_is_x ? x : y));
            EXPECT_TRUE(same(mn(dOrd, x, y), r.min_is_x ? x : y));
        }
    }
    // max 0.0 (-0.0) is -0.0: the sign shows which operand came back.
    EXPECT_TRUE(std::signbit(doubleOf(mx(inst_Ord_Double(), D_hash(0.0), D_hash(-0.0)))));
    EXPECT_FALSE(std::signbit(doubleOf(mn(inst_Ord_Double(), D_hash(0.0), D_hash(-0.0)))));
}

// ---------------------------------------------------------------------------------------------
// Lists

TEST(Lists, CharacterStrings) {
    struct Row {
        std::string x, y;
        uint8_t compare;
    };
    const Row rows[] = {{"", "", EQ_tag},     {"ab", "abc", LT_tag}, {"b", "abc", GT_tag},
                        {"abc", "abc", EQ_tag}, {"abd", "abc", GT_tag}, {"", "a", LT_tag}};
    Value generic_eq = inst_Eq_List(inst_Eq_Char());
    Value generic_ord = inst_Ord_List(inst_Ord_Char());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.x + " vs " + r.y);
        Value x = vt::str(r.x), y = vt::str(r.y);
        for (const Value& dOrd : {inst_Ord_List_Char(), generic_ord}) {
            EXPECT_EQ(cmp(dOrd, x, y), r.compare);
            EXPECT_EQ(lt(dOrd, x, y), r.compare == LT_tag);
            EXPECT_EQ(le(dOrd, x, y), r.compare != GT_tag);
            EXPECT_EQ(gt(dOrd, x, y), r.compare == GT_tag);
            EXPECT_EQ(ge(dOrd, x, y), r.compare != LT_tag);
        }
        for (const Value& dEq : {inst_Eq_List_Char(), generic_eq}) {
            EXPECT_EQ(eq(dEq, x, y), r.compare == EQ_tag);
            EXPECT_EQ(ne(dEq, x, y), r.compare != EQ_tag);
        }
    }
    // Code points compare unsigned: U+10FFFF comes after 'z'.
    EXPECT_EQ(cmp(inst_Ord_List_Char(), vt::utf8("\xF4\x8F\xBF\xBF"), vt::str("z")), GT_tag);
    // max of two equal strings is the second operand, min the first.
    Value a = vt::str("same"), b = vt::str("same");
    EXPECT_TRUE(same(mx(inst_Ord_List_Char(), a, b), b));
    EXPECT_TRUE(same(mn(inst_Ord_List_Char(), a, b), a));
}

TEST(Lists, IntsAndStringLists) {
    EXPECT_EQ(cmp(inst_Ord_List_Int(), vt::ints({-1}), vt::ints({1})), LT_tag);
    EXPECT_EQ(cmp(inst_Ord_List(inst_Ord_Int()), vt::ints({-1}), vt::ints({1})), LT_tag);
    EXPECT_TRUE(eq(inst_Eq_List_Int(), vt::ints({1, 2, 3}), vt::ints({1, 2, 3})));
    Value abc = vt::list({vt::str("a"), vt::str("bc")});
    Value abd = vt::list({vt::str("a"), vt::str("bd")});
    EXPECT_EQ(cmp(inst_Ord_List_List_Char(), abc, abd), LT_tag);
    EXPECT_TRUE(eq(inst_Eq_List_List_Char(), abc, vt::list({vt::str("a"), vt::str("bc")})));
    EXPECT_FALSE(eq(inst_Eq_List_List_Char(), abc, abd));
}

// The walk stops at the first difference: the rest of the lists is never evaluated.
TEST(Lists, StopAtTheFirstDifference) {
    Value xs = vt::ints({1, 2});
    Value ys = Cons(I_hash(1), Cons(I_hash(3), vt::failing()));
    for (const Value& dEq : {inst_Eq_List_Int(), inst_Eq_List(inst_Eq_Int())}) EXPECT_FALSE(eq(dEq, xs, ys));
    for (const Value& dOrd : {inst_Ord_List_Int(), inst_Ord_List(inst_Ord_Int())})
        EXPECT_EQ(cmp(dOrd, xs, ys), LT_tag);
    // ... and elements after the difference are never compared either.
    Value zs = Cons(I_hash(9), Cons(vt::failing(), Nil()));
    EXPECT_FALSE(eq(inst_Eq_List(inst_Eq_Int()), vt::ints({1, 2}), zs));
}

TEST(Lists, DoubleElementsInheritTheNaNRules) {
    Value dOrd = inst_Ord_List(inst_Ord_Double());
    Value nan = vt::list({D_hash(kNaN)}), one = vt::list({D_hash(1.0)});
    EXPECT_EQ(cmp(dOrd, nan, one), GT_tag);
    EXPECT_TRUE(lt(dOrd, nan, one)) << "< tests compare [1.0] [NaN], which is GT too";
}

TEST(Lists, OrdRecordBuildsItsEqRecordOnceOnDemand) {
    Value dOrd = inst_Ord_List(inst_Ord_Int());
    const Value& field = rts::field(dOrd, C_Ord_class::Eq);
    EXPECT_FALSE(rts::is_evaluated(field));
    const Value& first = rts::force(field);
    EXPECT_TRUE(same(first, rts::force(field)));
    EXPECT_TRUE(eq(first, vt::ints({4, 5}), vt::ints({4, 5})));
    EXPECT_TRUE(same(rts::field(inst_Ord_List_Char(), C_Ord_class::Eq), inst_Eq_List_Char()));
}

// Ten million cells compared in constant stack.
TEST(Lists, LongListsAreComparedByALoop) {
    constexpr int64_t kLength = 10'000'000;
    Value xs = Nil();
    Value elem = I_hash(7);
    for (int64_t i = 0; i < kLength; ++i) xs = Cons(elem, std::move(xs));
    Value ys = Cons(elem, Nil());
    for (int64_t i = 1; i < kLength; ++i) ys = Cons(elem, std::move(ys));
    EXPECT_TRUE(eq(inst_Eq_List(inst_Eq_Int()), xs, ys));
    EXPECT_EQ(cmp(inst_Ord_List(inst_Ord_Int()), xs, ys), EQ_tag);
    EXPECT_TRUE(eq(inst_Eq_List_Int(), xs, ys));
}

// ---------------------------------------------------------------------------------------------
// Solo

TEST(SoloInstances, PassTheFieldsUnevaluated) {
    using VUX::Tuple::MkSolo;
    // An element record that looks at neither operand.
    Value dEq = C_Eq(rts::fun<2>([](const Value&, const Value&) { return True(); }),
                     rts::fun<2>([](const Value&, const Value&) { return False(); }));
    EXPECT_TRUE(eq(inst_Eq_Solo(dEq), MkSolo(vt::failing()), MkSolo(vt::failing())));
    EXPECT_FALSE(ne(inst_Eq_Solo(dEq), MkSolo(vt::failing()), MkSolo(vt::failing())));
    EXPECT_THROW(eq(inst_Eq_Solo(dEq), vt::failing(), MkSolo(I_hash(1))), rts::Exception);

    Value dOrd = inst_Ord_Solo(inst_Ord_Int());
    Value one = MkSolo(I_hash(1)), two = MkSolo(I_hash(2)), again = MkSolo(I_hash(1));
    EXPECT_EQ(cmp(dOrd, one, two), LT_tag);
    EXPECT_TRUE(lt(dOrd, one, two));
    EXPECT_TRUE(gt(dOrd, two, one));
    EXPECT_TRUE(le(dOrd, one, again));
    EXPECT_TRUE(ge(dOrd, one, again));
    EXPECT_TRUE(same(mx(dOrd, one, again), again));
    EXPECT_TRUE(same(mn(dOrd, one, again), one));
    EXPECT_TRUE(same(mx(dOrd, two, one), two));
    EXPECT_TRUE(eq(rts::force(rts::field(dOrd, C_Ord_class::Eq)), one, again));
}

// ---------------------------------------------------------------------------------------------
// Type representations

TEST(TypeRepInstances, FingerprintDecidesTyConEquality) {
    Value original = tcBool.value();
    // The same fingerprint under another name and module: the same type constructor.
    Value copy = TyCon(tcBool.fp_high, tcBool.fp_low, VUX::Classes::trModule.value(), TrNameD(vt::str("Other")), 3,
                       Value::adopt(const_cast<rts::Object*>(kindType)));
    EXPECT_TRUE(eq(inst_Eq_TyCon(), original, copy));
    EXPECT_EQ(cmp(inst_Ord_TyCon(), original, copy), EQ_tag);
    EXPECT_FALSE(eq(inst_Eq_TyCon(), original, tcInt.value()));

    // Ordered by (high, low), unsigned; on a tie max gives the second operand.
    Value k = Value::adopt(const_cast<rts::Object*>(kindType));
    Value m = VUX::Classes::trModule.value();
    Value low = TyCon(1, ~uint64_t{0}, m, TrNameD(Nil()), 0, k);
    Value high = TyCon(~uint64_t{0}, 0, m, TrNameD(Nil()), 0, k);
    Value high2 = TyCon(~uint64_t{0}, 1, m, TrNameD(Nil()), 0, k);
    EXPECT_EQ(cmp(inst_Ord_TyCon(), low, high), LT_tag);
    EXPECT_EQ(cmp(inst_Ord_TyCon(), high2, high), GT_tag);
    EXPECT_TRUE(lt(inst_Ord_TyCon(), high, high2));
    EXPECT_TRUE(same(mx(inst_Ord_TyCon(), original, copy), copy));
    EXPECT_TRUE(same(mn(inst_Ord_TyCon(), original, copy), original));
}

TEST(TypeRepInstances, TrNameComparesStaticNamesByAddress) {
    static const char first[] = "Name";
    static const char second[] = "Name";
    Value s1 = TrNameS(first), s2 = TrNameS(second);
    EXPECT_TRUE(eq(inst_Eq_TrName(), s1, TrNameS(first)));
    EXPECT_FALSE(eq(inst_Eq_TrName(), s1, s2)) << "same text at another address";
    EXPECT_TRUE(eq(inst_Eq_TrName(), s1, TrNameD(vt::str("Name"))));
    EXPECT_TRUE(eq(inst_Eq_TrName(), TrNameD(vt::str("Name")), s2));
    EXPECT_FALSE(eq(inst_Eq_TrName(), TrNameD(vt::str("Nam")), s2));
    EXPECT_TRUE(eq(inst_Eq_TrName(), TrNameD(vt::str("x")), TrNameD(vt::str("x"))));
    // A static name record compared with itself.
    Value name = tyConName(tcBool.value());
    EXPECT_TRUE(eq(inst_Eq_TrName(), name, name));
    EXPECT_TRUE(eq(inst_Eq_Module(), VUX::Types::trModule.value(), VUX::Types::trModule.value()));
}

TEST(TypeRepInstances, ModulesWithDifferentPackagesNeverLookAtTheModuleName) {
    Value a = Module(TrNameD(vt::str("pkg-a")), vt::failing());
    Value b = Module(TrNameD(vt::str("pkg-b")), vt::failing());
    EXPECT_FALSE(eq(inst_Eq_Module(), a, b));
    EXPECT_TRUE(ne(inst_Eq_Module(), a, b));
    Value c = Module(TrNameD(vt::str("vux-prim")), TrNameD(vt::str("VUX.Types")));
    EXPECT_TRUE(eq(inst_Eq_Module(), c, VUX::Types::trModule.value()));
    EXPECT_FALSE(ne(inst_Eq_Module(), c, VUX::Types::trModule.value()));
    EXPECT_FALSE(eq(inst_Eq_Module(), c, VUX::Tuple::trModule.value()));
}
