#include "VUX/Internal/Real.h"

#include <cmath>
#include <limits>

#include "VUX/Classes.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Real {

using namespace VUX::Types;
using namespace VUX::Num::Integer;
using rts::force;
using rts::ref_slot;
using VUX::Record::fn;
using VUX::Record::ref;
namespace Record = VUX::Record;

// ---------------------------------------------------------------------------------------------
// Ratio

Value reduce(const Value& x, const Value& y) {
    if (integerIsZero_hash(force(y))) Exception::ratioZeroDenominatorError();
    Value g = integerGcd(force(x), force(y));
    if (integerIsOne_hash(g)) return op_colon_percent(force(x), force(y));
    return op_colon_percent(integerQuot(x, g), integerQuot(y, g));
}

Value op_percent(const Value& x, const Value& y) {
    return reduce(integerMul(x, integerSignum(force(y))), integerAbs(force(y)));
}

Value rationalFromInteger(const Value& n) { return op_colon_percent(force(n), integerOne()); }

namespace {
inline const Value& num(const Value& r) { return rts::field(force(r), 0); }
inline const Value& den(const Value& r) { return rts::field(force(r), 1); }
}  // namespace

Value ratioPlus(const Value& a, const Value& b) {
    return reduce(integerAdd(integerMul(num(a), den(b)), integerMul(num(b), den(a))), integerMul(den(a), den(b)));
}
Value ratioMinus(const Value& a, const Value& b) {
    return reduce(integerSub(integerMul(num(a), den(b)), integerMul(num(b), den(a))), integerMul(den(a), den(b)));
}
Value ratioTimes(const Value& a, const Value& b) {
    return reduce(integerMul(num(a), num(b)), integerMul(den(a), den(b)));
}
Value ratioDivide(const Value& a, const Value& b) {
    return op_percent(integerMul(num(a), den(b)), integerMul(den(a), num(b)));
}
Value ratioNegate(const Value& a) { return op_colon_percent(integerNegate(num(a)), den(a)); }
Value ratioAbs(const Value& a) { return op_colon_percent(integerAbs(force(num(a))), den(a)); }
Value ratioRecip(const Value& a) {
    const Value& n = force(num(a));
    if (integerIsZero_hash(n)) Exception::ratioZeroDenominatorError();
    if (integerIsNegative_hash(n)) return op_colon_percent(integerNegate(den(a)), integerNegate(n));
    return op_colon_percent(den(a), n);
}

Value ratioPow(const Value& a, const Value& e) {
    const Value& ev = force(e);
    if (integerIsNegative_hash(ev)) return ratioPow(ratioRecip(a), integerNegate(ev));
    uint64_t k = integerToWord_hash(ev);
    // Powers of a reduced ratio are reduced: no gcd needed.
    return op_colon_percent(integerPow(force(num(a)), k), integerPow(force(den(a)), k));
}

int ratioCompare(const Value& a, const Value& b) {
    return fast::cmp(integerMul(num(a), den(b)), integerMul(num(b), den(a)));
}

std::pair<Value, Value> properFraction(const Value& r) {
    auto [q, rem] = integerQuotRem_hash(num(r), den(r));
    return {std::move(q), op_colon_percent(std::move(rem), den(r))};
}

Value properFractionPair(const Value& r) {
    auto [q, f] = properFraction(r);
    return VUX::Tuple::Tuple2(std::move(q), std::move(f));
}

namespace {

// The nearest binary floating value with `precision` significant bits and least exponent
// `minExp` (of the last bit of a subnormal) to a / d, a >= 0, d > 0, as (q, exponent) with the
// value q * 2^exponent, q < 2^precision or exactly 2^precision after rounding up.
struct Rounded {
    Value q;
    int64_t exp;
};
Rounded roundRatio(const Value& a, const Value& d, int64_t precision, int64_t minExp) {
    int64_t l = static_cast<int64_t>(integerLog2_hash(a)) - static_cast<int64_t>(integerLog2_hash(d));
    // a / d lies in [2^(l-1), 2^(l+1)); find e with 2^e <= a / d < 2^(e+1).
    bool below = l >= 0 ? integerLt_hash(a, integerShiftL_hash(d, static_cast<uint64_t>(l)))
                        : integerLt_hash(integerShiftL_hash(a, static_cast<uint64_t>(-l)), d);
    int64_t e = below ? l - 1 : l;
    int64_t lsb = std::max(e - (precision - 1), minExp);
    Value n = a, m = d;
    if (lsb < 0)
        n = integerShiftL_hash(a, static_cast<uint64_t>(-lsb));
    else
        m = integerShiftL_hash(d, static_cast<uint64_t>(lsb));
    auto [q, r] = integerQuotRem_hash(n, m);
    int c = fast::cmp(integerShiftL_hash(r, 1), m);
    if (c > 0 || (c == 0 && integerTestBit_hash(q, 0))) q = integerAdd(q, integerOne());
    return {std::move(q), lsb};
}

template <class T>
T ratioToFloating(const Value& n0, const Value& d0) {
    const Value& n = force(n0);
    const Value& d = force(d0);
    if (integerIsZero_hash(n)) return T(0);
    const bool negative = integerIsNegative_hash(n);
    Value a = integerAbs(n);
    constexpr int64_t precision = std::numeric_limits<T>::digits;                     // 53 or 24
    constexpr int64_t minExp = std::numeric_limits<T>::min_exponent - precision;      // -1074 or -149
    Rounded r = roundRatio(a, d, precision, minExp);
    // q has at most precision + 1 bits, so it converts exactly; ldexp is exact or overflows.
    T q = static_cast<T>(integerToDouble_hash(r.q));
    T x = std::ldexp(q, static_cast<int>(std::clamp<int64_t>(r.exp, -100000, 100000)));
    return negative ? -x : x;
}

}  // namespace

double rationalToDouble(const Value& n, const Value& d) { return ratioToFloating<double>(n, d); }
float rationalToFloat(const Value& n, const Value& d) { return ratioToFloating<float>(n, d); }

Value doubleToRational(double x) {
    auto [m, e] = integerDecodeDouble_hash(x);
    if (e >= 0) return op_colon_percent(integerShiftL_hash(m, static_cast<uint64_t>(e)), integerOne());
    return reduce(m, integerShiftL_hash(integerOne(), static_cast<uint64_t>(-e)));
}

// ---------------------------------------------------------------------------------------------
// Rational instances

namespace {
Value writeRational(int64_t d, const Value& x, Value s) {
    const Value& r = force(x);
    bool paren = d > 7;
    Value t = paren ? Cons(List::boxChar(')'), std::move(s)) : std::move(s);
    t = Num::showsInteger(8, rts::field(r, 1), std::move(t));
    t = List::prependBytes(" % ", std::move(t));
    t = Num::showsInteger(8, rts::field(r, 0), std::move(t));
    return paren ? Cons(List::boxChar('('), std::move(t)) : t;
}

Value rPlus(const Value& a, const Value& b) { return ratioPlus(a, b); }
Value rMinus(const Value& a, const Value& b) { return ratioMinus(a, b); }
Value rTimes(const Value& a, const Value& b) { return ratioTimes(a, b); }
Value rNegate(const Value& a) { return ratioNegate(a); }
Value rAbs(const Value& a) { return ratioAbs(a); }
Value rSignum(const Value& a) { return op_colon_percent(integerSignum(force(num(a))), integerOne()); }
Value rFromInteger(const Value& i) { return rationalFromInteger(i); }
Value rDivide(const Value& a, const Value& b) { return ratioDivide(a, b); }
Value rRecip(const Value& a) { return ratioRecip(a); }
Value rFromRational(const Value& r) { return force(r); }
Value rEq(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) == 0); }
Value rNe(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) != 0); }
Value rCmp(const Value& a, const Value& b) { return Value::adopt(Ordering_closure_tbl[ratioCompare(a, b) + 1]); }
Value rLt(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) < 0); }
Value rLe(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) <= 0); }
Value rGt(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) > 0); }
Value rGe(const Value& a, const Value& b) { return fromBool(ratioCompare(a, b) >= 0); }
Value rMax(const Value& a, const Value& b) { return ratioCompare(a, b) <= 0 ? force(b) : force(a); }
Value rMin(const Value& a, const Value& b) { return ratioCompare(a, b) <= 0 ? force(a) : force(b); }

}  // namespace

constinit const Record::Static<Show::C_Show_class> inst_Show_Rational_closure{
    fn<&Show::showsPrecWith<&writeRational>>, fn<&Show::default_show, &inst_Show_Rational_closure>,
    fn<&Show::default_showList, &inst_Show_Rational_closure>};
constinit const Record::Static<Num::C_Num_class> inst_Num_Rational_closure{
    fn<&rPlus>, fn<&rMinus>, fn<&rTimes>, fn<&rNegate>, fn<&rAbs>, fn<&rSignum>, fn<&rFromInteger>};
constinit const Record::Static<C_Fractional_class> inst_Fractional_Rational_closure{
    ref(inst_Num_Rational_closure), fn<&rDivide>, fn<&rRecip>, fn<&rFromRational>};
constinit const Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Rational_closure{fn<&rEq>, fn<&rNe>};
constinit const Record::Static<VUX::Classes::C_Ord_class> inst_Ord_Rational_closure{
    ref(inst_Eq_Rational_closure), fn<&rCmp>, fn<&rLt>, fn<&rLe>, fn<&rGt>, fn<&rGe>, fn<&rMax>, fn<&rMin>};

// ---------------------------------------------------------------------------------------------
// Fractional Double and Float

namespace {
Value dDivide(const Value& a, const Value& b) { return D_hash(doubleOf(force(a)) / doubleOf(force(b))); }
Value dRecip(const Value& a) { return D_hash(1.0 / doubleOf(force(a))); }
Value dFromRational(const Value& r) { return D_hash(rationalToDouble(num(r), den(r))); }
Value fDivide(const Value& a, const Value& b) { return F_hash(floatOf(force(a)) / floatOf(force(b))); }
Value fRecip(const Value& a) { return F_hash(1.0f / floatOf(force(a))); }
Value fFromRational(const Value& r) { return F_hash(rationalToFloat(num(r), den(r))); }
}  // namespace

constinit const Record::Static<C_Fractional_class> inst_Fractional_Double_closure{
    ref(Num::inst_Num_Double_closure), fn<&dDivide>, fn<&dRecip>, fn<&dFromRational>};
constinit const Record::Static<C_Fractional_class> inst_Fractional_Float_closure{
    ref(Num::inst_Num_Float_closure), fn<&fDivide>, fn<&fRecip>, fn<&fFromRational>};

// ---------------------------------------------------------------------------------------------
// Int and Integer: Real, Enum, Integral

namespace {

int64_t iget(const Value& v) { return intOf(force(v)); }

// quot and rem of Int: a zero divisor raises "divide by zero", minBound `quot` (-1) overflows.
int64_t checkedDivisor(int64_t a, int64_t b) {
    if (b == 0) Exception::divZeroError();
    if (b == -1 && a == std::numeric_limits<int64_t>::min()) Exception::overflowError();
    return b;
}
Value iQuot(const Value& a, const Value& b) {
    int64_t x = iget(a), y = checkedDivisor(x, iget(b));
    return I_hash(x / y);
}
Value iRem(const Value& a, const Value& b) {
    int64_t x = iget(a), y = iget(b);
    if (y == 0) Exception::divZeroError();
    return I_hash(y == -1 ? 0 : x % y);
}
std::pair<int64_t, int64_t> floorDivMod(int64_t x, int64_t y) {
    int64_t q = x / y, r = x % y;
    if (r != 0 && ((r < 0) != (y < 0))) {
        q -= 1;
        r += y;
    }
    return {q, r};
}
Value iDiv(const Value& a, const Value& b) {
    int64_t x = iget(a), y = checkedDivisor(x, iget(b));
    return I_hash(floorDivMod(x, y).first);
}
Value iMod(const Value& a, const Value& b) {
    int64_t x = iget(a), y = iget(b);
    if (y == 0) Exception::divZeroError();
    return I_hash(y == -1 ? 0 : floorDivMod(x, y).second);
}
Value iQuotRem(const Value& a, const Value& b) {
    int64_t x = iget(a), y = checkedDivisor(x, iget(b));
    return VUX::Tuple::Tuple2(I_hash(x / y), I_hash(x % y));
}
Value iDivMod(const Value& a, const Value& b) {
    int64_t x = iget(a), y = checkedDivisor(x, iget(b));
    auto [q, r] = floorDivMod(x, y);
    return VUX::Tuple::Tuple2(I_hash(q), I_hash(r));
}
Value iToInteger(const Value& a) { return IS(iget(a)); }
Value iToRational(const Value& a) { return op_colon_percent(IS(iget(a)), integerOne()); }

Value bQuot(const Value& a, const Value& b) { return integerQuot(a, b); }
Value bRem(const Value& a, const Value& b) { return integerRem(a, b); }
Value bDiv(const Value& a, const Value& b) { return integerDiv(a, b); }
Value bMod(const Value& a, const Value& b) { return integerMod(a, b); }
Value bQuotRem(const Value& a, const Value& b) {
    auto [q, r] = integerQuotRem_hash(a, b);
    return VUX::Tuple::Tuple2(std::move(q), std::move(r));
}
Value bDivMod(const Value& a, const Value& b) {
    auto [q, r] = integerDivMod_hash(a, b);
    return VUX::Tuple::Tuple2(std::move(q), std::move(r));
}
Value bToInteger(const Value& a) { return force(a); }
Value bToRational(const Value& a) { return rationalFromInteger(a); }

// Enum Int: arithmetic sequences, produced on demand, ending at the limit without overflow. The
// step is a direction and a distance: the distance between two Ints (up to 2^64 - 1) does not fit
// an Int, so it is kept as an unsigned word and compared with the room left before the limit.
Value intSeq(int64_t from, bool up, uint64_t distance, int64_t limit) {
    if (up ? from > limit : from < limit) return Nil();
    uint64_t room = up ? static_cast<uint64_t>(limit) - static_cast<uint64_t>(from)
                       : static_cast<uint64_t>(from) - static_cast<uint64_t>(limit);
    if (distance > room) return Cons(I_hash(from), Nil());
    int64_t next = static_cast<int64_t>(up ? static_cast<uint64_t>(from) + distance
                                           : static_cast<uint64_t>(from) - distance);
    return Cons(I_hash(from),
                rts::delay([next, up, distance, limit]() { return intSeq(next, up, distance, limit); }));
}
// The sequence from x through y onwards to the limit.
Value intSeqThen(int64_t x, int64_t y, int64_t limit) {
    bool up = y >= x;
    uint64_t distance = up ? static_cast<uint64_t>(y) - static_cast<uint64_t>(x)
                           : static_cast<uint64_t>(x) - static_cast<uint64_t>(y);
    return intSeq(x, up, distance, limit);
}
[[noreturn]] void enumError(const char* text) { Err::errorWithoutStackTrace(List::fromBytes(text)); }
Value iSucc(const Value& a) {
    int64_t x = iget(a);
    if (x == std::numeric_limits<int64_t>::max()) enumError("Prelude.Enum.succ{Int}: tried to take `succ' of maxBound");
    return I_hash(x + 1);
}
Value iPred(const Value& a) {
    int64_t x = iget(a);
    if (x == std::numeric_limits<int64_t>::min()) enumError("Prelude.Enum.pred{Int}: tried to take `pred' of minBound");
    return I_hash(x - 1);
}
Value iId(const Value& a) { return force(a); }
Value iEnumFrom(const Value& a) { return intSeq(iget(a), true, 1, std::numeric_limits<int64_t>::max()); }
Value iEnumFromTo(const Value& a, const Value& b) { return intSeq(iget(a), true, 1, iget(b)); }
Value iEnumFromThen(const Value& a, const Value& b) {
    int64_t x = iget(a), y = iget(b);
    return intSeqThen(x, y,
                      y >= x ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min());
}
Value iEnumFromThenTo(const Value& a, const Value& b, const Value& c) {
    return intSeqThen(iget(a), iget(b), iget(c));
}

// Enum Integer: unbounded sequences.
Value bigSeq(Value from, Value step, Value limit /* null: none */) {
    if (limit) {
        bool up = !integerIsNegative_hash(force(step));
        if (up ? integerGt_hash(from, limit) : integerLt_hash(from, limit)) return Nil();
    }
    return Cons(from, rts::delay([from, step, limit]() { return bigSeq(integerAdd(from, step), step, limit); }));
}
Value bSucc(const Value& a) { return integerAdd(a, integerOne()); }
Value bPred(const Value& a) { return integerSub(a, integerOne()); }
Value bToEnum(const Value& i) { return IS(iget(i)); }
Value bFromEnum(const Value& a) { return I_hash(integerToInt_hash(force(a))); }
Value bEnumFrom(const Value& a) { return bigSeq(force(a), integerOne(), Value()); }
Value bEnumFromTo(const Value& a, const Value& b) { return bigSeq(force(a), integerOne(), force(b)); }
Value bEnumFromThen(const Value& a, const Value& b) { return bigSeq(force(a), integerSub(b, a), Value()); }
Value bEnumFromThenTo(const Value& a, const Value& b, const Value& c) {
    return bigSeq(force(a), integerSub(b, a), force(c));
}

}  // namespace

constinit const Record::Static<C_Real_class> inst_Real_Int_closure{
    ref(Num::inst_Num_Int_closure), ref(VUX::Classes::inst_Ord_Int_closure), fn<&iToRational>};
constinit const Record::Static<C_Real_class> inst_Real_Integer_closure{
    ref(Num::inst_Num_Integer_closure), ref(Num::inst_Ord_Integer_closure), fn<&bToRational>};
constinit const Record::Static<C_Enum_class> inst_Enum_Int_closure{
    fn<&iSucc>,     fn<&iPred>,         fn<&iId>,          fn<&iId>,
    fn<&iEnumFrom>, fn<&iEnumFromThen>, fn<&iEnumFromTo>, fn<&iEnumFromThenTo>};
constinit const Record::Static<C_Enum_class> inst_Enum_Integer_closure{
    fn<&bSucc>,     fn<&bPred>,         fn<&bToEnum>,     fn<&bFromEnum>,
    fn<&bEnumFrom>, fn<&bEnumFromThen>, fn<&bEnumFromTo>, fn<&bEnumFromThenTo>};
constinit const Record::Static<C_Integral_class> inst_Integral_Int_closure{
    ref(inst_Real_Int_closure), ref(inst_Enum_Int_closure), fn<&iQuot>,   fn<&iRem>,      fn<&iDiv>,
    fn<&iMod>,                  fn<&iQuotRem>,              fn<&iDivMod>, fn<&iToInteger>};
constinit const Record::Static<C_Integral_class> inst_Integral_Integer_closure{
    ref(inst_Real_Integer_closure), ref(inst_Enum_Integer_closure), fn<&bQuot>,   fn<&bRem>,      fn<&bDiv>,
    fn<&bMod>,                      fn<&bQuotRem>,                  fn<&bDivMod>, fn<&bToInteger>};

// ---------------------------------------------------------------------------------------------
// stimes

Value stimesByDoubling(const Value& op, const Value& dI, const Value& n, const Value& x) {
    const Value& dReal = Integral_Real(dI);
    const Value& dNum = Real_Num(dReal);
    const Value& dOrd = Real_Ord(dReal);
    const Value& le = VUX::Classes::op_lt_eq(dOrd);
    const Value& eq = VUX::Classes::op_eq_eq(VUX::Classes::Ord_Eq(dOrd));
    Value zero = Num::fromInteger(dNum, IS(0));
    Value one = Num::fromInteger(dNum, IS(1));
    Value two = Num::fromInteger(dNum, IS(2));
    if (isTrue(force(rts::apply(le, n, zero))))
        Err::errorWithoutStackTrace(List::fromBytes("stimes: positive multiplier expected"));
    auto isEven = [&](const Value& y) { return isTrue(force(rts::apply(eq, rts::apply(rem(dI), y, two), zero))); };
    auto isOne = [&](const Value& y) { return isTrue(force(rts::apply(eq, y, one))); };
    auto twice = [&](const Value& v) { return rts::delay([op, v]() { return rts::apply(op, v, v); }); };
    auto half = [&](const Value& y) { return rts::apply(quot(dI), y, two); };
    Value b = x, y = n;
    while (isEven(y)) {  // f
        b = twice(b);
        y = half(y);
    }
    if (isOne(y)) return force(b);
    Value z = b;
    b = twice(b);
    y = half(y);
    for (;;) {  // g
        if (isEven(y)) {
            b = twice(b);
            y = half(y);
        } else if (isOne(y)) {
            return rts::apply(op, b, z);
        } else {
            z = rts::delay([op, b, z]() { return rts::apply(op, b, z); });
            b = twice(b);
            y = half(y);
        }
    }
}

}  // namespace VUX::Internal::Real
