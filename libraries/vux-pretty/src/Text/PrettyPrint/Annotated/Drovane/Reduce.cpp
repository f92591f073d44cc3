// Reduction to the normal form: the unreduced compositions Beside and Above become a tree of
// elements, line breaks, nests, alternatives and empty sets, built on demand.
//
// Positions are relative: every sub-document has a reference column, where it starts a line when
// it starts one. Descending past an element or a nest, the reduction corrects the pending
// indentation of what it attaches by the element's width or the nest's amount.
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "rts/Profiling.h"

#include <algorithm>

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::addSat;
using detail::flagOf;
using detail::forceDoc;
using detail::later;
using detail::layoutError;
using detail::notADocument;
using detail::subSat;
using rts::field;
using rts::force;

namespace detail {
RTS_COLD void notADocument() {
    layoutError("not a document: a value of another type where a document is expected");
}
}  // namespace detail

Value reduceDoc(const Value& d) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& dv = forceDoc(d);
    switch (dv->tag) {
        case Beside_tag: {
            Value q = field(dv, 2);
            return beside(field(dv, 0), field(dv, 1), later([q] { return reduceDoc(q); }));
        }
        case Above_tag: {
            Value q = field(dv, 2);
            return above(field(dv, 0), field(dv, 1), later([q] { return reduceDoc(q); }));
        }
        default: return dv;
    }
}

Value beside(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& pv = forceDoc(p);
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag: {
            Value p1 = field(pv, 0), p2 = field(pv, 1);
            return Union(later([p1, g, q] { return beside(p1, g, q); }),
                         later([p2, g, q] { return beside(p2, g, q); }));
        }
        case Empty_tag: return q;
        case Nest_tag: return Nest_hash(nestAmount(pv), beside(field(pv, 0), g, q));
        case Beside_tag: {
            const Value& g1 = field(pv, 1);
            bool f1 = flagOf(g1);
            if (f1 == flagOf(g)) return beside(field(pv, 0), g1, beside(field(pv, 2), g, q));
            return beside(reduceDoc(pv), g, q);
        }
        case Above_tag: return beside(reduceDoc(pv), g, q);
        case NilAbove_tag: return NilAbove(beside(field(pv, 0), g, q));
        case TextBeside_tag: {
            Value rest = field(pv, 1);
            return rts::con(TextBeside_tag, field(pv, 0), later([rest, g, q] {
                                if (forceDoc(rest)->tag == Empty_tag) return nilBeside(g, q);
                                return beside(rest, g, q);
                            }));
        }
    }
    notADocument();
}

Value nilBeside(const Value& g, const Value& q) {
    VUX_FUNCTION;
    Value cur = q;
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Empty_tag) return Empty();
        if (qv->tag == Nest_tag) {
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (flagOf(g)) return rts::con(TextBeside_tag, spaceText(), qv);
        return qv;
    }
}

Value above(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& pv = forceDoc(p);
    switch (pv->tag) {
        case Above_tag: {
            Value q1 = field(pv, 2);
            return above(field(pv, 0), field(pv, 1), later([q1, g, q] { return above(q1, g, q); }));
        }
        case Beside_tag: return aboveNest(reduceDoc(pv), g, 0, later([q] { return reduceDoc(q); }));
        default: return aboveNest(pv, g, 0, later([q] { return reduceDoc(q); }));
    }
}

Value aboveNest(const Value& p, const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& pv = forceDoc(p);
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag: {
            Value p1 = field(pv, 0), p2 = field(pv, 1);
            return Union(later([p1, g, k, q] { return aboveNest(p1, g, k, q); }),
                         later([p2, g, k, q] { return aboveNest(p2, g, k, q); }));
        }
        case Empty_tag: return mkNest(k, q);
        case Nest_tag: {
            int64_t k1 = nestAmount(pv);
            Value inner = field(pv, 0);
            int64_t k2 = subSat(k, k1);
            return Nest_hash(k1, later([inner, g, k2, q] { return aboveNest(inner, g, k2, q); }));
        }
        case NilAbove_tag: {
            Value inner = field(pv, 0);
            return NilAbove(later([inner, g, k, q] { return aboveNest(inner, g, k, q); }));
        }
        case TextBeside_tag: {
            const Value& s = field(pv, 0);
            Value rest = field(pv, 1);
            int64_t k1 = subSat(k, elementWidth(s));
            return rts::con(TextBeside_tag, s, later([rest, g, k1, q] {
                                if (forceDoc(rest)->tag == Empty_tag) return nilAboveNest(g, k1, q);
                                return aboveNest(rest, g, k1, q);
                            }));
        }
        case Above_tag: layoutError("aboveNest Above");
        case Beside_tag: layoutError("aboveNest Beside");
    }
    notADocument();
}

Value nilAboveNest(const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    Value cur = q;
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Empty_tag) return Empty();
        if (qv->tag == Nest_tag) {
            k = addSat(k, nestAmount(qv));
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (!flagOf(g) && k > 0) return rts::con(TextBeside_tag, NoAnnot_hash(Str(indent(k)), k), qv);
        Value rest = qv;
        return NilAbove(later([k, rest] { return mkNest(k, rest); }));
    }
}

Value mkNest(int64_t k, const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case Nest_tag: {
                k = addSat(k, nestAmount(dv));
                Value inner = field(dv, 0);
                cur = std::move(inner);
                continue;
            }
            case NoDoc_tag:
            case Empty_tag: return dv;
            default:
                if (k == 0) return dv;
                return Nest_hash(k, dv);
        }
    }
}

Value mkUnion(const Value& p, const Value& q) {
    VUX_FUNCTION;
    const Value& pv = forceDoc(p);
    if (pv->tag == Empty_tag) return Empty();
    return Union(pv, q);
}

Value oneLiner(const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NoDoc_tag:
            case Empty_tag: return dv;
            case NilAbove_tag: return NoDoc();
            case TextBeside_tag: {
                Value rest = field(dv, 1);
                return rts::con(TextBeside_tag, field(dv, 0), later([rest] { return oneLiner(rest); }));
            }
            case Nest_tag: {
                Value inner = field(dv, 0);
                return Nest_hash(nestAmount(dv), later([inner] { return oneLiner(inner); }));
            }
            case Union_tag: {
                Value p = field(dv, 0);
                cur = std::move(p);
                continue;
            }
            case Above_tag: layoutError("oneLiner Above");
            case Beside_tag: layoutError("oneLiner Beside");
            default: notADocument();
        }
    }
}

bool fits(int64_t n, const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        if (n < 0) return false;
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case Empty_tag:
            case NilAbove_tag: return true;
            case NoDoc_tag: return false;
            case TextBeside_tag: {
                n = subSat(n, elementWidth(field(dv, 0)));
                Value rest = field(dv, 1);
                cur = std::move(rest);
                continue;
            }
            case Union_tag: layoutError("fits Union");
            case Nest_tag: layoutError("fits Nest");
            case Above_tag: layoutError("fits Above");
            case Beside_tag: layoutError("fits Beside");
            default: notADocument();
        }
    }
}

bool nonEmptySet(const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NoDoc_tag: return false;
            case Union_tag:
            case Empty_tag:
            case NilAbove_tag: return true;
            case TextBeside_tag: {
                Value rest = field(dv, 1);
                cur = std::move(rest);
                continue;
            }
            case Nest_tag: {
                Value inner = field(dv, 0);
                cur = std::move(inner);
                continue;
            }
            case Above_tag: layoutError("nonEmptySet Above");
            case Beside_tag: layoutError("nonEmptySet Beside");
            default: notADocument();
        }
    }
}

namespace {
constinit const rts::StaticCon<0, 1> spaceChar{C_hash_tag, rts::word_slot(' ')};
constinit const rts::StaticCon<2, 0> oneSpace{Cons_tag, rts::ref_slot(spaceChar.object()),
                                              rts::ref_slot(Nil_closure.object())};
}  // namespace

Value indent(int64_t n) {
    VUX_FUNCTION;
    if (n <= 0) return Nil();
    if (n == 1) return oneSpace.value();
    // A block of spaces is built at once; a longer indentation continues lazily block by block,
    // so an enormous nest amount costs only the spaces a reader consumes.
    constexpr int64_t block = 256;
    Value spaces = n > block ? later([n] { return indent(n - block); }) : Nil();
    for (int64_t i = std::min(n, block); i > 0; --i) spaces = Cons(spaceChar.value(), std::move(spaces));
    return spaces;
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
