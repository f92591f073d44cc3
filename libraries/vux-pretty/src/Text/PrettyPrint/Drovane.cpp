// The plain document front: its rendering, its type representations and its copy of the document
// front. Everything else is the annotated module's own functions (see the header).
#include "Text/PrettyPrint/Drovane.h"

#include "Control/DeepSeq.h"
#include "Text/PrettyPrint/Annotated/Drovane/FrontCopy.h"
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
// The document front: rendering through fullRender and txtPrinter.

namespace {
struct PlainRender {
    static Value showsIn(const Value& doc, Value rest) { return renderWith(style(), rest, doc); }
};
using Front = Text::PrettyPrint::Annotated::DrovaneFront::FrontCopy<PlainRender>;
}  // namespace

#include "Text/PrettyPrint/Annotated/Drovane/FrontDefinitions.inc"

namespace {
// A unit annotation is evaluated to its constructor.
Value rnfDocUnit(const Value& d) { return A::rnfDoc(Control::DeepSeq::inst_NFData_Scalar(), d); }
}  // namespace
constinit const rts::StaticFun inst_NFData_Doc_closure{rts::static_fun_info<&rnfDocUnit>};

}  // namespace Text::PrettyPrint::Drovane
