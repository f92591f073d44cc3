// Eq and Ord of lists, Solo and the type-representation records.
//
// The list walks are loops over borrowed references: every cell they visit stays reachable from
// the caller's lists for the whole call (evaluation only adds references), so the walk takes no
// counts and runs in constant stack however long the lists are.
#include "VUX/CString.h"
#include "VUX/Classes.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Classes");

namespace VUX::Classes {

using Types::EQ_tag;
using Types::fromBool;
using Types::GT_tag;
using Types::isTrue;
using Types::LT_tag;
using Types::Nil_tag;

using Record::fn;
using Record::ref;
using Record::with;

namespace {
RTS_INLINE Value evaluated(const Value& v) { return Value(rts::force(v)); }
RTS_INLINE Value ordering(uint8_t tag) { return Value::adopt(Types::Ordering_closure_tbl[tag]); }

// xs == ys with `eq(x, y)` on the heads: evaluate xs, then ys; stop at the first unequal pair.
template <class ElemEq>
RTS_INLINE bool list_equal(const Value& xs, const Value& ys, ElemEq&& eq) {
    const Value* a = &xs;
    const Value* b = &ys;
    for (;;) {
        const Value& ca = rts::force(*a);
        const Value& cb = rts::force(*b);
        if (ca->tag == Nil_tag) return cb->tag == Nil_tag;
        if (cb->tag == Nil_tag) return false;
        if (!eq(rts::field(ca, 0), rts::field(cb, 0))) return false;
        a = &rts::field(ca, 1);
        b = &rts::field(cb, 1);
    }
}

// compare xs ys with `cmp(x, y)` (an Ordering tag) on the heads; a proper prefix comes first.
template <class ElemCompare>
RTS_INLINE uint8_t list_compare(const Value& xs, const Value& ys, ElemCompare&& cmp) {
    const Value* a = &xs;
    const Value* b = &ys;
    for (;;) {
        const Value& ca = rts::force(*a);
        const Value& cb = rts::force(*b);
        if (ca->tag == Nil_tag) return cb->tag == Nil_tag ? EQ_tag : LT_tag;
        if (cb->tag == Nil_tag) return GT_tag;
        uint8_t r = cmp(rts::field(ca, 0), rts::field(cb, 0));
        if (r != EQ_tag) return r;
        a = &rts::field(ca, 1);
        b = &rts::field(cb, 1);
    }
}

// The list operations written with compare only, in these exact forms.
template <auto Compare, class... Ctx>
struct ListOrdOps {
    static Value compare(const Ctx&... c, const Value& x, const Value& y) { return ordering(Compare(c..., x, y)); }
    static Value lt(const Ctx&... c, const Value& x, const Value& y) { return fromBool(Compare(c..., y, x) == GT_tag); }
    static Value le(const Ctx&... c, const Value& x, const Value& y) { return fromBool(Compare(c..., x, y) != GT_tag); }
    static Value gt(const Ctx&... c, const Value& x, const Value& y) { return fromBool(Compare(c..., x, y) == GT_tag); }
    static Value ge(const Ctx&... c, const Value& x, const Value& y) { return fromBool(Compare(c..., y, x) != GT_tag); }
    static Value max(const Ctx&... c, const Value& x, const Value& y) {
        return Compare(c..., x, y) == GT_tag ? evaluated(x) : evaluated(y);
    }
    static Value min(const Ctx&... c, const Value& x, const Value& y) {
        return Compare(c..., x, y) == GT_tag ? evaluated(y) : evaluated(x);
    }
};

RTS_INLINE uint64_t char_word(const Value& c) { return rts::word(rts::force(c), 0); }
RTS_INLINE uint8_t compare_words(uint64_t a, uint64_t b) { return a == b ? EQ_tag : a < b ? LT_tag : GT_tag; }
RTS_INLINE uint8_t compare_ints(int64_t a, int64_t b) { return a == b ? EQ_tag : a < b ? LT_tag : GT_tag; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Lists through the element records

bool listEq(const Value& dEq, const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    const Value eq = op_eq_eq(dEq);
    return list_equal(xs, ys, [&](const Value& x, const Value& y) {
        Value r = rts::apply(eq, x, y);
        return isTrue(rts::force(r));
    });
}

uint8_t listCompare(const Value& dOrd, const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    const Value cmp = compare(dOrd);
    return list_compare(xs, ys, [&](const Value& x, const Value& y) {
        Value r = rts::apply(cmp, x, y);
        return rts::force(r)->tag;
    });
}

namespace {
Value eqList(const Value& dEq, const Value& x, const Value& y) { return fromBool(listEq(dEq, x, y)); }
Value neList(const Value& dEq, const Value& x, const Value& y) { return fromBool(!listEq(dEq, x, y)); }
}  // namespace

Value inst_Eq_List(const Value& dEq) {
    VUX_FUNCTION;
    return C_Eq(with<&eqList>(dEq), with<&neList>(dEq));
}

Value inst_Ord_List(const Value& dOrd) {
    VUX_FUNCTION;
    using Ops = ListOrdOps<&listCompare, Value>;
    return C_Ord(rts::delay([dOrd] { return inst_Eq_List(Ord_Eq(dOrd)); }), with<&Ops::compare>(dOrd),
                 with<&Ops::lt>(dOrd), with<&Ops::le>(dOrd), with<&Ops::gt>(dOrd), with<&Ops::ge>(dOrd),
                 with<&Ops::max>(dOrd), with<&Ops::min>(dOrd));
}

// ---------------------------------------------------------------------------------------------
// Ready-made lists: [Char], [Int], [[Char]]

bool stringEq(const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    return list_equal(xs, ys, [](const Value& x, const Value& y) {
        uint64_t a = char_word(x), b = char_word(y);
        return a == b;
    });
}
uint8_t stringCompare(const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    return list_compare(xs, ys, [](const Value& x, const Value& y) {
        uint64_t a = char_word(x), b = char_word(y);
        return compare_words(a, b);
    });
}
bool intListEq(const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    return list_equal(xs, ys, [](const Value& x, const Value& y) {
        int64_t a = Types::intOf(rts::force(x)), b = Types::intOf(rts::force(y));
        return a == b;
    });
}
uint8_t intListCompare(const Value& xs, const Value& ys) {
    VUX_FUNCTION;
    return list_compare(xs, ys, [](const Value& x, const Value& y) {
        int64_t a = Types::intOf(rts::force(x)), b = Types::intOf(rts::force(y));
        return compare_ints(a, b);
    });
}
bool stringListEq(const Value& xs, const Value& ys) { VUX_FUNCTION; return list_equal(xs, ys, &stringEq); }
uint8_t stringListCompare(const Value& xs, const Value& ys) { VUX_FUNCTION; return list_compare(xs, ys, &stringCompare); }

Value eqString(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(stringEq(x, y)); }
Value neString(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(!stringEq(x, y)); }
Value eqIntList(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(intListEq(x, y)); }
Value neIntList(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(!intListEq(x, y)); }
Value eqStringList(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(stringListEq(x, y)); }
Value neStringList(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(!stringListEq(x, y)); }

#define VUX_STATIC_LIST_INSTANCES(ty, eqFn, neFn, cmpFn)                                             \
    constinit const Record::Static<C_Eq_class> inst_Eq_##ty##_closure{fn<&eqFn>, fn<&neFn>};         \
    constinit const Record::Static<C_Ord_class> inst_Ord_##ty##_closure{                             \
        ref(inst_Eq_##ty##_closure),  fn<&ListOrdOps<&cmpFn>::compare>, fn<&ListOrdOps<&cmpFn>::lt>, \
        fn<&ListOrdOps<&cmpFn>::le>,  fn<&ListOrdOps<&cmpFn>::gt>,      fn<&ListOrdOps<&cmpFn>::ge>, \
        fn<&ListOrdOps<&cmpFn>::max>, fn<&ListOrdOps<&cmpFn>::min>};

VUX_STATIC_LIST_INSTANCES(List_Char, eqString, neString, stringCompare)
VUX_STATIC_LIST_INSTANCES(List_Int, eqIntList, neIntList, intListCompare)
VUX_STATIC_LIST_INSTANCES(List_List_Char, eqStringList, neStringList, stringListCompare)
#undef VUX_STATIC_LIST_INSTANCES

// ---------------------------------------------------------------------------------------------
// Solo: both Solos are evaluated, then the element operation gets the fields unevaluated.

namespace {
RTS_INLINE const Value& solo_field(const Value& s) { return rts::field(rts::force(s), 0); }
}  // namespace

Value inst_Eq_Solo(const Value& dEq) {
    VUX_FUNCTION;
    auto eq = rts::fun<2>([dEq](const Value& x, const Value& y) {
        const Value& a = solo_field(x);
        const Value& b = solo_field(y);
        return call(op_eq_eq(dEq), a, b);
    });
    auto ne = rts::fun<2>([dEq](const Value& x, const Value& y) {
        const Value& a = solo_field(x);
        const Value& b = solo_field(y);
        return fromBool(!test(op_eq_eq(dEq), a, b));
    });
    return C_Eq(std::move(eq), std::move(ne));
}

Value inst_Ord_Solo(const Value& dOrd) {
    VUX_FUNCTION;
    // Each operation: (element record, field of x, field of y, x, y) -> result.
    auto op = [&dOrd](auto fn) {
        return rts::fun<2>([dOrd, fn](const Value& x, const Value& y) {
            const Value& a = solo_field(x);
            const Value& b = solo_field(y);
            return fn(dOrd, a, b, x, y);
        });
    };
    using V = const Value&;
    return C_Ord(
        rts::delay([dOrd] { return inst_Eq_Solo(Ord_Eq(dOrd)); }),
        op([](V d, V a, V b, V, V) { return call(compare(d), a, b); }),
        op([](V d, V a, V b, V, V) { return call(op_lt(d), a, b); }),
        op([](V d, V a, V b, V, V) { return fromBool(!test(op_lt(d), b, a)); }),
        op([](V d, V a, V b, V, V) { return call(op_lt(d), b, a); }),
        op([](V d, V a, V b, V, V) { return fromBool(!test(op_lt(d), a, b)); }),
        op([](V d, V a, V b, V x, V y) { return test(op_lt(d), b, a) ? evaluated(x) : evaluated(y); }),
        op([](V d, V a, V b, V x, V y) { return test(op_lt(d), b, a) ? evaluated(y) : evaluated(x); }));
}

// ---------------------------------------------------------------------------------------------
// TyCon: equal and ordered by fingerprint (high word, then low word, unsigned).

namespace {
RTS_INLINE uint8_t tycon_compare(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    uint64_t ah = Types::tyConFingerprintHigh(a), bh = Types::tyConFingerprintHigh(b);
    if (ah != bh) return ah < bh ? LT_tag : GT_tag;
    return compare_words(Types::tyConFingerprintLow(a), Types::tyConFingerprintLow(b));
}
}  // namespace

Value eqTyCon(const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    return fromBool(Types::tyConFingerprintHigh(a) == Types::tyConFingerprintHigh(b) &&
                    Types::tyConFingerprintLow(a) == Types::tyConFingerprintLow(b));
}
Value neTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(!isTrue(eqTyCon(x, y))); }
Value compareTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return ordering(tycon_compare(x, y)); }
Value ltTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(tycon_compare(x, y) == LT_tag); }
Value leTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(tycon_compare(x, y) != GT_tag); }
Value gtTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(tycon_compare(x, y) == GT_tag); }
Value geTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(tycon_compare(x, y) != LT_tag); }
Value maxTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return tycon_compare(x, y) == GT_tag ? evaluated(x) : evaluated(y); }
Value minTyCon(const Value& x, const Value& y) { VUX_FUNCTION; return tycon_compare(x, y) == GT_tag ? evaluated(y) : evaluated(x); }

constinit const Record::Static<C_Eq_class> inst_Eq_TyCon_closure{fn<&eqTyCon>, fn<&neTyCon>};
constinit const Record::Static<C_Ord_class> inst_Ord_TyCon_closure{ref(inst_Eq_TyCon_closure),
                                                                   fn<&compareTyCon>,
                                                                   fn<&ltTyCon>,
                                                                   fn<&leTyCon>,
                                                                   fn<&gtTyCon>,
                                                                   fn<&geTyCon>,
                                                                   fn<&maxTyCon>,
                                                                   fn<&minTyCon>};

// TrName: two static names are equal only at the same address (their bytes are not read); a static
// name meets a dynamic one as its one-byte-per-character unpacking.
namespace {
bool trname_equal(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    bool sa = a->tag == Types::TrNameS_tag, sb = b->tag == Types::TrNameS_tag;
    if (sa && sb) return Types::trNameBytes(a) == Types::trNameBytes(b);
    Value la = sa ? CString::unpackCString_hash(Types::trNameBytes(a)) : rts::field(a, 0);
    Value lb = sb ? CString::unpackCString_hash(Types::trNameBytes(b)) : rts::field(b, 0);
    return stringEq(la, lb);
}
}  // namespace

Value eqTrName(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(trname_equal(x, y)); }
Value neTrName(const Value& x, const Value& y) { VUX_FUNCTION; return fromBool(!trname_equal(x, y)); }
constinit const Record::Static<C_Eq_class> inst_Eq_TrName_closure{fn<&eqTrName>, fn<&neTrName>};

// Module: package names first; the module names are compared only when the packages agree.
Value eqModule(const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (!trname_equal(rts::field(a, 0), rts::field(b, 0))) return Types::False();
    return fromBool(trname_equal(rts::field(a, 1), rts::field(b, 1)));
}
Value neModule(const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (!trname_equal(rts::field(a, 0), rts::field(b, 0))) return Types::True();
    return fromBool(!trname_equal(rts::field(a, 1), rts::field(b, 1)));
}
constinit const Record::Static<C_Eq_class> inst_Eq_Module_closure{fn<&eqModule>, fn<&neModule>};

}  // namespace VUX::Classes
