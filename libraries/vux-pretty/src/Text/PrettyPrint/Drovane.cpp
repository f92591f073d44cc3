// The plain document front: its static documents, number documents, bracketing, rendering and
// instances. Everything else is the annotated module's own functions (see the header).
#include "Text/PrettyPrint/Drovane.h"

#include "Control/DeepSeq.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Drovane");

namespace Text::PrettyPrint::Drovane {

using namespace VUX::Types;
using A::detail::StaticCharDoc;
using A::detail::StaticPairDoc;
using rts::force;
using rts::ref_slot;

namespace {
Value idDoc(const Value& d) { return force(d); }
}  // namespace
constinit const rts::StaticFun Doc_closure{rts::static_fun_info<&idDoc>};

Value liftBinary(const Value& op, const Value& p, const Value& q) {
    VUX_FUNCTION;
    return rts::apply(op, p, q);
}
Value liftList(const Value& op, const Value& docs) { VUX_FUNCTION; return rts::apply(op, docs); }

// ---------------------------------------------------------------------------------------------
// Type representations

}  // namespace Text::PrettyPrint::Drovane
namespace VUX::Tuple {
extern const Types::StaticKindTyConApp tcUnit_kind;  // the kind `()`, defined with tcUnit
}  // namespace VUX::Tuple
namespace Text::PrettyPrint::Drovane {

namespace {
// The kind `Annotated.Doc ()`: the annotated Doc applied to unit.
constinit const rts::StaticCon<2> unitKinds{Cons_tag, ref_slot(&VUX::Tuple::tcUnit_kind.header),
                                            ref_slot(Nil_closure.object())};
constinit const rts::StaticCon<2> annotatedDocOfUnit{KindRepTyConApp_tag, ref_slot(A::tcDoc.object()),
                                                     ref_slot(unitKinds.object())};
}  // namespace
VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Text.PrettyPrint.Drovane");
VUX_DEFINE_TYCON(tcDoc, trModule, "Doc", 0, VUX::Types::kindType);
namespace {
constinit const rts::StaticCon<2> docConKind{KindRepFun_tag, ref_slot(annotatedDocOfUnit.object()),
                                             ref_slot(&tcDoc_kind.header)};
}  // namespace
VUX_DEFINE_TYCON(tc_prime_Doc, trModule, "'Doc", 0, docConKind.object());

// ---------------------------------------------------------------------------------------------
// Static documents

namespace {
constinit const StaticCharDoc semiDoc{';'};
constinit const StaticCharDoc commaDoc{','};
constinit const StaticCharDoc colonDoc{':'};
constinit const rts::StaticCon<2, 0> spaceDoc{A::TextBeside_tag, ref_slot(A::spaceText_closure.object()),
                                              ref_slot(A::Empty_closure.object())};
constinit const StaticCharDoc equalsDoc{'='};
constinit const StaticCharDoc lparenDoc{'('};
constinit const StaticCharDoc rparenDoc{')'};
constinit const StaticCharDoc lbrackDoc{'['};
constinit const StaticCharDoc rbrackDoc{']'};
constinit const StaticCharDoc lbraceDoc{'{'};
constinit const StaticCharDoc rbraceDoc{'}'};
constinit const StaticCharDoc quoteDoc{'\''};
constinit const StaticCharDoc doubleQuoteDoc{'"'};
constinit const StaticPairDoc emptyParensDoc{lparenDoc.object(), rparenDoc.object()};
constinit const StaticPairDoc emptyBracketsDoc{lbrackDoc.object(), rbrackDoc.object()};
constinit const StaticPairDoc emptyBracesDoc{lbraceDoc.object(), rbraceDoc.object()};
constinit const StaticPairDoc emptyQuotesDoc{quoteDoc.object(), quoteDoc.object()};
constinit const StaticPairDoc emptyDoubleQuotesDoc{doubleQuoteDoc.object(), doubleQuoteDoc.object()};
}  // namespace

Value semi() { return semiDoc.value(); }
Value comma() { return commaDoc.value(); }
Value colon() { return colonDoc.value(); }
Value space() { return spaceDoc.value(); }
Value equals() { return equalsDoc.value(); }
Value lparen() { return lparenDoc.value(); }
Value rparen() { return rparenDoc.value(); }
Value lbrack() { return lbrackDoc.value(); }
Value rbrack() { return rbrackDoc.value(); }
Value lbrace() { return lbraceDoc.value(); }
Value rbrace() { return rbraceDoc.value(); }
Value quote() { return quoteDoc.value(); }
Value doubleQuote() { return doubleQuoteDoc.value(); }
Value emptyParens() { return emptyParensDoc.value(); }
Value emptyBrackets() { return emptyBracketsDoc.value(); }
Value emptyBraces() { return emptyBracesDoc.value(); }
Value emptyQuotes() { return emptyQuotesDoc.value(); }
Value emptyDoubleQuotes() { return emptyDoubleQuotesDoc.value(); }

// ---------------------------------------------------------------------------------------------
// Number documents

Value int_(const Value& n) { VUX_SCC("int"); return text(VUX::Internal::Show::itos(intOf(force(n)), Nil())); }
Value integer(const Value& n) { VUX_FUNCTION; return text(VUX::Internal::Num::showsInteger(0, n, Nil())); }
Value float_(const Value& x) {
    VUX_SCC("float");
    return text(VUX::Internal::Float::showSignedFloat(0, floatOf(force(x)), Nil()));
}
Value double_(const Value& x) {
    VUX_SCC("double");
    return text(VUX::Internal::Float::showSignedFloat(0, doubleOf(force(x)), Nil()));
}
Value rational(const Value& r) {
    VUX_FUNCTION;
    return text(VUX::Internal::Show::showsPrec(VUX::Internal::Real::inst_Show_Rational(), 0, r, Nil()));
}

// ---------------------------------------------------------------------------------------------
// Bracketing

namespace {
Value chosen(const Value& flag, Value (*bracketing)(const Value&), const Value& d) {
    if (isTrue(force(flag))) return bracketing(d);
    return force(d);
}
}  // namespace

Value quotes(const Value& d) { VUX_FUNCTION; return A::detail::bracket(quote(), quote(), emptyQuotes(), d); }
Value doubleQuotes(const Value& d) {
    VUX_FUNCTION;
    return A::detail::bracket(doubleQuote(), doubleQuote(), emptyDoubleQuotes(), d);
}
Value parens(const Value& d) {
    VUX_FUNCTION;
    return A::detail::bracket(lparen(), rparen(), emptyParens(), d);
}
Value brackets(const Value& d) {
    VUX_FUNCTION;
    return A::detail::bracket(lbrack(), rbrack(), emptyBrackets(), d);
}
Value braces(const Value& d) {
    VUX_FUNCTION;
    return A::detail::bracket(lbrace(), rbrace(), emptyBraces(), d);
}
Value maybeQuotes(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &quotes, d); }
Value maybeDoubleQuotes(const Value& flag, const Value& d) {
    VUX_FUNCTION;
    return chosen(flag, &doubleQuotes, d);
}
Value maybeParens(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &parens, d); }
Value maybeBrackets(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &brackets, d); }
Value maybeBraces(const Value& flag, const Value& d) { VUX_FUNCTION; return chosen(flag, &braces, d); }

// ---------------------------------------------------------------------------------------------
// Rendering

constinit const rts::StaticFun txtPrinter_closure{rts::static_fun_info<&txtPrinter>};

namespace {
// fullRender of the document in the given style, with txtPrinter and `end` after the text.
Value renderWith(const Value& s, const Value& end, const Value& doc) {
    const Value& sv = force(s);
    return fullRender(rts::field(sv, 0), rts::field(sv, 1), rts::field(sv, 2), txtPrinter_closure.value(), end, doc);
}
}  // namespace

Value renderStyle(const Value& s, const Value& doc) { VUX_FUNCTION; return renderWith(s, Nil(), doc); }
Value render(const Value& doc) { VUX_FUNCTION; return renderWith(style(), Nil(), doc); }

// ---------------------------------------------------------------------------------------------
// Instances

Value showsPrecDoc(int64_t, const Value& doc, Value rest) {
    VUX_FUNCTION;
    return renderWith(style(), rest, doc);
}
Value showDoc(const Value& doc) { VUX_FUNCTION; return render(doc); }
bool eqDoc(const Value& x, const Value& y) {
    VUX_FUNCTION;
    return VUX::Internal::List::eqString(render(x), render(y));
}

namespace {
Value showsDoc0(const Value& doc, const Value& rest) { return showsPrecDoc(0, doc, rest); }
Value showsPrecDocFn(const Value&, const Value& doc, const Value& rest) { return showsPrecDoc(0, doc, rest); }
Value showListDocFn(const Value& docs, const Value& rest) { return showListDoc(docs, rest); }
Value eqDocFn(const Value& x, const Value& y) { return fromBool(eqDoc(x, y)); }
Value neDocFn(const Value& x, const Value& y) { return fromBool(!eqDoc(x, y)); }
Value op_lt_gt_fn(const Value& p, const Value& q) { return op_lt_gt(p, q); }
Value sconcatFn(const Value& ne) { return sconcat(ne); }
Value stimesFn(const Value& dIntegral, const Value& n, const Value& d) { return stimes(dIntegral, n, d); }
Value mconcatFn(const Value& docs) { return mconcat(docs); }
Value fromStringFn(const Value& s) { return text(s); }
// A unit annotation is evaluated to its constructor.
Value rnfDocFn(const Value& d) { return A::rnfDoc(Control::DeepSeq::inst_NFData_Scalar(), d); }

constinit const rts::StaticFun showsDoc0_closure{rts::static_fun_info<&showsDoc0>};
constinit const rts::StaticFun showsPrecDoc_closure{rts::static_fun_info<&showsPrecDocFn>};
constinit const rts::StaticFun showDoc_closure{rts::static_fun_info<&showDoc>};
constinit const rts::StaticFun showListDoc_closure{rts::static_fun_info<&showListDocFn>};
constinit const rts::StaticFun eqDoc_closure{rts::static_fun_info<&eqDocFn>};
constinit const rts::StaticFun neDoc_closure{rts::static_fun_info<&neDocFn>};
constinit const rts::StaticFun op_lt_gt_closure{rts::static_fun_info<&op_lt_gt_fn>};
constinit const rts::StaticFun sconcat_closure{rts::static_fun_info<&sconcatFn>};
constinit const rts::StaticFun stimes_closure{rts::static_fun_info<&stimesFn>};
constinit const rts::StaticFun mconcat_closure{rts::static_fun_info<&mconcatFn>};
}  // namespace

Value showListDoc(const Value& docs, Value rest) {
    VUX_FUNCTION;
    return VUX::Internal::Show::showList__(showsDoc0_closure.value(), docs, std::move(rest));
}

Value stimes(const Value& dIntegral, const Value& n, const Value& d) {
    VUX_FUNCTION;
    return VUX::Internal::Real::stimesByDoubling(op_lt_gt_closure.value(), dIntegral, n, d);
}

constinit const rts::StaticCon<3> inst_Show_Doc_closure{VUX::Internal::Show::C_Show_tag,
                                                ref_slot(showsPrecDoc_closure.object()),
                                                ref_slot(showDoc_closure.object()),
                                                ref_slot(showListDoc_closure.object())};
constinit const rts::StaticCon<2> inst_Eq_Doc_closure{VUX::Classes::C_Eq_tag, ref_slot(eqDoc_closure.object()),
                                              ref_slot(neDoc_closure.object())};
constinit const rts::StaticCon<3> inst_Semigroup_Doc_closure{VUX::Internal::Base::C_Semigroup_tag,
                                                     ref_slot(op_lt_gt_closure.object()),
                                                     ref_slot(sconcat_closure.object()),
                                                     ref_slot(stimes_closure.object())};
constinit const rts::StaticCon<4> inst_Monoid_Doc_closure{
    VUX::Internal::Base::C_Monoid_tag, ref_slot(inst_Semigroup_Doc_closure.object()), ref_slot(A::Empty_closure.object()),
    ref_slot(op_lt_gt_closure.object()), ref_slot(mconcat_closure.object())};
constinit const rts::StaticFun inst_IsString_Doc_closure{rts::static_fun_info<&fromStringFn>};
constinit const rts::StaticFun inst_NFData_Doc_closure{rts::static_fun_info<&rnfDocFn>};

}  // namespace Text::PrettyPrint::Drovane
