// The document types, their constructors and the construction operations.
#include "Text/PrettyPrint/Annotated/Drovane.h"

#include <bit>

#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::forceDoc;
using detail::later;
using VUX::Internal::List::forceList;
using rts::force;
using rts::ref_slot;
using rts::word_slot;

// ---------------------------------------------------------------------------------------------
// Static values

constinit const rts::StaticNullary AnnotStart_closure{AnnotStart_tag};
constinit const rts::StaticCon<0, 1> spaceChr_closure{Chr_tag, word_slot(' ')};
constinit const rts::StaticCon<0, 1> newlineChr_closure{Chr_tag, word_slot('\n')};
constinit const rts::StaticCon<1, 1> spaceText_closure{NoAnnot_tag, ref_slot(spaceChr_closure.object()), word_slot(1)};
constinit const rts::StaticCon<1, 1> newlineText_closure{NoAnnot_tag, ref_slot(newlineChr_closure.object()),
                                                         word_slot(1)};

constinit const rts::StaticNullary Empty_closure{Empty_tag};
constinit const rts::StaticNullary NoDoc_closure{NoDoc_tag};

constinit const rts::StaticNullary PageMode_closure{PageMode_tag};
constinit const rts::StaticNullary ZigZagMode_closure{ZigZagMode_tag};
constinit const rts::StaticNullary LeftMode_closure{LeftMode_tag};
constinit const rts::StaticNullary OneLineMode_closure{OneLineMode_tag};
constinit rts::Object* const Mode_closure_tbl[4] = {PageMode_closure.object(), ZigZagMode_closure.object(),
                                                    LeftMode_closure.object(), OneLineMode_closure.object()};

namespace {
constinit const rts::StaticCon<0, 1> defaultLineLength{I_hash_tag, word_slot(100)};
constinit const rts::StaticCon<0, 1> defaultRibbons{F_hash_tag, word_slot(std::bit_cast<uint32_t>(1.5f))};
}  // namespace
constinit const rts::StaticCon<3, 0> style_closure{Style_tag, ref_slot(PageMode_closure.object()),
                                                   ref_slot(defaultLineLength.object()),
                                                   ref_slot(defaultRibbons.object())};

Value empty() { return Empty(); }

// ---------------------------------------------------------------------------------------------
// Constructors

Value Chr(const Value& c) { return Chr_hash(charOf(force(c))); }
Value Chr_hash(uint32_t c) { return rts::con_word(Chr_tag, c); }
Value Str(Value s) { return rts::con(Str_tag, std::move(s)); }
Value PStr(Value s) { return rts::con(PStr_tag, std::move(s)); }

Value NoAnnot(const Value& text, const Value& width) {
    const Value& t = force(text);
    int64_t w = intOf(force(width));
    return NoAnnot_hash(t, w);
}
Value NoAnnot_hash(const Value& text, int64_t width) {
    return rts::con_words(NoAnnot_tag, {static_cast<uint64_t>(width)}, text);
}
Value AnnotEnd(Value annotation) { return rts::con(AnnotEnd_tag, std::move(annotation)); }

Value NilAbove(Value d) { return rts::con(NilAbove_tag, std::move(d)); }
Value TextBeside(const Value& element, Value d) { return rts::con(TextBeside_tag, force(element), std::move(d)); }
Value Nest(const Value& amount, Value d) { return Nest_hash(intOf(force(amount)), std::move(d)); }
Value Nest_hash(int64_t amount, Value d) {
    return rts::con_words(Nest_tag, {static_cast<uint64_t>(amount)}, std::move(d));
}
Value Union(Value p, Value q) { return rts::con(Union_tag, std::move(p), std::move(q)); }
Value Beside(Value p, Value flag, Value q) { return rts::con(Beside_tag, std::move(p), std::move(flag), std::move(q)); }
Value Above(Value p, Value flag, Value q) { return rts::con(Above_tag, std::move(p), std::move(flag), std::move(q)); }

Value Style(Value mode, Value lineLength, Value ribbonsPerLine) {
    return rts::con(Style_tag, std::move(mode), std::move(lineLength), std::move(ribbonsPerLine));
}
Value mode(const Value& s) { return rts::field(force(s), 0); }
Value lineLength(const Value& s) { return rts::field(force(s), 1); }
Value ribbonsPerLine(const Value& s) { return rts::field(force(s), 2); }

Value Span(const Value& start, const Value& length, Value annotation) {
    int64_t s = intOf(force(start));
    int64_t l = intOf(force(length));
    return Span_hash(s, l, std::move(annotation));
}
Value Span_hash(int64_t start, int64_t length, Value annotation) {
    return rts::con_words(Span_tag, {static_cast<uint64_t>(start), static_cast<uint64_t>(length)},
                          std::move(annotation));
}
Value spanStart(const Value& s) { return I_hash(rts::int_word(force(s), 0)); }
Value spanLength(const Value& s) { return I_hash(rts::int_word(force(s), 1)); }
Value spanAnnotation(const Value& s) { return rts::field(force(s), 0); }

Value Spans(const Value& offset, Value stack, Value spans, Value output) {
    return Spans_hash(intOf(force(offset)), std::move(stack), std::move(spans), std::move(output));
}
Value Spans_hash(int64_t offset, Value stack, Value spans, Value output) {
    return rts::con_words(Spans_tag, {static_cast<uint64_t>(offset)}, std::move(stack), std::move(spans),
                          std::move(output));
}
Value sOffset(const Value& s) { return I_hash(rts::int_word(force(s), 0)); }
Value sStack(const Value& s) { return rts::field(force(s), 0); }
Value sSpans(const Value& s) { return rts::field(force(s), 1); }
Value sOutput(const Value& s) { return rts::field(force(s), 2); }

// ---------------------------------------------------------------------------------------------
// Text chunks

namespace {

// The number of cells of a list, walking its spine only.
int64_t spineLength(const Value& list) {
    int64_t n = 0;
    Value cur = list;
    for (;;) {
        const Value& c = forceList(cur);
        if (c->tag == Nil_tag) return n;
        ++n;
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
}

Value chunkDoc(Value element) { return rts::con(TextBeside_tag, std::move(element), Empty()); }

}  // namespace

Value text(const Value& s) { VUX_FUNCTION; return chunkDoc(NoAnnot_hash(Str(s), spineLength(s))); }
Value ptext(const Value& s) { VUX_FUNCTION; return chunkDoc(NoAnnot_hash(PStr(s), spineLength(s))); }
Value sizedText(const Value& width, Value s) {
    VUX_FUNCTION;
    int64_t w = intOf(force(width));
    return chunkDoc(NoAnnot_hash(Str(std::move(s)), w));
}
Value zeroWidthText(Value s) { VUX_FUNCTION; return chunkDoc(NoAnnot_hash(Str(std::move(s)), 0)); }
Value char_(const Value& c) { VUX_SCC("char"); return chunkDoc(NoAnnot_hash(Chr(c), 1)); }

bool isEmptyDoc(const Value& d) { return force(d)->tag == Empty_tag; }
Value isEmpty(const Value& d) { VUX_FUNCTION; return fromBool(isEmptyDoc(d)); }

// ---------------------------------------------------------------------------------------------
// Compositions

namespace {

// The right operand is tested first, then the left; Empty on either side yields the other.
template <uint8_t Tag, bool Flag>
Value compose(const Value& p, const Value& q) {
    const Value& qv = forceDoc(q);
    if (qv->tag == Empty_tag) return forceDoc(p);
    const Value& pv = forceDoc(p);
    if (pv->tag == Empty_tag) return qv;
    return rts::con(Tag, pv, fromBool(Flag), qv);
}

// The chain d1 `node` (d2 `node` (... (dn `node` Empty))), built on demand from the list.
template <uint8_t Tag>
Value chain(const Value& docs, const Value& flag) {
    const Value& cell = forceList(docs);
    if (cell->tag == Nil_tag) return Empty();
    Value rest = rts::field(cell, 1);
    return rts::con(Tag, rts::field(cell, 0), flag, later([rest, flag] { return chain<Tag>(rest, flag); }));
}

// Drops the empty members of a chain of `Tag` nodes, wherever they stand.
template <uint8_t Tag>
Value reduceChain(const Value& d) {
    rts::stack_check();
    Value x = d;
    for (;;) {
        const Value& xv = forceDoc(x);
        if (xv->tag != Tag) return xv;
        Value p = reduceChain<Tag>(rts::field(xv, 0));
        Value q = rts::field(xv, 2);
        if (force(p)->tag == Empty_tag) {
            x = std::move(q);
            continue;
        }
        return rts::con(Tag, std::move(p), rts::field(xv, 1), later([q] { return reduceChain<Tag>(q); }));
    }
}

}  // namespace

Value op_lt_gt(const Value& p, const Value& q) {
    VUX_SCC("<>");
    return compose<Beside_tag, false>(p, q);
}
Value op_lt_plus_gt(const Value& p, const Value& q) {
    VUX_SCC("<+>");
    return compose<Beside_tag, true>(p, q);
}
Value op_dollar_dollar(const Value& p, const Value& q) {
    VUX_SCC("$$");
    return compose<Above_tag, false>(p, q);
}
Value op_dollar_plus_dollar(const Value& p, const Value& q) {
    VUX_SCC("$+$");
    return compose<Above_tag, true>(p, q);
}

Value reduceHoriz(const Value& d) { VUX_FUNCTION; return reduceChain<Beside_tag>(d); }
Value reduceVert(const Value& d) { VUX_FUNCTION; return reduceChain<Above_tag>(d); }
Value hcat(const Value& docs) { VUX_FUNCTION; return reduceHoriz(chain<Beside_tag>(docs, False())); }
Value hsep(const Value& docs) { VUX_FUNCTION; return reduceHoriz(chain<Beside_tag>(docs, True())); }
Value vcat(const Value& docs) { VUX_FUNCTION; return reduceVert(chain<Above_tag>(docs, False())); }

Value nest(const Value& amount, const Value& d) {
    VUX_FUNCTION;
    int64_t k = intOf(force(amount));
    return mkNest(k, reduceDoc(d));
}

Value punctuate(const Value& separator, const Value& docs) {
    VUX_FUNCTION;
    const Value& cell = forceList(docs);
    if (cell->tag == Nil_tag) return Nil();
    // Each element but the last is composed with the separator; the rest is produced on demand.
    struct Go {
        static Value run(const Value& sep, const Value& d, const Value& ds) {
            const Value& next = forceList(ds);
            if (next->tag == Nil_tag) return Cons(d, Nil());
            Value head = later([sep, d] { return op_lt_gt(d, sep); });
            Value y = rts::field(next, 0);
            Value ys = rts::field(next, 1);
            return Cons(std::move(head), later([sep, y, ys] { return run(sep, y, ys); }));
        }
    };
    return Go::run(separator, rts::field(cell, 0), rts::field(cell, 1));
}

Value annotate(Value annotation, const Value& d) {
    VUX_FUNCTION;
    Value rest = detail::suspendedBesideOfReduced(d, False(), chunkDoc(AnnotEnd(std::move(annotation))));
    return rts::con(TextBeside_tag, AnnotStart(), std::move(rest));
}

// ---------------------------------------------------------------------------------------------
// Semigroup and Monoid

Value sconcat(const Value& nonEmpty) {
    VUX_FUNCTION;
    // Fold from the right: the composition of the rest is formed before the element in front.
    std::vector<Value> items;
    const Value& ne = force(nonEmpty);
    items.push_back(rts::field(ne, 0));
    Value cur = rts::field(ne, 1);
    for (;;) {
        const Value& c = forceList(cur);
        if (c->tag == Nil_tag) break;
        items.push_back(rts::field(c, 0));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    Value acc = items.back();
    for (size_t i = items.size() - 1; i-- > 0;) acc = op_lt_gt(items[i], acc);
    return acc;
}

Value mconcat(const Value& docs) {
    VUX_FUNCTION;
    std::vector<Value> items;
    Value cur = docs;
    for (;;) {
        const Value& c = forceList(cur);
        if (c->tag == Nil_tag) break;
        items.push_back(rts::field(c, 0));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    Value acc = Empty();
    for (size_t i = items.size(); i-- > 0;) acc = op_lt_gt(items[i], acc);
    return acc;
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
