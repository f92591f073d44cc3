// Equality and mapping over annotations of the document types.
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "VUX/Classes.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::later;
using rts::field;
using rts::force;

// ---------------------------------------------------------------------------------------------
// Equality: a difference in constructor decides without looking at fields; fields are compared
// in order and only as far as needed.

bool textDetailsEq(const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = force(x);
    const Value& b = force(y);
    if (a->tag != b->tag) return false;
    if (a->tag == Chr_tag) return rts::word(a, 0) == rts::word(b, 0);
    return VUX::Classes::stringEq(field(a, 0), field(b, 0));
}

bool annotDetailsEq(const Value& dEq, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = force(x);
    const Value& b = force(y);
    if (a->tag != b->tag) return false;
    switch (a->tag) {
        case NoAnnot_tag: return textDetailsEq(field(a, 0), field(b, 0)) && rts::word(a, 0) == rts::word(b, 0);
        case AnnotEnd_tag: return VUX::Record::test(VUX::Classes::op_eq_eq(dEq), field(a, 0), field(b, 0));
        default: return true;
    }
}

bool modeEq(const Value& x, const Value& y) { VUX_FUNCTION; return force(x)->tag == force(y)->tag; }

bool styleEq(const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = force(x);
    const Value& b = force(y);
    return modeEq(field(a, 0), field(b, 0)) && intOf(force(field(a, 1))) == intOf(force(field(b, 1))) &&
           floatOf(force(field(a, 2))) == floatOf(force(field(b, 2)));
}

bool spanEq(const Value& dEq, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = force(x);
    const Value& b = force(y);
    return rts::word(a, 0) == rts::word(b, 0) && rts::word(a, 1) == rts::word(b, 1) &&
           VUX::Record::test(VUX::Classes::op_eq_eq(dEq), field(a, 0), field(b, 0));
}

namespace {
// The operations of an Eq record from a C++ equality test, with /= its negation; the test of a
// parameterised type takes the parameter's Eq record first.
template <auto Eq, class... Record>
Value eqOp(const Record&... dEq, const Value& x, const Value& y) {
    return fromBool(Eq(dEq..., x, y));
}
template <auto Eq, class... Record>
Value neOp(const Record&... dEq, const Value& x, const Value& y) {
    return fromBool(!Eq(dEq..., x, y));
}
using VUX::Record::fn;
using VUX::Record::with;
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_TextDetails_closure{
    fn<&eqOp<&textDetailsEq>>, fn<&neOp<&textDetailsEq>>};
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Mode_closure{fn<&eqOp<&modeEq>>,
                                                                                   fn<&neOp<&modeEq>>};
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Style_closure{fn<&eqOp<&styleEq>>,
                                                                                    fn<&neOp<&styleEq>>};
Value inst_Eq_AnnotDetails(const Value& dEq) {
    VUX_FUNCTION;
    return VUX::Classes::C_Eq(with<&eqOp<&annotDetailsEq, Value>>(dEq),
                              with<&neOp<&annotDetailsEq, Value>>(dEq));
}
Value inst_Eq_Span(const Value& dEq) {
    VUX_FUNCTION;
    return VUX::Classes::C_Eq(with<&eqOp<&spanEq, Value>>(dEq), with<&neOp<&spanEq, Value>>(dEq));
}

// ---------------------------------------------------------------------------------------------
// Mapping over annotations: only AnnotEnd values change, each application deferred.

Value fmapAnnotDetails(const Value& f, const Value& x) {
    VUX_FUNCTION;
    const Value& e = force(x);
    if (e->tag != AnnotEnd_tag) return e;
    Value a = field(e, 0);
    return AnnotEnd(later([f, a] { return rts::apply(f, a); }));
}

Value replaceAnnotDetails(const Value& a, const Value& x) {
    VUX_FUNCTION;
    const Value& e = force(x);
    if (e->tag != AnnotEnd_tag) return e;
    return AnnotEnd(a);
}

Value fmapSpan(const Value& f, const Value& x) {
    VUX_FUNCTION;
    const Value& s = force(x);
    Value a = field(s, 0);
    return Span_hash(rts::int_word(s, 0), rts::int_word(s, 1), later([f, a] { return rts::apply(f, a); }));
}

Value replaceSpan(const Value& a, const Value& x) {
    VUX_FUNCTION;
    const Value& s = force(x);
    return Span_hash(rts::int_word(s, 0), rts::int_word(s, 1), a);
}

namespace {

// Rebuilds a document node by node, mapping each element with `element`; every sub-document of
// the result is deferred.
template <class MapElement>
Value mapDoc(const Value& d, const MapElement& element) {
    const Value& n = force(d);
    auto sub = [&element](const Value& x) { return later([x, element] { return mapDoc(x, element); }); };
    switch (n->tag) {
        case Empty_tag:
        case NoDoc_tag: return n;
        case NilAbove_tag: return NilAbove(sub(field(n, 0)));
        case TextBeside_tag: return rts::con(TextBeside_tag, element(field(n, 0)), sub(field(n, 1)));
        case Nest_tag: return Nest_hash(nestAmount(n), sub(field(n, 0)));
        case Union_tag: return Union(sub(field(n, 0)), sub(field(n, 1)));
        case Beside_tag: return Beside(sub(field(n, 0)), field(n, 1), sub(field(n, 2)));
        case Above_tag: return Above(sub(field(n, 0)), field(n, 1), sub(field(n, 2)));
    }
    __builtin_unreachable();
}

}  // namespace

Value fmapDoc(const Value& f, const Value& d) {
    VUX_FUNCTION;
    return mapDoc(d, [f](const Value& e) { return fmapAnnotDetails(f, e); });
}

Value replaceDoc(const Value& a, const Value& d) {
    VUX_FUNCTION;
    return mapDoc(d, [a](const Value& e) { return replaceAnnotDetails(a, e); });
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
