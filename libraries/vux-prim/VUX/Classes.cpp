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

using Record::fn;
using Record::ref;

namespace {
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
    return fromBool(!test(op_slash_eq(dEq), x, y));
}
Value default_op_slash_eq(const Value& dEq, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!test(op_eq_eq(dEq), x, y));
}
Value default_compare(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    if (test(op_eq_eq(Ord_Eq(dOrd)), x, y)) return EQ();
    return test(op_lt_eq(dOrd), x, y) ? LT() : GT();
}
Value default_op_lt_eq(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(call(compare(dOrd), x, y)->tag != Types::GT_tag);
}
Value default_op_gt_eq(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return call(op_lt_eq(dOrd), y, x);
}
Value default_op_lt(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!test(op_lt_eq(dOrd), y, x));
}
Value default_op_gt(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return fromBool(!test(op_lt_eq(dOrd), x, y));
}
Value default_max(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return test(op_lt_eq(dOrd), x, y) ? evaluated(y) : evaluated(x);
}
Value default_min(const Value& dOrd, const Value& x, const Value& y) {
    VUX_FUNCTION;
    return test(op_lt_eq(dOrd), x, y) ? evaluated(x) : evaluated(y);
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
            if (test(op_eq_eq(dEq), x, y)) return EQ();
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

// The nine comparisons of scalar type Ty, one exported function each (so each enters its own cost
// centre, named after it). Both operands are read as T by `of`, x before y.
#define VUX_SCALAR_OP(name, T, of, result)                                                                  \
    Value name(const Value& x, const Value& y) {                                                            \
        VUX_FUNCTION;                                                                                       \
        T a = of(x), b = of(y);                                                                             \
        return result;                                                                                      \
    }
#define VUX_SCALAR_COMPARISONS(Ty, T, of)                                                                   \
    VUX_SCALAR_OP(lt##Ty, T, of, fromBool(a < b))                                                           \
    VUX_SCALAR_OP(le##Ty, T, of, fromBool(a <= b))                                                          \
    VUX_SCALAR_OP(gt##Ty, T, of, fromBool(a > b))                                                           \
    VUX_SCALAR_OP(ge##Ty, T, of, fromBool(a >= b))
// A total order: `compare_` orders the unboxed values; on a tie max gives y and min gives x.
#define VUX_TOTAL_ORDER_OPS(Ty, T, of, compare_)                                                            \
    VUX_SCALAR_OP(eq##Ty, T, of, fromBool(a == b))                                                          \
    VUX_SCALAR_OP(ne##Ty, T, of, fromBool(a != b))                                                          \
    VUX_SCALAR_OP(compare##Ty, T, of, compare_(a, b))                                                       \
    VUX_SCALAR_COMPARISONS(Ty, T, of)                                                                       \
    VUX_SCALAR_OP(max##Ty, T, of, evaluated(a > b ? x : y))                                                 \
    VUX_SCALAR_OP(min##Ty, T, of, evaluated(a > b ? y : x))
// IEEE values: ordered comparisons, false when either operand is NaN; /= is the negation of ==.
// compare falls through to GT for NaN; max and min pick by y >= x, so a NaN gives x for max and
// y for min.
#define VUX_IEEE_ORDER_OPS(Ty, T, of)                                                                       \
    VUX_SCALAR_OP(eq##Ty, T, of, fromBool(a == b))                                                          \
    VUX_SCALAR_OP(ne##Ty, T, of, fromBool(!(a == b)))                                                       \
    VUX_SCALAR_OP(compare##Ty, T, of, ieee_compare(a, b))                                                   \
    VUX_SCALAR_COMPARISONS(Ty, T, of)                                                                       \
    VUX_SCALAR_OP(max##Ty, T, of, evaluated(b >= a ? y : x))                                                \
    VUX_SCALAR_OP(min##Ty, T, of, evaluated(b >= a ? x : y))

namespace {
// Characters: equality is tested first. Enters no cost centre of its own (unlike compareWord#).
RTS_INLINE Value compare_char(uint64_t a, uint64_t b) { return a == b ? EQ() : a > b ? GT() : LT(); }
template <class T>
RTS_INLINE Value ieee_compare(T a, T b) { return a < b ? LT() : a == b ? EQ() : GT(); }
}  // namespace

// Int: signed 64-bit. Word: unsigned 64-bit. Char: code points compared unsigned.
VUX_TOTAL_ORDER_OPS(Int, int64_t, int_of, compareInt_hash)
VUX_TOTAL_ORDER_OPS(Word, uint64_t, word_of, compareWord_hash)
VUX_TOTAL_ORDER_OPS(Char, uint64_t, char_of, compare_char)

VUX_IEEE_ORDER_OPS(Float, float, float_of)
VUX_IEEE_ORDER_OPS(Double, double, double_of)

// Bool and Ordering: by constructor index.
VUX_TOTAL_ORDER_OPS(Bool, uint8_t, ctor_index, compareWord_hash)
VUX_TOTAL_ORDER_OPS(Ordering, uint8_t, ctor_index, compareWord_hash)
#undef VUX_IEEE_ORDER_OPS
#undef VUX_TOTAL_ORDER_OPS
#undef VUX_SCALAR_COMPARISONS
#undef VUX_SCALAR_OP

// Unit: always equal; every operation still evaluates both operands.
Value eqUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return True(); }
Value neUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return False(); }
Value compareUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return EQ(); }
Value ltUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return False(); }
Value maxminUnit(const Value& x, const Value& y) { VUX_FUNCTION; rts::force(x); rts::force(y); return Tuple::Unit(); }

// ---------------------------------------------------------------------------------------------
// Static records

#define VUX_SCALAR_INSTANCES(ty)                                                                     \
    constinit const Record::Static<C_Eq_class> inst_Eq_##ty##_closure{fn<&eq##ty>, fn<&ne##ty>};     \
    constinit const Record::Static<C_Ord_class> inst_Ord_##ty##_closure{ref(inst_Eq_##ty##_closure), \
                                                                        fn<&compare##ty>,            \
                                                                        fn<&lt##ty>,                 \
                                                                        fn<&le##ty>,                 \
                                                                        fn<&gt##ty>,                 \
                                                                        fn<&ge##ty>,                 \
                                                                        fn<&max##ty>,                \
                                                                        fn<&min##ty>};

VUX_SCALAR_INSTANCES(Int)
VUX_SCALAR_INSTANCES(Word)
VUX_SCALAR_INSTANCES(Char)
VUX_SCALAR_INSTANCES(Float)
VUX_SCALAR_INSTANCES(Double)
VUX_SCALAR_INSTANCES(Bool)
VUX_SCALAR_INSTANCES(Ordering)
#undef VUX_SCALAR_INSTANCES

// Unit: its equality serves as >=, and one operation serves as both max and min.
constinit const Record::Static<C_Eq_class> inst_Eq_Unit_closure{fn<&eqUnit>, fn<&neUnit>};
constinit const Record::Static<C_Ord_class> inst_Ord_Unit_closure{
    ref(inst_Eq_Unit_closure), fn<&compareUnit>, fn<&ltUnit>, fn<&eqUnit>, fn<&ltUnit>, fn<&eqUnit>,
    fn<&maxminUnit>,           fn<&maxminUnit>};

// ---------------------------------------------------------------------------------------------
// Type representations of the classes

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Classes");
namespace {
constinit const rts::StaticCon<2> kindTypeToConstraint{Types::KindRepFun_tag, rts::ref_slot(Types::kindType),
                                                       rts::ref_slot(Types::kindConstraint)};
}
VUX_DEFINE_TYCON(tcEq, trModule, "Eq", 0, &kindTypeToConstraint.header);
VUX_DEFINE_TYCON(tcOrd, trModule, "Ord", 0, &kindTypeToConstraint.header);
VUX_DEFINE_TYCON(tcIP, trModule, "IP", 0, Types::kindConstraint);
}  // namespace VUX::Classes
