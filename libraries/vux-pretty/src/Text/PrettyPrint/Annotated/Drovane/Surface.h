// The surface of annotated documents: the constructors as function values, the renderers that make
// annotations visible (spans, decorations, decorations in a monad), and the building blocks of the
// document front (FrontCopy.h), whose operations this file's source defines for the core.
//
// Part of module Text.PrettyPrint.Annotated.Drovane; include it after (or through) Drovane.h.
#pragma once

#include <cstdint>

#include "Text/PrettyPrint/Annotated/Drovane.h"

namespace Text::PrettyPrint::Annotated::Drovane {

// ---------------------------------------------------------------------------------------------
// The constructors as function values of their fields in declaration order. Evaluated fields are
// evaluated before the value is built.
extern const rts::StaticFun NilAbove_closure;    // document
extern const rts::StaticFun TextBeside_closure;  // element, document
extern const rts::StaticFun Nest_closure;        // amount, document
extern const rts::StaticFun Union_closure;       // document, document
extern const rts::StaticFun Beside_closure;      // document, flag, document
extern const rts::StaticFun Above_closure;       // document, flag, document
extern const rts::StaticFun NoAnnot_closure;     // text details, width
extern const rts::StaticFun AnnotEnd_closure;    // annotation
extern const rts::StaticFun Chr_closure;         // character
extern const rts::StaticFun Str_closure;         // string
extern const rts::StaticFun PStr_closure;        // string
extern const rts::StaticFun Span_closure;        // start, length, annotation
extern const rts::StaticFun Style_closure;       // mode, line length, ribbons per line
extern const rts::StaticFun Spans_closure;       // offset, stack, spans, output

// ---------------------------------------------------------------------------------------------
// Annotated rendering, in the default style (PageMode, 100 columns, 1.5 ribbons per line).

// The pair of the rendered text and the list of Span values of the annotated regions, in the
// order of their starts (outer before inner at the same place). Offsets and lengths count layout
// width. A start marker without its end raises "renderSpans: stack underflow".
Value renderSpans(const Value& doc);
// The rendered text with `start a` before and `end a` after every region annotated with a.
// A start marker without its end raises "renderDecorated: stack underflow".
Value renderDecorated(const Value& start, const Value& end, const Value& doc);
// One action of the monad given by its record: `start a`, `end a` and `txt s` for every chunk in
// document order (txt also for indentation and line breaks), then `docEnd`, joined with `>>`.
Value renderDecoratedM(const Value& dMonad, const Value& start, const Value& end, const Value& txt,
                       const Value& docEnd, const Value& doc);

// ---------------------------------------------------------------------------------------------
// Type representation of Doc (a type of kind Type -> Type), which the plain front's records name.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcDoc;

// ---------------------------------------------------------------------------------------------
// Building blocks shared with the plain front.
namespace detail {

// A static one-character document: TextBeside (NoAnnot (Chr c) 1) Empty.
struct StaticCharDoc {
    rts::StaticCon<0, 1> chr;
    rts::StaticCon<1, 1> element;
    rts::StaticCon<2, 0> doc;
    constexpr explicit StaticCharDoc(char c)
        : chr(Chr_tag, rts::word_slot(static_cast<unsigned char>(c))),
          element(NoAnnot_tag, rts::ref_slot(chr.object()), rts::word_slot(1)),
          doc(TextBeside_tag, rts::ref_slot(element.object()), rts::ref_slot(Empty_closure.object())) {}
    Value value() const { return doc.value(); }
    constexpr rts::Object* object() const { return doc.object(); }
};

// A static Beside open False close.
struct StaticPairDoc {
    rts::StaticCon<3, 0> doc;
    constexpr StaticPairDoc(rts::Object* open, rts::Object* close)
        : doc(Beside_tag, rts::ref_slot(open), rts::ref_slot(VUX::Types::False_closure.object()),
              rts::ref_slot(close)) {}
    Value value() const { return doc.value(); }
};

// The bracketing of d between open and close, or `ifEmpty` when d is Empty.
Value bracket(const Value& open, const Value& close, const Value& ifEmpty, const Value& d);

// showsPrec of a rendered document with the given text function over AnnotDetails chunks.
Value renderInFront(const Value& txt, const Value& doc, Value rest);

}  // namespace detail

}  // namespace Text::PrettyPrint::Annotated::Drovane
