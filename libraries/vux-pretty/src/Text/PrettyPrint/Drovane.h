// Plain documents: the document library for callers that have no use for annotations.
//
// A plain `Doc` wraps an annotated document whose annotations are unit, and the wrapper has no
// representation of its own: a plain document IS the annotated document value. So the operations
// that only forward to the annotated ones are those very functions (brought in by `using`), and
// a plain document can be built with the annotated constructors and rendered with fullRenderAnn.
// The module has its own static documents, number documents, bracketing, rendering and instances.
#pragma once

#include <cstdint>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"

namespace Text::PrettyPrint::Drovane {

using rts::Value;

namespace A = Text::PrettyPrint::Annotated::Drovane;

// The wrapper: `Doc d` is d itself.
inline Value Doc(Value annotated) { return annotated; }
extern const rts::StaticFun Doc_closure;
// An annotated operation carried over to plain documents: the operation itself on the same values.
Value liftBinary(const Value& op, const Value& p, const Value& q);
Value liftList(const Value& op, const Value& docs);

// Type representations of Doc and of its constructor 'Doc (kind: annotated Doc () -> Doc).
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcDoc, tc_prime_Doc;

// Shared with the annotated module.
using A::Chr;
using A::Chr_tag;
using A::PStr;
using A::PStr_tag;
using A::Str;
using A::Str_tag;
using A::LeftMode_closure;
using A::Mode_closure_tbl;
using A::OneLineMode_closure;
using A::PageMode_closure;
using A::ZigZagMode_closure;
using A::lineLength;
using A::mode;
using A::ribbonsPerLine;
using A::Style;
using A::style;

// The annotated operations themselves.
using A::cat;
using A::char_;
using A::fcat;
using A::first;
using A::fsep;
using A::fullRender;
using A::hang;
using A::hcat;
using A::hsep;
using A::isEmpty;
using A::mconcat;
using A::nest;
using A::op_dollar_dollar;
using A::op_dollar_plus_dollar;
using A::op_lt_gt;
using A::op_lt_plus_gt;
using A::ptext;
using A::punctuate;
using A::reduceDoc;
using A::sconcat;
using A::sep;
using A::sizedText;
using A::text;
using A::txtPrinter;
using A::vcat;
using A::zeroWidthText;
inline Value empty() { return A::Empty(); }
inline Value fromString(const Value& s) { return text(s); }

// Static documents of this module.
Value semi();
Value comma();
Value colon();
Value space();
Value equals();
Value lparen();
Value rparen();
Value lbrack();
Value rbrack();
Value lbrace();
Value rbrace();
Value quote();
Value doubleQuote();
// What the bracketings give for an empty argument: Beside open False close.
Value emptyParens();
Value emptyBrackets();
Value emptyBraces();
Value emptyQuotes();
Value emptyDoubleQuotes();

// Number documents: the base library's text of the number, as `text` builds it.
Value int_(const Value& n);
Value integer(const Value& n);
Value float_(const Value& x);
Value double_(const Value& x);
Value rational(const Value& r);  // its form at precedence 0

// Bracketing with this module's static documents.
Value quotes(const Value& d);
Value doubleQuotes(const Value& d);
Value parens(const Value& d);
Value brackets(const Value& d);
Value braces(const Value& d);
Value maybeQuotes(const Value& flag, const Value& d);
Value maybeDoubleQuotes(const Value& flag, const Value& d);
Value maybeParens(const Value& flag, const Value& d);
Value maybeBrackets(const Value& flag, const Value& d);
Value maybeBraces(const Value& flag, const Value& d);

// Rendering through fullRender and txtPrinter.
Value renderStyle(const Value& style, const Value& doc);
Value render(const Value& doc);
extern const rts::StaticFun txtPrinter_closure;

// The n-fold composition by repeated doubling in n's own integral type (given its record);
// n <= 0 raises "stimes: positive multiplier expected" without a call stack.
Value stimes(const Value& dIntegral, const Value& n, const Value& d);

// Show and Eq by the rendered text (the precedence is ignored).
Value showsPrecDoc(int64_t d, const Value& doc, Value rest);
Value showDoc(const Value& doc);
Value showListDoc(const Value& docs, Value rest);
bool eqDoc(const Value& x, const Value& y);

// Instance records (the NFData record is its rnf; IsString's is fromString).
extern const rts::StaticCon<3> inst_Show_Doc_closure;       // showsPrec, show, showList
extern const rts::StaticCon<2> inst_Eq_Doc_closure;         // ==, /=
extern const rts::StaticCon<3> inst_Semigroup_Doc_closure;  // <>, sconcat, stimes
extern const rts::StaticCon<4> inst_Monoid_Doc_closure;     // Semigroup record, mempty, mappend, mconcat
extern const rts::StaticFun inst_IsString_Doc_closure;      // fromString
extern const rts::StaticFun inst_NFData_Doc_closure;        // rnf: the whole tree, unit annotations included
inline Value inst_Show_Doc() { return inst_Show_Doc_closure.value(); }
inline Value inst_Eq_Doc() { return inst_Eq_Doc_closure.value(); }
inline Value inst_Semigroup_Doc() { return inst_Semigroup_Doc_closure.value(); }
inline Value inst_Monoid_Doc() { return inst_Monoid_Doc_closure.value(); }
inline Value inst_IsString_Doc() { return inst_IsString_Doc_closure.value(); }
inline Value inst_NFData_Doc() { return inst_NFData_Doc_closure.value(); }

}  // namespace Text::PrettyPrint::Drovane
