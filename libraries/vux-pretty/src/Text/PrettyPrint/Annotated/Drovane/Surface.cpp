// The constructors as function values, the type representation, and the core's document front
// (static documents, number documents, bracketing, Show, Eq and the records of Doc).
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "Text/PrettyPrint/Annotated/Drovane/FrontCopy.h"
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"

#include "VUX/Classes.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;

Value detail::renderInFront(const Value& txt, const Value& doc, Value rest) {
    const Value& s = style();
    return fullRenderAnn(mode(s), lineLength(s), ribbonsPerLine(s), txt, rest, doc);
}

Value detail::bracket(const Value& open, const Value& close, const Value& ifEmpty, const Value& d) {
    const Value& dv = force(d);
    if (dv->tag == Empty_tag) return ifEmpty;
    return Beside(Beside(open, False(), dv), False(), close);
}

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

// ---------------------------------------------------------------------------------------------
// The document front of the core: rendering puts annotations' text functions aside.

namespace {
struct CoreRender {
    static Value showsIn(const Value& doc, Value rest) {
        return detail::renderInFront(renderChunk_closure.value(), doc, std::move(rest));
    }
};
using Front = DrovaneFront::FrontCopy<CoreRender>;
}  // namespace

#include "Text/PrettyPrint/Annotated/Drovane/FrontDefinitions.inc"

}  // namespace Text::PrettyPrint::Annotated::Drovane
