// Eq and Ord records, defaults, Boolean connectives and the scalar instances.
#include "VUX/Classes.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Classes");

namespace VUX::Classes {

using Types::EQ;
using Types::False;
using Types::fromBool;
using Types::GT;
using Types::isTrue;
using Types::LT;
using Types::True;

namespace {
constexpr rts::Slot ref(const rts::StaticFun& f) { return rts::ref_slot(f.object()); }
constexpr rts::Slot ref(const rts::Object* o) { return rts::ref_slot(o); }

// The unboxed contents of an operand, evaluating it. Callers read x before y by declaring them in
// that order.
RTS_INLINE int64_t int_of(const Value& v) { return Types::intOf(rts::force(v)); }
RTS_INLINE uint64_t word_of(const Value& v) { return Types::wordOf(rts::force(v)); }
// A character is compared as the whole unsigned machine word that holds it.
RTS_INLINE uint64_t char_of(const Value& v) { return rts::word(rts::force(v), 0); }
RTS_INLINE float float_of(const Value& v) { return Types::floatOf(rts::force(v)); }
RTS_INLINE double double_of(const Value& v) { return Types::doubleOf(rts::force(v)); }
RTS_INLINE uint8_t ctor_index(const Value& v) { return rts::force(v)->tag; }
RTS_INLINE Value evaluated(const Value& v) { return Value(rts::force(v)); }
RTS_INLINE bool test(const Value& f, const Value& x, const Value& y) {
    Value r = rts::apply(f, x, y);
    return isTrue(rts::force(r));
}
RTS_INLINE uint8_t compare_tag(const Value& f, const Value& x, const Value& y) {
    Value r = rts::apply(f, x, y);
    return rts::force(r)->tag;
}
}  // namespace

Value ip(const Value& d) { VUX_FUNCTION; return evaluated(d); }

Value op_amp_amp(const Value& x, const Value& y) { VUX_SCC("&&"); return isTrue(rts::force(x)) ? evaluated(y) : False(); }
Value op_bar_bar(const Value& x, const Value& y) { VUX_SCC("||"); return isTrue(rts::force(x)) ? True() : evaluated(y); }
Value not_(const Value& x) { VUX_SCC("not"); return fromBool(!isTrue(rts::force(x))); }

// ---------------------------------------------------------------------------------------------
// Defaults

Value default_op_eq_eq(const Value& dEq, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!call_test(dEq, Eq_op_slash_eq, x, y));
}
Value default_op_slash_eq(const Value& dEq, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!call_test(dEq, Eq_op_eq_eq, x, y));
}
Value default_compare(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    if (call_test(p1Ord(dOrd), Eq_op_eq_eq, x, y)) return EQ();
    return call_test(dOrd, Ord_op_lt_eq, x, y) ? LT() : GT();
}
Value default_op_lt_eq(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(call_op(dOrd, Ord_compare, x, y)->tag != Types::GT_tag);
}
Value default_op_gt_eq(const Value& dOrd, const Value& x, const Value& y) { VUX_FUNCTION; return call_op(dOrd, Ord_op_lt_eq, y, x); }
Value default_op_lt(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!call_test(dOrd, Ord_op_lt_eq, y, x));
}
Value default_op_gt(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!call_test(dOrd, Ord_op_lt_eq, x, y));
}
Value default_max(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return call_test(dOrd, Ord_op_lt_eq, x, y) ? evaluated(y) : evaluated(x);
}
Value default_min(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return call_test(dOrd, Ord_op_lt_eq, x, y) ? evaluated(x) : evaluated(y);
}

Value eqRecordFrom(Value eq, Value ne) {
    VUX_FUNCTION;
    if (!eq) eq = rts::fun<2>([ne](const Value& x, const Value& y) { return fromBool(!test(ne, x, y)); });
    if (!ne) ne = rts::fun<2>([eq](const Value& x, const Value& y) { return fromBool(!test(eq, x, y)); });
    return C_Eq(std::move(eq), std::move(ne));
}

Value ordRecordFrom(Value dEq, Value cmp, Value le) {
    VUX_FUNCTION;
    if (!le) {
        le = rts::fun<2>(
            [cmp](const Value& x, const Value& y) { return fromBool(compare_tag(cmp, x, y) != Types::GT_tag); });
    }
    if (!cmp) {
        cmp = rts::fun<2>([dEq, le](const Value& x, const Value& y) {
            if (call_test(dEq, Eq_op_eq_eq, x, y)) return EQ();
            return test(le, x, y) ? LT() : GT();
        });
    }
    auto lt = rts::fun<2>([le](const Value& x, const Value& y) { return fromBool(!test(le, y, x)); });
    auto gt = rts::fun<2>([le](const Value& x, const Value& y) { return fromBool(!test(le, x, y)); });
    auto ge = rts::fun<2>([le](const Value& x, const Value& y) { return fromBool(test(le, y, x)); });
    auto mx = rts::fun<2>([le](const Value& x, const Value& y) { return test(le, x, y) ? evaluated(y) : evaluated(x); });
    auto mn = rts::fun<2>([le](const Value& x, const Value& y) { return test(le, x, y) ? evaluated(x) : evaluated(y); });
    return C_Ord(std::move(dEq), std::move(cmp), std::move(lt), std::move(le), std::move(gt), std::move(ge),
                 std::move(mx), std::move(mn));
}

// ---------------------------------------------------------------------------------------------
// Scalar operations

Value compareInt_hash(int64_t x, int64_t y) { VUX_SCC("compareInt#"); return x < y ? LT() : x == y ? EQ() : GT(); }
Value compareWord_hash(uint64_t x, uint64_t y) { VUX_SCC("compareWord#"); return x < y ? LT() : x == y ? EQ() : GT(); }

// Int: signed 64-bit.
Value eqInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a == b); }
Value neInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a != b); }
Value gtInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a > b); }
Value geInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a >= b); }
Value ltInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a < b); }
Value leInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return fromBool(a <= b); }
Value compareInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return compareInt_hash(a, b); }
Value maxInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return evaluated(a > b ? x : y); }
Value minInt(const Value& x, const Value& y) { VUX_FUNCTION; int64_t a = int_of(x), b = int_of(y); return evaluated(a > b ? y : x); }

// Word: unsigned 64-bit.
Value eqWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a == b); }
Value neWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a != b); }
Value gtWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a > b); }
Value geWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a >= b); }
Value ltWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a < b); }
Value leWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return fromBool(a <= b); }
Value compareWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return compareWord_hash(a, b); }
Value maxWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return evaluated(a > b ? x : y); }
Value minWord(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = word_of(x), b = word_of(y); return evaluated(a > b ? y : x); }

// Char: code points compared unsigned; compare tests equality first.
Value eqChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a == b); }
Value neChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a != b); }
Value compareChar(const Value& x, const Value& y) {
    VUX_FUNCTION;
    uint64_t a = char_of(x), b = char_of(y);
    return a == b ? EQ() : a > b ? GT() : LT();
}
Value ltChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a < b); }
Value leChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a <= b); }
Value gtChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a > b); }
Value geChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return fromBool(a >= b); }
Value maxChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return evaluated(a > b ? x : y); }
Value minChar(const Value& x, const Value& y) { VUX_FUNCTION; uint64_t a = char_of(x), b = char_of(y); return evaluated(a > b ? y : x); }

// Float and Double: ordered IEEE comparisons, false when either operand is NaN. compare falls
// through to GT for NaN; max and min pick by y >= x, so a NaN gives x for max and y for min.
template <class T>
RTS_INLINE Value ieee_compare(T a, T b) { return a < b ? LT() : a == b ? EQ() : GT(); }

Value eqFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(a == b); }
Value neFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(!(a == b)); }
Value compareFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return ieee_compare(a, b); }
Value ltFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(a < b); }
Value leFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(a <= b); }
Value gtFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(a > b); }
Value geFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return fromBool(a >= b); }
Value maxFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return evaluated(b >= a ? y : x); }
Value minFloat(const Value& x, const Value& y) { VUX_FUNCTION; float a = float_of(x), b = float_of(y); return evaluated(b >= a ? x : y); }

Value eqDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(a == b); }
Value neDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(!(a == b)); }
Value compareDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return ieee_compare(a, b); }
Value ltDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(a < b); }
Value leDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(a <= b); }
Value gtDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(a > b); }
Value geDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return fromBool(a >= b); }
Value maxDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return evaluated(b >= a ? y : x); }
Value minDouble(const Value& x, const Value& y) { VUX_FUNCTION; double a = double_of(x), b = double_of(y); return evaluated(b >= a ? x : y); }

// Bool and Ordering: by constructor index. On a tie max gives the second operand, min the first.
Value eqBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a == b); }
Value neBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a != b); }
Value compareBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return compareWord_hash(a, b); }
Value ltBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a < b); }
Value leBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a <= b); }
Value gtBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a > b); }
Value geBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a >= b); }
Value maxBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return evaluated(a > b ? x : y); }
Value minBool(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return evaluated(a > b ? y : x); }

Value eqOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a == b); }
Value neOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a != b); }
Value compareOrdering(const Value& x, const Value& y) {
    VUX_FUNCTION;
    uint8_t a = ctor_index(x), b = ctor_index(y);
    return compareWord_hash(a, b);
}
Value ltOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a < b); }
Value leOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a <= b); }
Value gtOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a > b); }
Value geOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return fromBool(a >= b); }
Value maxOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return evaluated(a > b ? x : y); }
Value minOrdering(const Value& x, const Value& y) { VUX_FUNCTION; uint8_t a = ctor_index(x), b = ctor_index(y); return evaluated(a > b ? y : x); }

// Unit: always equal; every operation still evaluates both operands.
Value eqUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return True(); }
Value neUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return False(); }
Value compareUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return EQ(); }
Value ltUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return False(); }
Value maxminUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return Tuple::Unit(); }

// ---------------------------------------------------------------------------------------------
// Static records

#define VUX_STATIC_OP(fn) constinit const rts::StaticFun fn##_fun{rts::static_fun_info<&fn>};
#define VUX_SCALAR_INSTANCES(ty)                                                                            \
    VUX_STATIC_OP(eq##ty)                                                                                   \
    VUX_STATIC_OP(ne##ty)                                                                                   \
    VUX_STATIC_OP(compare##ty)                                                                              \
    VUX_STATIC_OP(lt##ty)                                                                                   \
    VUX_STATIC_OP(le##ty)                                                                                   \
    VUX_STATIC_OP(gt##ty)                                                                                   \
    VUX_STATIC_OP(ge##ty)                                                                                   \
    VUX_STATIC_OP(max##ty)                                                                                  \
    VUX_STATIC_OP(min##ty)                                                                                  \
    constinit const rts::StaticCon<2> inst_Eq_##ty##_closure{C_Eq_tag, ref(eq##ty##_fun), ref(ne##ty##_fun)}; \
    constinit const rts::StaticCon<8> inst_Ord_##ty##_closure{                                              \
        C_Ord_tag,          ref(&inst_Eq_##ty##_closure.header), ref(compare##ty##_fun), ref(lt##ty##_fun), \
        ref(le##ty##_fun),  ref(gt##ty##_fun),                   ref(ge##ty##_fun),      ref(max##ty##_fun), \
        ref(min##ty##_fun)};

VUX_SCALAR_INSTANCES(Int)
VUX_SCALAR_INSTANCES(Word)
VUX_SCALAR_INSTANCES(Char)
VUX_SCALAR_INSTANCES(Float)
VUX_SCALAR_INSTANCES(Double)
VUX_SCALAR_INSTANCES(Bool)
VUX_SCALAR_INSTANCES(Ordering)

// Unit: its equality serves as >=, and one operation serves as both max and min.
VUX_STATIC_OP(eqUnit)
VUX_STATIC_OP(neUnit)
VUX_STATIC_OP(compareUnit)
VUX_STATIC_OP(ltUnit)
VUX_STATIC_OP(maxminUnit)
constinit const rts::StaticCon<2> inst_Eq_Unit_closure{C_Eq_tag, ref(eqUnit_fun), ref(neUnit_fun)};
constinit const rts::StaticCon<8> inst_Ord_Unit_closure{
    C_Ord_tag,      ref(&inst_Eq_Unit_closure.header), ref(compareUnit_fun), ref(ltUnit_fun), ref(eqUnit_fun),
    ref(ltUnit_fun), ref(eqUnit_fun),                  ref(maxminUnit_fun),  ref(maxminUnit_fun)};

// ---------------------------------------------------------------------------------------------
// Type representations of the classes

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Classes");
namespace {
constinit const rts::StaticCon<2> kindTypeToConstraint{Types::KindRepFun_tag, ref(Types::kindType),
                                                       ref(Types::kindConstraint)};
}
VUX_DEFINE_TYCON(tcEq, trModule, "Eq", 0, &kindTypeToConstraint.header);
VUX_DEFINE_TYCON(tcOrd, trModule, "Ord", 0, &kindTypeToConstraint.header);
VUX_DEFINE_TYCON(tcIP, trModule, "IP", 0, Types::kindConstraint);
}  // namespace VUX::Classes
