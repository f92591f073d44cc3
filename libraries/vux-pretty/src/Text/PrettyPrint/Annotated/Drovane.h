// Annotated documents: the document algebra, its reduction to a normal form of alternative
// layouts, the greedy choice of a layout per line, and rendering.
//
// A document is an immutable tree of shared nodes. Fields marked "deferred" hold suspended
// computations, so a large document is built only as far as layout and rendering examine it.
// Operations take and return rts::Value; the ones named after internal steps of the layout engine
// (beside, aboveNest, sep1...) are exported because the syntax printer builds documents from the
// same nodes and tests check the normal form.
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace Text::PrettyPrint::Annotated::Drovane {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// TextDetails: the text of one chunk.
inline constexpr uint8_t Chr_tag = 0;   // one character, stored unboxed
inline constexpr uint8_t Str_tag = 1;   // a string, deferred
inline constexpr uint8_t PStr_tag = 2;  // a string, deferred; unequal to a Str of the same text

Value Chr(const Value& c);  // evaluates the character
Value Chr_hash(uint32_t c);
Value Str(Value s);
Value PStr(Value s);

// AnnotDetails: one element of a line.
inline constexpr uint8_t AnnotStart_tag = 0;  // start of an annotated region, width 0
inline constexpr uint8_t NoAnnot_tag = 1;     // text (evaluated) and width (unboxed)
inline constexpr uint8_t AnnotEnd_tag = 2;    // end of a region with its value (deferred), width 0

extern const rts::StaticNullary AnnotStart_closure;
inline Value AnnotStart() { return AnnotStart_closure.value(); }
Value NoAnnot(const Value& text, const Value& width);  // evaluates the text, then the width
Value NoAnnot_hash(const Value& text, int64_t width);  // the text evaluated by the caller
Value AnnotEnd(Value annotation);

// The layout width of an evaluated element: a NoAnnot's stored width, 0 for the markers.
inline int64_t elementWidth(const Value& e) { return e->tag == NoAnnot_tag ? rts::int_word(e, 0) : 0; }

// The shared one-column space element, NoAnnot (Chr ' ') 1, and the line feed element.
extern const rts::StaticCon<0, 1> spaceChr_closure;
extern const rts::StaticCon<1, 1> spaceText_closure;
extern const rts::StaticCon<1, 1> newlineText_closure;
inline Value spaceText() { return spaceText_closure.value(); }
inline Value newlineText() { return newlineText_closure.value(); }

// ---------------------------------------------------------------------------------------------
// Doc
inline constexpr uint8_t Empty_tag = 0;       // no lines, no width
inline constexpr uint8_t NilAbove_tag = 1;    // line break, then the document (deferred)
inline constexpr uint8_t TextBeside_tag = 2;  // element (evaluated), then the document (deferred)
inline constexpr uint8_t Nest_tag = 3;        // the document (deferred), then the amount (unboxed)
inline constexpr uint8_t Union_tag = 4;       // two alternatives (deferred), the first preferred
inline constexpr uint8_t NoDoc_tag = 5;       // no layout at all
inline constexpr uint8_t Beside_tag = 6;      // document, flag, document (all deferred)
inline constexpr uint8_t Above_tag = 7;       // document, flag, document (all deferred)

extern const rts::StaticNullary Empty_closure;
extern const rts::StaticNullary NoDoc_closure;
inline Value Empty() { return Empty_closure.value(); }
inline Value NoDoc() { return NoDoc_closure.value(); }
Value NilAbove(Value d);
Value TextBeside(const Value& element, Value d);  // evaluates the element
Value Nest(const Value& amount, Value d);         // evaluates the amount
Value Nest_hash(int64_t amount, Value d);
Value Union(Value p, Value q);
Value Beside(Value p, Value flag, Value q);
Value Above(Value p, Value flag, Value q);

// The field readers of evaluated nodes.
inline const Value& docField(const Value& d, size_t i) { return rts::field(d, i); }
inline int64_t nestAmount(const Value& nest) { return rts::int_word(nest, 0); }

// ---------------------------------------------------------------------------------------------
// Mode and Style
inline constexpr uint8_t PageMode_tag = 0;
inline constexpr uint8_t ZigZagMode_tag = 1;
inline constexpr uint8_t LeftMode_tag = 2;
inline constexpr uint8_t OneLineMode_tag = 3;
extern const rts::StaticNullary PageMode_closure;
extern const rts::StaticNullary ZigZagMode_closure;
extern const rts::StaticNullary LeftMode_closure;
extern const rts::StaticNullary OneLineMode_closure;
extern rts::Object* const Mode_closure_tbl[4];

inline constexpr uint8_t Style_tag = 0;
Value Style(Value mode, Value lineLength, Value ribbonsPerLine);  // all fields deferred
extern const rts::StaticCon<3, 0> style_closure;                  // PageMode, 100, 1.5
inline Value style() { return style_closure.value(); }
Value mode(const Value& s);
Value lineLength(const Value& s);
Value ribbonsPerLine(const Value& s);

// Span and Spans (the span renderer's state)
inline constexpr uint8_t Span_tag = 0;
Value Span(const Value& start, const Value& length, Value annotation);  // evaluates start, length
Value Span_hash(int64_t start, int64_t length, Value annotation);
Value spanStart(const Value& s);
Value spanLength(const Value& s);
Value spanAnnotation(const Value& s);

inline constexpr uint8_t Spans_tag = 0;
Value Spans(const Value& offset, Value stack, Value spans, Value output);  // evaluates the offset
Value Spans_hash(int64_t offset, Value stack, Value spans, Value output);
Value sOffset(const Value& s);
Value sStack(const Value& s);
Value sSpans(const Value& s);
Value sOutput(const Value& s);

// ---------------------------------------------------------------------------------------------
// Equality (record `C_Eq`) and mapping over annotations (`fmap`, `<$`)

bool textDetailsEq(const Value& x, const Value& y);
bool annotDetailsEq(const Value& dEq, const Value& x, const Value& y);
bool modeEq(const Value& x, const Value& y);
bool styleEq(const Value& x, const Value& y);  // ribbons compared as IEEE floats: NaN is unequal
bool spanEq(const Value& dEq, const Value& x, const Value& y);
VUX_STATIC_INSTANCE(inst_Eq_TextDetails, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Eq_Mode, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Eq_Style, VUX::Classes::C_Eq_class);
Value inst_Eq_AnnotDetails(const Value& dEq);
Value inst_Eq_Span(const Value& dEq);

Value fmapAnnotDetails(const Value& f, const Value& e);
Value replaceAnnotDetails(const Value& a, const Value& e);
Value fmapSpan(const Value& f, const Value& s);
Value replaceSpan(const Value& a, const Value& s);
Value fmapDoc(const Value& f, const Value& d);  // costs nothing until the result is traversed
Value replaceDoc(const Value& a, const Value& d);

// Text forms (record `C_Show`), deep evaluation (the NFData record is its `rnf`), and the
// Functor, Semigroup, Monoid and IsString records. Records of a parameterised type take the
// parameter's record.
Value inst_Show_TextDetails();
Value inst_Show_AnnotDetails(const Value& dShow);
Value inst_Show_Mode();
Value inst_Show_Style();
Value inst_Show_Span(const Value& dShow);
Value showsSpan(const Value& dShow, int64_t d, const Value& span, Value s);

Value rnfTextDetails(const Value& t);
Value rnfAnnotDetails(const Value& dNFData, const Value& e);
Value rnfDoc(const Value& dNFData, const Value& d);
VUX_STATIC_INSTANCE(inst_NFData_TextDetails, VUX::Record::Operation);
Value inst_NFData_AnnotDetails(const Value& dNFData);
Value inst_NFData_Doc(const Value& dNFData);

VUX_STATIC_INSTANCE(inst_Functor_Doc, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Functor_AnnotDetails, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Functor_Span, VUX::Internal::Base::C_Functor_class);

// ---------------------------------------------------------------------------------------------
// Construction

Value text(const Value& s);                      // walks the spine to count it
Value ptext(const Value& s);
Value sizedText(const Value& width, Value s);    // evaluates the width only
Value zeroWidthText(Value s);
Value char_(const Value& c);  // evaluates the character

Value empty();
// Whether the document, evaluated, is the Empty constructor itself (nothing is reduced).
bool isEmptyDoc(const Value& d);
Value isEmpty(const Value& d);

// Compositions: <>, <+>, $$, $+$. Empty is the unit of all four on either side.
Value op_lt_gt(const Value& p, const Value& q);
Value op_lt_plus_gt(const Value& p, const Value& q);
Value op_dollar_dollar(const Value& p, const Value& q);
Value op_dollar_plus_dollar(const Value& p, const Value& q);

Value hcat(const Value& docs);
Value hsep(const Value& docs);
Value vcat(const Value& docs);
Value reduceHoriz(const Value& d);
Value reduceVert(const Value& d);

Value nest(const Value& amount, const Value& d);
Value punctuate(const Value& separator, const Value& docs);
Value annotate(Value annotation, const Value& d);

// Semigroup and Monoid of Doc.
Value sconcat(const Value& nonEmpty);  // a non-empty list given as its head and tail list
Value mconcat(const Value& docs);

// ---------------------------------------------------------------------------------------------
// The document front: static documents, number documents, bracketing, stimes, Show and Eq, and the
// Show, Eq, Semigroup, Monoid and IsString records of Doc.

#include "Text/PrettyPrint/Annotated/Drovane/FrontInterface.inc"

// ---------------------------------------------------------------------------------------------
// Reduction to the normal form

Value reduceDoc(const Value& d);
Value beside(const Value& p, const Value& flag, const Value& q);
Value nilBeside(const Value& flag, const Value& q);
Value above(const Value& p, const Value& flag, const Value& q);
Value aboveNest(const Value& p, const Value& flag, int64_t k, const Value& q);
Value nilAboveNest(const Value& flag, int64_t k, const Value& q);
Value mkNest(int64_t k, const Value& d);
Value mkUnion(const Value& p, const Value& q);
Value oneLiner(const Value& d);
bool fits(int64_t n, const Value& d);
bool nonEmptySet(const Value& d);
Value indent(int64_t n);

// Separating and filling
Value sep(const Value& docs);
Value cat(const Value& docs);
Value fsep(const Value& docs);
Value fcat(const Value& docs);
Value hang(const Value& d1, const Value& amount, const Value& d2);
Value sep1(const Value& flag, const Value& p, int64_t k, const Value& ys);
Value sepNB(const Value& flag, const Value& p, int64_t k, const Value& ys);
Value fill(const Value& flag, const Value& docs);
Value fill1(const Value& flag, const Value& p, int64_t k, const Value& ys);
Value fillNB(const Value& flag, const Value& p, int64_t k, const Value& ys);

// ---------------------------------------------------------------------------------------------
// Layout choice and rendering

// The ribbon width: lineLength / ribbonsPerLine in single precision, rounded half to even, as an
// Int (saturated where the quotient lies outside the Int range or is NaN).
int64_t ribbonWidth(int64_t lineLength, float ribbonsPerLine);
Value best(int64_t lineLength, int64_t ribbon, const Value& d);
Value first(const Value& p, const Value& q);

// Renders through a text function txt (chunk, rest -> result) and an end value.
Value fullRenderAnn(const Value& mode, const Value& lineLength, const Value& ribbonsPerLine, const Value& txt,
                    const Value& end, const Value& doc);
// The walk of PageMode and ZigZagMode over a laid-out document (no Union), starting at column 0.
Value display(bool zigzag, int64_t gap, int64_t shift, const Value& txt, const Value& end, const Value& laidOut);
Value fullRender(const Value& mode, const Value& lineLength, const Value& ribbonsPerLine, const Value& txt,
                 const Value& end, const Value& doc);
Value renderStyle(const Value& style, const Value& doc);
Value render(const Value& doc);
// Chr c puts c in front of the rest; Str s and PStr s put s in front of it.
Value txtPrinter(const Value& details, const Value& rest);
// The text function of render over AnnotDetails chunks (markers contribute nothing).
extern const rts::StaticFun renderChunk_closure;

}  // namespace Text::PrettyPrint::Annotated::Drovane
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
