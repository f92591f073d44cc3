// Plain documents: the document library for callers that have no use for annotations.
//
// A plain `Doc` wraps an annotated document whose annotations are unit, and the wrapper has no
// representation of its own: a plain document IS the annotated document value. So the operations
// that only forward to the annotated ones are those very functions (brought in by `using`), and
// a plain document can be built with the annotated constructors and rendered with fullRenderAnn.
// The module has its own rendering, and its own copy of the document front (static documents,
// number documents, bracketing and instances), generated from the core's (FrontCopy.h).
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

// The document front generated for this module: its own static documents, number documents,
// bracketing, stimes, Show and Eq, and the Show, Eq, Semigroup, Monoid and IsString records.
#include "Text/PrettyPrint/Annotated/Drovane/FrontInterface.inc"

// Rendering through fullRender and txtPrinter.
Value renderStyle(const Value& style, const Value& doc);
Value render(const Value& doc);
extern const rts::StaticFun txtPrinter_closure;

// The NFData record is its rnf: the whole tree, unit annotations included.
VUX_STATIC_INSTANCE(inst_NFData_Doc, VUX::Record::Operation);

}  // namespace Text::PrettyPrint::Drovane
