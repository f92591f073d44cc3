// Literals: characters, strings, integers, exact rationals, primitive literals with their marks.
#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Num/Integer.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
namespace R = VUX::Internal::Real;
namespace N = VUX::Num::Integer;
namespace D = ::Text::PrettyPrint::Drovane;
using namespace PprLib;
using detail::each;
using VUX::Types::Nil;

namespace {
VUX_PPR_CHARACTER(kwDot, '.')
VUX_PPR_CHARACTER(kwZero, '0')
VUX_PPR_CHARACTER(kwE, 'e')
VUX_PPR_CHARACTER(kwSlash, '/')
VUX_PPR_CHARACTER(kwHash, '#')
VUX_PPR_KEYWORD(kwHashHash, "##")
RTS_CONSTANT(binaryData_closure) {
    VUX_CAF("binaryData");
    return pprString(VUX::Internal::List::fromBytes("<binary data>"));
}

bool isNegative(const Value& n) { return N::integerIsNegative_hash(rts::force(n)) != 0; }
bool isZero(const Value& n) { return N::integerIsZero_hash(rts::force(n)) != 0; }
Value small(int64_t n) { return N::integerFromInt_hash(n); }

// n with every factor k divided out (0 stays 0).
Value withoutFactor(int64_t k, Value n) {
    if (isZero(n)) return n;
    Value factor = small(k);
    for (;;) {
        auto [q, r] = N::integerDivMod_hash(n, factor);
        if (!isZero(r)) return n;
        n = std::move(q);
    }
}

// The floor of the decimal logarithm of n / d (both positive), exactly.
int64_t log10(Value n, Value d) {
    Value ten = small(10);
    int64_t z = 0;
    while (N::integerGe_hash(n, N::integerMul(d, ten))) {
        d = N::integerMul(d, ten);
        ++z;
    }
    while (N::integerLt_hash(n, d)) {
        n = N::integerMul(n, ten);
        --z;
    }
    return z;
}

// The digits after the point of a fraction 0 <= n / d < 1 whose denominator divides a power of
// ten: exact, without trailing zeros.
Value decimals(Value n, const Value& d) {
    std::string digits;
    Value ten = small(10);
    while (!isZero(n)) {
        auto [q, r] = N::integerDivMod_hash(N::integerMul(n, ten), d);
        digits.push_back(char('0' + N::integerToInt_hash(q)));
        n = std::move(r);
    }
    return text(VUX::Internal::List::fromBytes(digits));
}
Value decimals(const Value& fraction) {
    Value f = R::ratioAbs(fraction);
    return decimals(R::numerator(f), R::denominator(f));
}

Value fractionForm(const Value& n, const Value& d) {
    return op_lt_plus_gt(op_lt_plus_gt(integer(n), kwSlash()), integer(d));
}

// q.digits e z, for 1 <= |r / 10^z| < 10.
Value scientificForm(const Value& r, int64_t z) {
    Value scale = R::ratioPow(R::rationalFromInteger(small(10)), small(z));
    auto [q, f] = R::properFraction(R::ratioDivide(r, scale));
    Value mantissa = integer(q);
    if (!isZero(R::numerator(f))) mantissa = op_lt_gt(op_lt_gt(mantissa, kwDot()), decimals(f));
    return op_lt_gt(op_lt_gt(mantissa, kwE()), integer(small(z)));
}

Value decimalForm(const Value& r, bool negative) {
    auto [q, f] = R::properFraction(r);
    Value whole = integer(q);
    if (negative && isZero(q)) whole = op_lt_gt(text(VUX::Internal::List::fromBytes("-")), whole);
    return op_lt_gt(op_lt_gt(whole, kwDot()), isZero(R::numerator(f)) ? kwZero() : decimals(f));
}

Value pprRational(const Value& p, const Value& r) {
    const Value& n = rts::force(R::numerator(r));
    const Value& d = rts::force(R::denominator(r));
    auto above = [&] { return VUX::Types::intOf(rts::force(p)) > 0; };
    if (N::integerIsOne_hash(withoutFactor(2, withoutFactor(5, d))) == 0)
        return parensIf(above(), fractionForm(n, d));
    bool negative = isNegative(n);
    // A zero numerator is zero over any denominator: the logarithm is not searched for.
    Value form;
    if (isZero(n)) {
        form = decimalForm(r, false);
    } else {
        int64_t z = log10(N::integerAbs(n), d);
        form = z < -2 || z > 6 ? scientificForm(r, z) : decimalForm(r, negative);
    }
    return parensIf(negative && above(), form);
}

Value marked(Value m, Value mark) { return op_lt_gt(std::move(m), std::move(mark)); }
Value floatText(const Value& r, bool single) {
    Value n = R::numerator(r), d = R::denominator(r);
    return text(rts::delay([n, d, single] {
        return single ? VUX::Internal::Float::showSignedFloat(0, R::rationalToFloat(n, d), Nil())
                      : VUX::Internal::Float::showSignedFloat(0, R::rationalToDouble(n, d), Nil());
    }));
}
Value characterText(const Value& c) {
    return text(rts::delay(
        [c] { return VUX::Internal::Show::showCharLiteral(VUX::Types::charOf(rts::force(c)), Nil()); }));
}
bool negativeRational(const Value& r) { return isNegative(R::numerator(r)); }

Value pprLitNoPrec(const Value& lit) { return pprLit(int64_t(0), lit); }
}  // namespace

Value pprString(const Value& s) {
    VUX_FUNCTION;
    return vcat(
        each(VUX::Internal::Show::showMultiLineString(s), [](const Value& line) { return text(line); }));
}

Value pprLit(const Value& p, const Value& lit) {
    VUX_FUNCTION;
    const Value& l = rts::force(lit);
    const Value& x = rts::field(l, 0);
    auto above = [&] { return VUX::Types::intOf(rts::force(p)) > 0; };
    switch (l->tag) {
        case S::CharL_tag: return characterText(x);
        case S::StringL_tag: return pprString(x);
        case S::IntegerL_tag: return parensIf(above() && isNegative(x), integer(x));
        case S::RationalL_tag: return pprRational(p, x);
        case S::IntPrimL_tag: return parensIf(above() && isNegative(x), marked(integer(x), kwHash()));
        case S::WordPrimL_tag: return marked(integer(x), kwHashHash());
        case S::FloatPrimL_tag:
            return parensIf(above() && negativeRational(x), marked(floatText(x, true), kwHash()));
        case S::DoublePrimL_tag:
            return parensIf(above() && negativeRational(x), marked(floatText(x, false), kwHashHash()));
        case S::StringPrimL_tag: return marked(pprString(bytesToString(x)), kwHash());
        case S::BytesPrimL_tag: return binaryData_closure.get();
        default: return marked(characterText(x), kwHash());
    }
}
Value pprLit(int64_t p, const Value& lit) { return pprLit(VUX::Types::I_hash(p), lit); }

constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Lit_closure{
    VUX::Record::fn<&pprLitNoPrec>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Lit_closure>};

}  // namespace VUX::Boot::TH::Ppr
