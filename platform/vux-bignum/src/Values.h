// Reading Natural and Integer values as signed magnitudes, and building them back in canonical
// form. Internal to vux-bignum.
#pragma once

#include "Limbs.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"

namespace VUX::Num::detail {

// `nat` and `i` are evaluated.
RTS_INLINE void load_natural(Operand& o, const Value& nat) {
    if (nat->tag == Natural::NS_tag)
        o.set_word(rts::word(nat, 0));
    else
        o.set_limbs(view(rts::field(nat, 0)), false);
}
RTS_INLINE void load_integer(Operand& o, const Value& i) {
    if (i->tag == Integer::IS_tag)
        o.set_int(rts::int_word(i, 0));
    else
        o.set_limbs(view(rts::field(i, 0)), i->tag == Integer::IN_tag);
}

// The first n limbs of the buffer (trimmed) as a Natural / as an Integer of the given sign.
Value natural_result(LimbBuf& buf, size_t n);
Value integer_result(LimbBuf& buf, size_t n, bool negative);
// A canonical Integer from a magnitude given as a view (copied when it is big).
Value integer_from_limbs(Limbs mag, bool negative);
Value natural_from_limbs(Limbs mag);

template <class Op>
Value natural_build(size_t cap, Op&& op) {
    LimbBuf buf(cap);
    size_t n = op(buf.data());
    return natural_result(buf, n);
}
template <class Op>
Value integer_build(size_t cap, bool negative, Op&& op) {
    LimbBuf buf(cap);
    size_t n = op(buf.data());
    return integer_result(buf, n, negative);
}

RTS_INLINE size_t max_size(Limbs a, Limbs b) { return a.n > b.n ? a.n : b.n; }
RTS_INLINE size_t min_size(Limbs a, Limbs b) { return a.n < b.n ? a.n : b.n; }

}  // namespace VUX::Num::detail
