#include "VUX/TypeNats/Experimental.h"

#include <optional>

#include "VUX/Num/Natural.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.TypeNats.Experimental");

namespace VUX::TypeNats::Experimental {

namespace N = VUX::Num::Natural;

namespace {

// The witness of `op n m`, computed when demanded.
template <Value (*Op)(const Value&, const Value&)>
Value lazily(Value n, Value m) {
    return rts::delay([n = std::move(n), m = std::move(m)] { return Op(n, m); });
}

bool isEven(const Value& y) { return N::naturalIsZero_hash(N::naturalRem(y, N::naturalFromWord_hash(2))); }
Value half(const Value& y) { return N::naturalQuot(y, N::naturalFromWord_hash(2)); }

// x^y for y >= 1, squaring x while halving y; the odd steps gather their factors in z (when there
// is one yet).
Value power(Value x, Value y) {
    std::optional<Value> z;
    for (;;) {
        if (!isEven(y)) {
            if (N::naturalIsOne_hash(y)) return z ? N::naturalMul(x, *z) : x;
            z = z ? N::naturalMul(x, *z) : x;
        }
        x = N::naturalMul(x, x);
        y = half(y);
    }
}

Value powerOf(const Value& x, const Value& y) {
    if (N::naturalIsZero_hash(y)) return N::naturalOne();
    return power(x, y);
}

}  // namespace

Value plusSNat(Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&N::naturalAdd>(std::move(n), std::move(m));
}
Value timesSNat(Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&N::naturalMul>(std::move(n), std::move(m));
}
Value powerSNat(Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&powerOf>(std::move(n), std::move(m));
}
Value minusSNat(const Value&, Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&N::naturalSubThrow>(std::move(n), std::move(m));
}
Value divSNat(const Value&, Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&N::naturalQuot>(std::move(n), std::move(m));
}
Value modSNat(const Value&, Value n, Value m) {
    VUX_FUNCTION;
    return lazily<&N::naturalRem>(std::move(n), std::move(m));
}
Value log2SNat(const Value&, Value n) {
    VUX_FUNCTION;
    return rts::delay([n = std::move(n)] { return N::naturalFromWord_hash(N::naturalLog2_hash(n)); });
}

}  // namespace VUX::TypeNats::Experimental
