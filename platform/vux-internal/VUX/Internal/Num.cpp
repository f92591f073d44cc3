#include "VUX/Internal/Num.h"

#include <cmath>

#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "VUX/Types.h"

namespace VUX::Internal::Num {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;
namespace I = VUX::Num::Integer;
namespace N = VUX::Num::Natural;

Value fromInteger(const Value& d, const Value& i) { return rts::apply(fromInteger_sel(d), i); }

namespace {

// One record per type from its C++ operations on unboxed values.
template <class T>
struct Ops;

template <>
struct Ops<int64_t> {
    static int64_t get(const Value& v) { return intOf(force(v)); }
    static Value box(int64_t x) { return I_hash(x); }
    static int64_t fromInteger(const Value& i) { return I::integerToInt_hash(i); }
};
template <>
struct Ops<uint64_t> {
    static uint64_t get(const Value& v) { return wordOf(force(v)); }
    static Value box(uint64_t x) { return W_hash(x); }
    static uint64_t fromInteger(const Value& i) { return I::integerToWord_hash(i); }
};
template <>
struct Ops<double> {
    static double get(const Value& v) { return doubleOf(force(v)); }
    static Value box(double x) { return D_hash(x); }
    static double fromInteger(const Value& i) { return I::integerToDouble_hash(i); }
};
template <>
struct Ops<float> {
    static float get(const Value& v) { return floatOf(force(v)); }
    static Value box(float x) { return F_hash(x); }
    static float fromInteger(const Value& i) { return I::integerToFloat_hash(i); }
};

// Machine integers wrap around (computed on the unsigned representation, so no overflow UB).
template <class T>
struct Machine {
    using O = Ops<T>;
    using U = std::make_unsigned_t<T>;
    static Value plus(const Value& a, const Value& b) { return O::box(static_cast<T>(U(O::get(a)) + U(O::get(b)))); }
    static Value minus(const Value& a, const Value& b) { return O::box(static_cast<T>(U(O::get(a)) - U(O::get(b)))); }
    static Value times(const Value& a, const Value& b) { return O::box(static_cast<T>(U(O::get(a)) * U(O::get(b)))); }
    static Value negate(const Value& a) { return O::box(static_cast<T>(U(0) - U(O::get(a)))); }
    static Value abs(const Value& a) {
        T x = O::get(a);
        return O::box(x < T(0) ? static_cast<T>(U(0) - U(x)) : x);
    }
    static Value signum(const Value& a) {
        T x = O::get(a);
        return O::box(static_cast<T>((x > T(0)) - (x < T(0))));
    }
    static Value fromInteger(const Value& i) { return O::box(O::fromInteger(i)); }
};

template <class T>
struct Ieee {
    using O = Ops<T>;
    static Value plus(const Value& a, const Value& b) { return O::box(O::get(a) + O::get(b)); }
    static Value minus(const Value& a, const Value& b) { return O::box(O::get(a) - O::get(b)); }
    static Value times(const Value& a, const Value& b) { return O::box(O::get(a) * O::get(b)); }
    static Value negate(const Value& a) { return O::box(-O::get(a)); }
    static Value abs(const Value& a) { return O::box(std::fabs(O::get(a))); }
    static Value signum(const Value& a) {
        T x = O::get(a);
        if (x > 0) return O::box(T(1));
        if (x < 0) return O::box(T(-1));
        return O::box(x);  // zeros keep their sign; NaN stays NaN
    }
    static Value fromInteger(const Value& i) { return O::box(O::fromInteger(i)); }
};

struct Big {
    static Value plus(const Value& a, const Value& b) { return I::integerAdd(a, b); }
    static Value minus(const Value& a, const Value& b) { return I::integerSub(a, b); }
    static Value times(const Value& a, const Value& b) { return I::integerMul(a, b); }
    static Value negate(const Value& a) { return I::integerNegate(a); }
    static Value abs(const Value& a) { return I::integerAbs(force(a)); }
    static Value signum(const Value& a) { return I::integerSignum(force(a)); }
    static Value fromInteger(const Value& i) { return force(i); }
};

struct Nat {
    static Value plus(const Value& a, const Value& b) { return N::naturalAdd(force(a), force(b)); }
    static Value minus(const Value& a, const Value& b) { return N::naturalSubThrow(force(a), force(b)); }
    static Value times(const Value& a, const Value& b) { return N::naturalMul(force(a), force(b)); }
    static Value negate(const Value& a) { return N::naturalNegate(force(a)); }
    static Value abs(const Value& a) { return force(a); }
    static Value signum(const Value& a) { return N::naturalSignum(force(a)); }
    static Value fromInteger(const Value& i) { return I::integerToNaturalThrow(force(i)); }
};

template <class K>
struct NumRecord {
    static constexpr rts::StaticFun plus{rts::static_fun_info<&K::plus>};
    static constexpr rts::StaticFun minus{rts::static_fun_info<&K::minus>};
    static constexpr rts::StaticFun times{rts::static_fun_info<&K::times>};
    static constexpr rts::StaticFun negate{rts::static_fun_info<&K::negate>};
    static constexpr rts::StaticFun abs{rts::static_fun_info<&K::abs>};
    static constexpr rts::StaticFun signum{rts::static_fun_info<&K::signum>};
    static constexpr rts::StaticFun fromInteger{rts::static_fun_info<&K::fromInteger>};
    static constexpr rts::StaticCon<7> record() {
        return rts::StaticCon<7>(C_Num_tag, ref_slot(plus.object()), ref_slot(minus.object()), ref_slot(times.object()),
                                 ref_slot(negate.object()), ref_slot(abs.object()), ref_slot(signum.object()),
                                 ref_slot(fromInteger.object()));
    }
};

Value writeInteger(int64_t d, const Value& x, Value s) { return showsInteger(d, x, std::move(s)); }
Value writeNatural(int64_t, const Value& x, Value s) {
    return List::prependBytes(N::naturalToDecimal(force(x)), std::move(s));
}

// Eq and Ord of Integer.
Value eqI(const Value& a, const Value& b) { return fromBool(I::integerEq_hash(a, b)); }
Value neI(const Value& a, const Value& b) { return fromBool(I::integerNe_hash(a, b)); }
Value cmpI(const Value& a, const Value& b) { return Value::adopt(Ordering_closure_tbl[I::fast::cmp(a, b) + 1]); }
Value ltI(const Value& a, const Value& b) { return fromBool(I::integerLt_hash(a, b)); }
Value leI(const Value& a, const Value& b) { return fromBool(I::integerLe_hash(a, b)); }
Value gtI(const Value& a, const Value& b) { return fromBool(I::integerGt_hash(a, b)); }
Value geI(const Value& a, const Value& b) { return fromBool(I::integerGe_hash(a, b)); }
Value maxI(const Value& a, const Value& b) { return I::integerLe_hash(a, b) ? force(b) : force(a); }
Value minI(const Value& a, const Value& b) { return I::integerLe_hash(a, b) ? force(a) : force(b); }
constinit const rts::StaticFun eqI_c{rts::static_fun_info<&eqI>};
constinit const rts::StaticFun neI_c{rts::static_fun_info<&neI>};
constinit const rts::StaticFun cmpI_c{rts::static_fun_info<&cmpI>};
constinit const rts::StaticFun ltI_c{rts::static_fun_info<&ltI>};
constinit const rts::StaticFun leI_c{rts::static_fun_info<&leI>};
constinit const rts::StaticFun gtI_c{rts::static_fun_info<&gtI>};
constinit const rts::StaticFun geI_c{rts::static_fun_info<&geI>};
constinit const rts::StaticFun maxI_c{rts::static_fun_info<&maxI>};
constinit const rts::StaticFun minI_c{rts::static_fun_info<&minI>};

}  // namespace

Value showsInteger(int64_t d, const Value& x, Value s) {
    const Value& i = force(x);
    if (d > 6 && I::integerIsNegative_hash(i))
        return Cons(List::boxChar('('), I::integerShows(i, Cons(List::boxChar(')'), std::move(s))));
    return I::integerShows(i, std::move(s));
}

constinit const rts::StaticCon<7> inst_Num_Int = NumRecord<Machine<int64_t>>::record();
constinit const rts::StaticCon<7> inst_Num_Word = NumRecord<Machine<uint64_t>>::record();
constinit const rts::StaticCon<7> inst_Num_Integer = NumRecord<Big>::record();
constinit const rts::StaticCon<7> inst_Num_Natural = NumRecord<Nat>::record();
constinit const rts::StaticCon<7> inst_Num_Double = NumRecord<Ieee<double>>::record();
constinit const rts::StaticCon<7> inst_Num_Float = NumRecord<Ieee<float>>::record();

constinit const rts::StaticCon<3> inst_Show_Integer = Show::staticShowRecord<&writeInteger>();
constinit const rts::StaticCon<3> inst_Show_Natural = Show::staticShowRecord<&writeNatural>();
constinit const rts::StaticCon<2> inst_Eq_Integer{VUX::Classes::C_Eq_tag, ref_slot(eqI_c.object()), ref_slot(neI_c.object())};
constinit const rts::StaticCon<8> inst_Ord_Integer{
    VUX::Classes::C_Ord_tag, ref_slot(inst_Eq_Integer.object()), ref_slot(cmpI_c.object()), ref_slot(ltI_c.object()),
    ref_slot(leI_c.object()), ref_slot(gtI_c.object()), ref_slot(geI_c.object()), ref_slot(maxI_c.object()),
    ref_slot(minI_c.object())};

}  // namespace VUX::Internal::Num
