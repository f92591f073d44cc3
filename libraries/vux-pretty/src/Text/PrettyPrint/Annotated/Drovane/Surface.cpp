// Show and Eq of documents, bracketing, and the constructors as function values.
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"

#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;

// ---------------------------------------------------------------------------------------------
// Show and Eq

Value detail::renderInFront(const Value& txt, const Value& doc, Value rest) {
    const Value& s = style();
    return fullRenderAnn(mode(s), lineLength(s), ribbonsPerLine(s), txt, rest, doc);
}

Value showsPrecDoc(int64_t, const Value& doc, Value rest) {
    VUX_FUNCTION;
    return detail::renderInFront(renderChunk_closure.value(), doc, std::move(rest));
}
Value showDoc(const Value& doc) { VUX_FUNCTION; return render(doc); }

namespace {
Value showsDoc0(const Value& doc, const Value& rest) { return showsPrecDoc(0, doc, rest); }
constinit const rts::StaticFun showsDoc0_closure{rts::static_fun_info<&showsDoc0>};

Value showsPrecDocFn(const Value& d, const Value& doc, const Value& rest) {
    (void)d;  // a document is never put in parentheses, so the precedence is not even evaluated
    return showsPrecDoc(0, doc, rest);
}
Value showListDocFn(const Value& docs, const Value& rest) { return showListDoc(docs, rest); }
Value eqDocFn(const Value& x, const Value& y) { return fromBool(eqDoc(x, y)); }
Value neDocFn(const Value& x, const Value& y) { return fromBool(!eqDoc(x, y)); }

constinit const rts::StaticFun showsPrecDoc_closure{rts::static_fun_info<&showsPrecDocFn>};
constinit const rts::StaticFun showDoc_closure{rts::static_fun_info<&showDoc>};
constinit const rts::StaticFun showListDoc_closure{rts::static_fun_info<&showListDocFn>};
constinit const rts::StaticFun eqDoc_closure{rts::static_fun_info<&eqDocFn>};
constinit const rts::StaticFun neDoc_closure{rts::static_fun_info<&neDocFn>};
}  // namespace

Value showListDoc(const Value& docs, Value rest) {
    VUX_FUNCTION;
    return VUX::Internal::Show::showList__(showsDoc0_closure.value(), docs, std::move(rest));
}

bool eqDoc(const Value& x, const Value& y) {
    VUX_FUNCTION;
    return VUX::Internal::List::eqString(render(x), render(y));
}

constinit const rts::StaticCon<3> inst_Show_Doc_closure{VUX::Internal::Show::C_Show_tag,
                                                ref_slot(showsPrecDoc_closure.object()),
                                                ref_slot(showDoc_closure.object()),
                                                ref_slot(showListDoc_closure.object())};
constinit const rts::StaticCon<2> inst_Eq_Doc_closure{VUX::Classes::C_Eq_tag, ref_slot(eqDoc_closure.object()),
                                              ref_slot(neDoc_closure.object())};

// ---------------------------------------------------------------------------------------------
// Bracketing

Value detail::bracket(const Value& open, const Value& close, const Value& ifEmpty, const Value& d) {
    const Value& dv = force(d);
    if (dv->tag == Empty_tag) return ifEmpty;
    return Beside(Beside(open, False(), dv), False(), close);
}

namespace {
constinit const detail::StaticCharDoc quoteDoc{'\''};
constinit const detail::StaticCharDoc doubleQuoteDoc{'"'};
constinit const detail::StaticPairDoc emptyQuotesDoc{quoteDoc.object(), quoteDoc.object()};
constinit const detail::StaticPairDoc emptyDoubleQuotesDoc{doubleQuoteDoc.object(), doubleQuoteDoc.object()};
constinit const detail::StaticPairDoc emptyParensDoc{detail::lparenDoc.object(), detail::rparenDoc.object()};
constinit const detail::StaticPairDoc emptyBracketsDoc{detail::lbrackDoc.object(), detail::rbrackDoc.object()};
constinit const detail::StaticPairDoc emptyBracesDoc{detail::lbraceDoc.object(), detail::rbraceDoc.object()};

Value chosen(const Value& flag, Value (*bracketing)(const Value&), const Value& d) {
    if (isTrue(force(flag))) return bracketing(d);
    return force(d);
}
}  // namespace

Value quote() { return quoteDoc.value(); }
Value doubleQuote() { return doubleQuoteDoc.value(); }
Value emptyQuotes() { return emptyQuotesDoc.value(); }
Value emptyDoubleQuotes() { return emptyDoubleQuotesDoc.value(); }
Value emptyParens() { return emptyParensDoc.value(); }
Value emptyBrackets() { return emptyBracketsDoc.value(); }
Value emptyBraces() { return emptyBracesDoc.value(); }

Value quotes(const Value& d) { VUX_FUNCTION; return detail::bracket(quote(), quote(), emptyQuotes(), d); }
Value doubleQuotes(const Value& d) {
    VUX_FUNCTION;
    return detail::bracket(doubleQuote(), doubleQuote(), emptyDoubleQuotes(), d);
}
Value parens(const Value& d) { VUX_FUNCTION; return detail::bracket(lparen(), rparen(), emptyParens(), d); }
Value brackets(const Value& d) {
    VUX_FUNCTION;
    return detail::bracket(lbrack(), rbrack(), emptyBrackets(), d);
}
Value braces(const Value& d) { VUX_FUNCTION; return detail::bracket(lbrace(), rbrace(), emptyBraces(), d); }

Value maybeQuotes(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &quotes, d); }
Value maybeDoubleQuotes(const Value& flag, const Value& d) {
    VUX_FUNCTION;
    return chosen(flag, &doubleQuotes, d);
}
Value maybeParens(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &parens, d); }
Value maybeBrackets(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &brackets, d); }
Value maybeBraces(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &braces, d); }

// ---------------------------------------------------------------------------------------------
// Constructors as function values

namespace {
Value nilAboveFn(const Value& d) { return NilAbove(d); }
Value textBesideFn(const Value& e, const Value& d) { return TextBeside(e, d); }
Value nestFn(const Value& k, const Value& d) { return Nest(k, d); }
Value unionFn(const Value& p, const Value& q) { return Union(p, q); }
Value besideFn(const Value& p, const Value& g, const Value& q) { return Beside(p, g, q); }
Value aboveFn(const Value& p, const Value& g, const Value& q) { return Above(p, g, q); }
Value noAnnotFn(const Value& t, const Value& w) { return NoAnnot(t, w); }
Value annotEndFn(const Value& a) { return AnnotEnd(a); }
Value chrFn(const Value& c) { return Chr(c); }
Value strFn(const Value& s) { return Str(s); }
Value pstrFn(const Value& s) { return PStr(s); }
Value spanFn(const Value& s, const Value& l, const Value& a) { return Span(s, l, a); }
Value styleFn(const Value& m, const Value& l, const Value& r) { return Style(m, l, r); }
Value spansFn(const Value& o, const Value& st, const Value& sp, const Value& out) { return Spans(o, st, sp, out); }
}  // namespace

constinit const rts::StaticFun NilAbove_closure{rts::static_fun_info<&nilAboveFn>};
constinit const rts::StaticFun TextBeside_closure{rts::static_fun_info<&textBesideFn>};
constinit const rts::StaticFun Nest_closure{rts::static_fun_info<&nestFn>};
constinit const rts::StaticFun Union_closure{rts::static_fun_info<&unionFn>};
constinit const rts::StaticFun Beside_closure{rts::static_fun_info<&besideFn>};
constinit const rts::StaticFun Above_closure{rts::static_fun_info<&aboveFn>};
constinit const rts::StaticFun NoAnnot_closure{rts::static_fun_info<&noAnnotFn>};
constinit const rts::StaticFun AnnotEnd_closure{rts::static_fun_info<&annotEndFn>};
constinit const rts::StaticFun Chr_closure{rts::static_fun_info<&chrFn>};
constinit const rts::StaticFun Str_closure{rts::static_fun_info<&strFn>};
constinit const rts::StaticFun PStr_closure{rts::static_fun_info<&pstrFn>};
constinit const rts::StaticFun Span_closure{rts::static_fun_info<&spanFn>};
constinit const rts::StaticFun Style_closure{rts::static_fun_info<&styleFn>};
constinit const rts::StaticFun Spans_closure{rts::static_fun_info<&spansFn>};

// ---------------------------------------------------------------------------------------------
// Type representation

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Text.PrettyPrint.Annotated.Drovane");
VUX_DEFINE_TYCON(tcDoc, trModule, "Doc", 0, VUX::Types::kindTypeToType);

}  // namespace Text::PrettyPrint::Annotated::Drovane
