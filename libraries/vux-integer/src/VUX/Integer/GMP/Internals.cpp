// The legacy big-integer interface: forwarders to the big-number library and the operations that
// read limbs themselves.
#include "VUX/Integer/GMP/Internals.h"

#include <gmp.h>

#include <optional>
#include <string>

#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Num/BigNat.h"
#include "VUX/Num/Natural.h"
#include "VUX/Num/Primitives.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Integer.GMP.Internals");

namespace VUX::Integer::GMP::Internals {

namespace B = VUX::Num::BigNat;
namespace I = VUX::Num::Integer;
using VUX::Internal::IO::io;
using VUX::Types::W_hash;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Integer.GMP.Internals");
VUX_DEFINE_TYCON(tcBigNat, trModule, "BigNat", 0, VUX::Types::kindType);

namespace {

constexpr const char* kModule = "VUX.Integer.GMP.Internals";

// The limbs of a magnitude, read in place.
const uint64_t* limbPointer(const Value& limbs) {
    return reinterpret_cast<const uint64_t*>(rts::bytes_data(limbs));
}
uint64_t limbCount(const Value& limbs) { return rts::bytes_length(limbs) >> 3; }

Value boxed(Value limbs) { return BN_hash(std::move(limbs)); }

// A limb-array operation applied to the limbs of two BigNats, forced from left to right.
template <auto Op>
auto onLimbs(const Value& a, const Value& b) {
    const Value& x = unBigNat(a);
    return Op(x, unBigNat(b));
}

// The underflow of each subtraction: the arithmetic exception with a call stack of one entry, the
// `throw` at that subtraction, raised by evaluating the constant.
[[noreturn]] void throwUnderflowAt(int64_t line) {
    namespace E = VUX::Internal::Exception;
    VUX::Internal::Stack::Loc loc{
        VUX_PACKAGE_ID, kModule, "libraries/vux-integer/src/VUX/Integer/GMP/Internals", line, 23, line, 28};
    E::throwWithCallStack(E::inst_Exception_ArithException(),
                          Value::adopt(E::ArithException_closure_tbl[E::Underflow_tag]),
                          VUX::Internal::Stack::callStack({{"throw", loc}}));
}
RTS_CONSTANT(minusBigNatUnderflow) {
    VUX_CAF("minusBigNatUnderflow");
    throwUnderflowAt(247);
}
RTS_CONSTANT(minusBigNatWordUnderflow) {
    VUX_CAF("minusBigNatWordUnderflow");
    throwUnderflowAt(253);
}

Value subtracted(std::optional<Value> difference, const rts::Constant& underflow) {
    if (!difference) return underflow.get();
    return boxed(std::move(*difference));
}

// 0 selects the little-endian variant, anything else the big-endian one.
bool bigEndian(int64_t flag) { return flag != 0; }

Value fromByteArray(const Value& bytes, uint64_t offset, uint64_t size, int64_t flag) {
    return bigEndian(flag) ? B::bigNatFromByteArrayBE_hash(size, bytes, offset)
                           : B::bigNatFromByteArrayLE_hash(size, bytes, offset);
}

// The answer of a modular operation: the Natural converted back, or 0 when there was none.
Value modularResult(const std::optional<Value>& natural) {
    return natural ? I::integerFromNatural(*natural) : I::integerZero();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pattern synonyms

Value S_hash(int64_t i) {
    VUX_SCC("S#");
    return I::IS(i);
}
Value Jp_hash(const Value& bigNat) {
    VUX_SCC("Jp#");
    return I::IP(unBigNat(bigNat));
}
Value Jn_hash(const Value& bigNat) {
    VUX_SCC("Jn#");
    return I::IN(unBigNat(bigNat));
}

// ---------------------------------------------------------------------------------------------
// Integers

int64_t isValidInteger_hash(const Value& i) {
    VUX_SCC("isValidInteger#");
    return I::integerCheck_hash(i);
}
Value gcdInteger(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return I::integerGcd(a, b);
}
Value lcmInteger(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return I::integerLcm(a, b);
}
Value sqrInteger(const Value& i) {
    VUX_FUNCTION;
    return I::integerSqr(i);
}
std::pair<Value, Value> gcdExtInteger(const Value& a, const Value& b) {
    VUX_FUNCTION;
    I::Gcde r = I::integerGcde_hash(a, b);
    return {std::move(r.g), std::move(r.x)};
}
Value wordToNegInteger(uint64_t w) {
    VUX_FUNCTION;
    return I::integerFromWordNeg_hash(w);
}
Value bigNatToInteger(const Value& bigNat) {
    VUX_FUNCTION;
    return I::integerFromBigNat_hash(unBigNat(bigNat));
}
Value bigNatToNegInteger(const Value& bigNat) {
    VUX_FUNCTION;
    return I::integerFromBigNatNeg_hash(unBigNat(bigNat));
}
uint64_t sizeInBaseInteger(const Value& i, int64_t base) {
    VUX_FUNCTION;
    return I::integerSizeInBase_hash(static_cast<uint64_t>(base), i);
}

Value powModInteger(const Value& b, const Value& e, const Value& m) {
    VUX_FUNCTION;
    Value modulus = I::integerToNatural(m);
    return modularResult(I::integerPowMod_hash(b, e, modulus));
}

Value recipModInteger(const Value& x, const Value& m) {
    VUX_FUNCTION;
    Value modulus = I::integerToNatural(m);
    return modularResult(I::integerRecipMod_hash(x, modulus));
}

// ---------------------------------------------------------------------------------------------
// Natural numbers

int64_t isValidBigNat_hash(const Value& bigNat) {
    VUX_SCC("isValidBigNat#");
    return B::bigNatCheck_hash(unBigNat(bigNat));
}

namespace {
RTS_CONSTANT(zeroBigNatConstant) {
    VUX_CAF("zeroBigNat");
    return boxed(B::bigNatZero());
}
RTS_CONSTANT(oneBigNatConstant) {
    VUX_CAF("oneBigNat");
    return boxed(B::bigNatOne());
}
}  // namespace
Value zeroBigNat() { return zeroBigNatConstant.value(); }
Value oneBigNat() { return oneBigNatConstant.value(); }

Value plusBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatAdd>(a, b));
}
Value plusBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return boxed(B::bigNatAddWord_hash(unBigNat(a), w));
}

Value minusBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return subtracted(onLimbs<&B::bigNatSub>(a, b), minusBigNatUnderflow);
}
Value minusBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return subtracted(B::bigNatSubWord_hash(unBigNat(a), w), minusBigNatWordUnderflow);
}

Value timesBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatMul>(a, b));
}
Value timesBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return boxed(B::bigNatMulWord_hash(unBigNat(a), w));
}
Value sqrBigNat(const Value& a) {
    VUX_FUNCTION;
    return boxed(B::bigNatSqr(unBigNat(a)));
}

std::pair<Value, Value> quotRemBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    auto [q, r] = onLimbs<&B::bigNatQuotRem_hash>(a, b);
    return {boxed(std::move(q)), boxed(std::move(r))};
}
std::pair<Value, GmpLimb_hash> quotRemBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    auto [q, r] = B::bigNatQuotRemWord_hash(unBigNat(a), w);
    return {boxed(std::move(q)), r};
}
Value quotBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatQuot>(a, b));
}
Value quotBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return boxed(B::bigNatQuotWord_hash(unBigNat(a), w));
}
Value remBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatRem>(a, b));
}
GmpLimb_hash remBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return B::bigNatRemWord_hash(unBigNat(a), w);
}
Value gcdBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatGcd>(a, b));
}
GmpLimb_hash gcdBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return B::bigNatGcdWord_hash(unBigNat(a), w);
}

// ---------------------------------------------------------------------------------------------
// Bits

Value shiftRBigNat(const Value& a, int64_t n) {
    VUX_FUNCTION;
    return boxed(B::bigNatShiftR_hash(unBigNat(a), static_cast<uint64_t>(n)));
}
Value shiftLBigNat(const Value& a, int64_t n) {
    VUX_FUNCTION;
    return boxed(B::bigNatShiftL_hash(unBigNat(a), static_cast<uint64_t>(n)));
}
Value clearBitBigNat(const Value& a, int64_t i) {
    VUX_FUNCTION;
    return boxed(B::bigNatClearBit_hash(unBigNat(a), static_cast<uint64_t>(i)));
}
Value complementBitBigNat(const Value& a, int64_t i) {
    VUX_FUNCTION;
    return boxed(B::bigNatComplementBit_hash(unBigNat(a), static_cast<uint64_t>(i)));
}
Value setBitBigNat(const Value& a, int64_t i) {
    VUX_FUNCTION;
    return boxed(B::bigNatSetBit_hash(unBigNat(a), static_cast<uint64_t>(i)));
}
Value andBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatAnd>(a, b));
}
Value orBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatOr>(a, b));
}
Value xorBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return boxed(onLimbs<&B::bigNatXor>(a, b));
}
Value bitBigNat(int64_t i) {
    VUX_FUNCTION;
    return boxed(B::bigNatBit_hash(static_cast<uint64_t>(i)));
}

Value testBitBigNat(const Value& a, int64_t i) {
    VUX_FUNCTION;
    const Value& limbs = unBigNat(a);
    uint64_t bit = static_cast<uint64_t>(i);
    uint64_t limb = bit >> 6;
    if (limb >= limbCount(limbs)) return VUX::Types::False();
    return VUX::Types::fromBool((limbPointer(limbs)[limb] >> (bit & 63)) & 1);
}

int64_t popCountBigNat(const Value& a) {
    VUX_FUNCTION;
    const Value& limbs = unBigNat(a);
    uint64_t n = limbCount(limbs);
    if (n == 0) return 0;
    return static_cast<int64_t>(mpn_popcount(limbPointer(limbs), static_cast<mp_size_t>(n)));
}

// ---------------------------------------------------------------------------------------------
// Limbs

GmpSize_hash sizeofBigNat_hash(const Value& a) {
    VUX_SCC("sizeofBigNat#");
    return static_cast<GmpSize_hash>(limbCount(unBigNat(a)));
}

GmpLimb_hash indexBigNat_hash(const Value& a, GmpSize_hash i) {
    VUX_SCC("indexBigNat#");
    const Value& limbs = unBigNat(a);
    uint64_t n = limbCount(limbs);
    if (i < 0 || static_cast<uint64_t>(i) >= n)
        VUX::Internal::Err::errorAt("indexBigNat#: limb index " + std::to_string(i) + " is outside the " +
                                        std::to_string(n) + " limbs of the number",
                                    VUX_PACKAGE_ID, kModule);
    return limbPointer(limbs)[i];
}

// ---------------------------------------------------------------------------------------------
// Comparison

Value isZeroBigNat(const Value& a) {
    VUX_FUNCTION;
    return B::bigNatIsZero(unBigNat(a));
}
Value compareBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return onLimbs<&B::bigNatCompare>(a, b);
}
Value compareBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    return B::bigNatCompareWord_hash(unBigNat(a), w);
}
int64_t eqBigNatWord_hash(const Value& a, GmpLimb_hash w) {
    VUX_SCC("eqBigNatWord#");
    return B::bigNatEqWord_hash(unBigNat(a), w);
}
Value eqBigNatWord(const Value& a, GmpLimb_hash w) {
    VUX_FUNCTION;
    const Value& limbs = unBigNat(a);
    uint64_t n = limbCount(limbs);
    if (w == 0) return VUX::Types::fromBool(n == 0);
    return VUX::Types::fromBool(n == 1 && limbPointer(limbs)[0] == w);
}
int64_t eqBigNat_hash(const Value& a, const Value& b) {
    VUX_SCC("eqBigNat#");
    return onLimbs<&B::bigNatEq_hash>(a, b);
}
Value eqBigNat(const Value& a, const Value& b) {
    VUX_FUNCTION;
    return onLimbs<&B::bigNatEq>(a, b);
}
int64_t gtBigNatWord_hash(const Value& a, GmpLimb_hash w) {
    VUX_SCC("gtBigNatWord#");
    return B::bigNatGtWord_hash(unBigNat(a), w);
}

// ---------------------------------------------------------------------------------------------
// Conversions

Value wordToBigNat(uint64_t w) {
    VUX_FUNCTION;
    return boxed(B::bigNatFromWord_hash(w));
}
Value wordToBigNat2(uint64_t hi, uint64_t lo) {
    VUX_FUNCTION;
    return boxed(B::bigNatFromWord2_hash(hi, lo));
}
int64_t bigNatToInt(const Value& a) {
    VUX_FUNCTION;
    return B::bigNatToInt_hash(unBigNat(a));
}
uint64_t bigNatToWord(const Value& a) {
    VUX_FUNCTION;
    return B::bigNatToWord_hash(unBigNat(a));
}
Value byteArrayToBigNat_hash(const Value& words, GmpSize_hash n) {
    VUX_SCC("byteArrayToBigNat#");
    return boxed(B::bigNatFromWordArray_hash(words, static_cast<uint64_t>(n)));
}

// ---------------------------------------------------------------------------------------------
// Digit counts

uint64_t sizeInBaseBigNat(const Value& a, int64_t base) {
    VUX_FUNCTION;
    const Value& limbs = unBigNat(a);
    uint64_t b = static_cast<uint64_t>(base);
    if (b < 2) VUX::Num::Primitives::unexpectedValue();
    if (limbCount(limbs) == 0) return 0;
    return B::bigNatLogBaseWord_hash(b, limbs) + 1;
}

uint64_t sizeInBaseWord_hash(uint64_t w, int64_t base) {
    VUX_SCC("sizeInBaseWord#");
    uint64_t b = static_cast<uint64_t>(base);
    // Checked before the zero test, so that a bad base fails the same way whatever the word.
    if (b < 2) VUX::Num::Primitives::unexpectedValue();
    if (w == 0) return 0;
    return VUX::Num::Primitives::wordLogBase_hash(b, w) + 1;
}

// ---------------------------------------------------------------------------------------------
// Bytes

Value importBigNatFromAddr(const void* addr, uint64_t size, int64_t flag) {
    return io([addr, size, flag] {
        VUX_SCC("importBigNatFromAddr");
        return boxed(bigEndian(flag) ? B::bigNatFromAddrBE_hash(size, addr)
                                     : B::bigNatFromAddrLE_hash(size, addr));
    });
}

Value exportBigNatToAddr(Value bigNat, void* addr, int64_t flag) {
    return io([bigNat = std::move(bigNat), addr, flag] {
        VUX_SCC("exportBigNatToAddr");
        const Value& limbs = unBigNat(bigNat);
        return W_hash(bigEndian(flag) ? B::bigNatToAddrBE_hash(limbs, addr)
                                      : B::bigNatToAddrLE_hash(limbs, addr));
    });
}

Value importBigNatFromByteArray(const Value& bytes, uint64_t offset, uint64_t size, int64_t flag) {
    VUX_FUNCTION;
    return boxed(fromByteArray(bytes, offset, size, flag));
}

Value exportBigNatToMutableByteArray(Value bigNat, Value bytes, uint64_t offset, int64_t flag) {
    return io([bigNat = std::move(bigNat), bytes = std::move(bytes), offset, flag] {
        VUX_SCC("exportBigNatToMutableByteArray");
        const Value& limbs = unBigNat(bigNat);
        return W_hash(bigEndian(flag) ? B::bigNatToMutableByteArrayBE_hash(limbs, bytes, offset)
                                      : B::bigNatToMutableByteArrayLE_hash(limbs, bytes, offset));
    });
}

Value importIntegerFromByteArray(const Value& bytes, uint64_t offset, uint64_t size, int64_t flag) {
    VUX_FUNCTION;
    return I::integerFromBigNat_hash(fromByteArray(bytes, offset, size, flag));
}

Value importIntegerFromAddr(const void* addr, uint64_t size, int64_t flag) {
    return io([addr, size, flag] {
        VUX_SCC("importIntegerFromAddr");
        return I::integerFromAddr_hash(size, addr, flag);
    });
}

Value exportIntegerToAddr(Value i, void* addr, int64_t flag) {
    return io([i = std::move(i), addr, flag] {
        VUX_SCC("exportIntegerToAddr");
        return W_hash(I::integerToAddr_hash(i, addr, flag));
    });
}

Value exportIntegerToMutableByteArray(Value i, Value bytes, uint64_t offset, int64_t flag) {
    return io([i = std::move(i), bytes = std::move(bytes), offset, flag] {
        VUX_SCC("exportIntegerToMutableByteArray");
        return W_hash(I::integerToMutableByteArray_hash(i, bytes, offset, flag));
    });
}

}  // namespace VUX::Integer::GMP::Internals
