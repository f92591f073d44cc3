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
using VUX::Record::fn;
using VUX::Record::ref;
namespace Record = VUX::Record;
namespace I = VUX::Num::Integer;
namespace N = VUX::Num::Natural;

Value fromInteger(const Value& d, const Value& i) { return rts::apply(fromInteger(d), i); }

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
}  // namespace

Value showsInteger(int64_t d, const Value& x, Value s) {
    const Value& i = force(x);
    if (d > 6 && I::integerIsNegative_hash(i))
        return Cons(List::boxChar('('), I::integerShows(i, Cons(List::boxChar(')'), std::move(s))));
    return I::integerShows(i, std::move(s));
}

constinit const Record::Static<C_Num_class> inst_Num_Int_closure{
    fn<&Machine<int64_t>::plus>, fn<&Machine<int64_t>::minus>, fn<&Machine<int64_t>::times>, fn<&Machine<int64_t>::negate>, fn<&Machine<int64_t>::abs>, fn<&Machine<int64_t>::signum>,
    fn<&Machine<int64_t>::fromInteger>};
constinit const Record::Static<C_Num_class> inst_Num_Word_closure{
    fn<&Machine<uint64_t>::plus>, fn<&Machine<uint64_t>::minus>, fn<&Machine<uint64_t>::times>, fn<&Machine<uint64_t>::negate>, fn<&Machine<uint64_t>::abs>, fn<&Machine<uint64_t>::signum>,
    fn<&Machine<uint64_t>::fromInteger>};
constinit const Record::Static<C_Num_class> inst_Num_Integer_closure{
    fn<&Big::plus>, fn<&Big::minus>, fn<&Big::times>, fn<&Big::negate>, fn<&Big::abs>, fn<&Big::signum>,
    fn<&Big::fromInteger>};
constinit const Record::Static<C_Num_class> inst_Num_Natural_closure{
    fn<&Nat::plus>, fn<&Nat::minus>, fn<&Nat::times>, fn<&Nat::negate>, fn<&Nat::abs>, fn<&Nat::signum>,
    fn<&Nat::fromInteger>};
constinit const Record::Static<C_Num_class> inst_Num_Double_closure{
    fn<&Ieee<double>::plus>, fn<&Ieee<double>::minus>, fn<&Ieee<double>::times>, fn<&Ieee<double>::negate>, fn<&Ieee<double>::abs>, fn<&Ieee<double>::signum>,
    fn<&Ieee<double>::fromInteger>};
constinit const Record::Static<C_Num_class> inst_Num_Float_closure{
    fn<&Ieee<float>::plus>, fn<&Ieee<float>::minus>, fn<&Ieee<float>::times>, fn<&Ieee<float>::negate>, fn<&Ieee<float>::abs>, fn<&Ieee<float>::signum>,
    fn<&Ieee<float>::fromInteger>};

constinit const Record::Static<Show::C_Show_class> inst_Show_Integer_closure{
    fn<&Show::showsPrecWith<&writeInteger>>, fn<&Show::default_show, &inst_Show_Integer_closure>,
    fn<&Show::default_showList, &inst_Show_Integer_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_Natural_closure{
    fn<&Show::showsPrecWith<&writeNatural>>, fn<&Show::default_show, &inst_Show_Natural_closure>,
    fn<&Show::default_showList, &inst_Show_Natural_closure>};
constinit const Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Integer_closure{fn<&eqI>, fn<&neI>};
constinit const Record::Static<VUX::Classes::C_Ord_class> inst_Ord_Integer_closure{
    ref(inst_Eq_Integer_closure), fn<&cmpI>, fn<&ltI>, fn<&leI>, fn<&gtI>, fn<&geI>, fn<&maxI>, fn<&minI>};

}  // namespace VUX::Internal::Num
