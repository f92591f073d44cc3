// Reading Natural and Integer values as signed magnitudes, and building them back in canonical
// form. Internal to vux-bignum.
#pragma once

#include "Limbs.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"

namespace VUX::Num::detail {

// An `IP` or `IN` holds its magnitude in one of two forms. Inline: a constructor without
// references whose first word is the limb count and whose next words are the limbs; the object
// keeps the size it was allocated with, so words beyond the count may follow (zero). Or as a
// reference to a byte array: magnitudes of more than kInlineLimbs limbs, and those taken from a
// Natural or given as a BigNat#. Arithmetic builds its results inline, so a big result is one
// allocation.
inline constexpr size_t kInlineLimbs = 254;  // the count and the limbs within a header's 255 words

// The magnitude of an evaluated `IP` or `IN` that holds its limbs inline.
RTS_INLINE Limbs inline_magnitude(const Value& i) {
    const rts::Slot* s = rts::con_slots(i.get());
    return {reinterpret_cast<const Limb*>(s + 1), static_cast<size_t>(s[0].word)};
}
// The magnitude of an evaluated `IP` or `IN`, in either form.
RTS_INLINE Limbs integer_magnitude(const Value& i) {
    if (i->nptrs == 0) return inline_magnitude(i);
    return view(rts::as_value(rts::con_slots(i.get())[0].ref));
}

// A new `IP` or `IN` (by `tag`) with room for `cap` limbs inline (1 <= cap <= kInlineLimbs), its
// count not yet written. Unowned: for a caller that cannot fail before it counts the limbs, as
// GMP's mpn functions do not.
RTS_INLINE rts::Object* alloc_inline_magnitude(size_t cap, uint8_t tag) {
    return rts::alloc_con(tag, 0, static_cast<uint8_t>(cap + 1));
}
// The same from the calling thread's free list, or null when that has no block at hand: for a
// path that then goes out of line to alloc_inline_magnitude, so as to keep no value across a call.
RTS_INLINE rts::Object* take_inline_magnitude(size_t cap, uint8_t tag) {
    return rts::try_alloc_con(tag, 0, static_cast<uint8_t>(cap + 1));
}
RTS_INLINE Limb* inline_limbs(rts::Object* o) { return reinterpret_cast<Limb*>(rts::con_slots(o) + 1); }
RTS_INLINE void set_inline_count(rts::Object* o, size_t n) { rts::con_slots(o)[0].word = n; }

// A new `IP` (or `IN` when negative) with room for `cap` limbs inline (1 <= cap <= kInlineLimbs),
// which the caller writes through data() before finish().
class InlineMagnitude {
  public:
    RTS_INLINE InlineMagnitude(size_t cap, bool negative)
        : InlineMagnitude(alloc_inline_magnitude(cap, negative ? Integer::IN_tag : Integer::IP_tag), cap, negative) {}
    // Takes over such an object, made with alloc_inline_magnitude.
    RTS_INLINE InlineMagnitude(rts::Object* obj, size_t cap, bool negative)
        : obj_(Value::adopt(obj)), cap_(cap), negative_(negative) {}
    InlineMagnitude(const InlineMagnitude&) = delete;
    InlineMagnitude& operator=(const InlineMagnitude&) = delete;

    RTS_INLINE Limb* data() { return inline_limbs(obj_.get()); }
    // The canonical Integer of the first `n` limbs (trimmed): a small one when the value fits,
    // else this object (or an exact copy, when the value uses less than half of it).
    Value finish(size_t n);
    // This object, holding `n` limbs: canonical, too big for a small integer, and with the words
    // beyond them zero.
    RTS_INLINE Value seal(size_t n) {
        set_inline_count(obj_.get(), n);
        return std::move(obj_);
    }

  private:
    Value obj_;
    size_t cap_;
    bool negative_;
};

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
        o.set_limbs(integer_magnitude(i), i->tag == Integer::IN_tag);
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
// A result of at most `cap` limbs that `op` writes: inline when it can be.
template <class Op>
Value integer_build(size_t cap, bool negative, Op&& op) {
    if (cap != 0 && cap <= kInlineLimbs) {
        InlineMagnitude m(cap, negative);
        size_t n = op(m.data());
        return m.finish(n);
    }
    LimbBuf buf(cap);
    size_t n = op(buf.data());
    return integer_result(buf, n, negative);
}

RTS_INLINE size_t max_size(Limbs a, Limbs b) { return a.n > b.n ? a.n : b.n; }
RTS_INLINE size_t min_size(Limbs a, Limbs b) { return a.n < b.n ? a.n : b.n; }

}  // namespace VUX::Num::detail
