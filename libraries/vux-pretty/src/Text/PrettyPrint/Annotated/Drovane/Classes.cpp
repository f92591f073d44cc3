// The class records of the document types: text forms, deep evaluation and mapping over
// annotations.
#include "Control/DeepSeq.h"
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Internal/Float.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "rts/Profiling.h"

#include <vector>

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using rts::field;
using rts::force;
namespace Show = VUX::Internal::Show;
namespace Derived = VUX::Internal::Derived;

// ---------------------------------------------------------------------------------------------
// Text forms

namespace {

Derived::Forms showString() { return Derived::showOnly(Show::inst_Show_List(Show::inst_Show_Char())); }

RTS_CONSTANT(showTextDetailsRecord) {
    VUX_CAF("showTextDetailsRecord");
    return Derived::deriveShow(
        {{"Chr", {Derived::Rep::Char}}, {"Str", {showString()}}, {"PStr", {showString()}}});
}
RTS_CONSTANT(showModeRecord) {
    VUX_CAF("showModeRecord");
    return Derived::deriveShow({{"PageMode"}, {"ZigZagMode"}, {"LeftMode"}, {"OneLineMode"}});
}
RTS_CONSTANT(showStyleRecord) {
    VUX_CAF("showStyleRecord");
    return Derived::deriveShow(
        {{"Style",
          {{Derived::showOnly(showModeRecord.get()), "mode"},
           {Derived::showOnly(Show::inst_Show_Int()), "lineLength"},
           {Derived::showOnly(VUX::Internal::Float::inst_Show_Float()), "ribbonsPerLine"}}}});
}
}  // namespace

Value inst_Show_TextDetails() { return showTextDetailsRecord.get(); }
Value inst_Show_Mode() { return showModeRecord.get(); }
Value inst_Show_Style() { return showStyleRecord.get(); }
Value inst_Show_AnnotDetails(const Value& dShow) {
    VUX_FUNCTION;
    return Derived::deriveShow({{"AnnotStart"},
                                {"NoAnnot", {Derived::showOnly(inst_Show_TextDetails()), Derived::Rep::Int}},
                                {"AnnotEnd", {Derived::showOnly(dShow)}}});
}

// Span stores its two Ints unboxed after the annotation, so its record form is written by hand.
Value showsSpan(const Value& dShow, int64_t d, const Value& x, Value s) {
    VUX_FUNCTION;
    const Value& sp = force(x);
    return Show::showsRecordForm(
        d, "Span",
        {{"spanStart", Show::showsPrecS(Show::inst_Show_Int(), 0, I_hash(rts::int_word(sp, 0)))},
         {"spanLength", Show::showsPrecS(Show::inst_Show_Int(), 0, I_hash(rts::int_word(sp, 1)))},
         {"spanAnnotation", Show::showsPrecS(dShow, 0, field(sp, 0))}},
        std::move(s));
}
Value inst_Show_Span(const Value& dShow) {
    VUX_FUNCTION;
    return Show::showRecord(rts::fun<3>([dShow](const Value& d, const Value& x, const Value& s) {
        return showsSpan(dShow, intOf(force(d)), x, s);
    }));
}

// ---------------------------------------------------------------------------------------------
// Deep evaluation: every node, both alternatives of every Union, both operands and the flag of
// every Beside and Above, every element. The walk keeps its own stack, so depth costs no C++ stack.

namespace {

Value rnfString(const Value& s) {
    Value cur = s;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return VUX::Tuple::Unit();
        force(field(c, 0));
        Value next = field(c, 1);
        cur = std::move(next);
    }
}

}  // namespace

Value rnfTextDetails(const Value& t) {
    VUX_FUNCTION;
    const Value& v = force(t);
    if (v->tag == Chr_tag) return VUX::Tuple::Unit();
    return rnfString(field(v, 0));
}

Value rnfAnnotDetails(const Value& dNFData, const Value& e) {
    VUX_FUNCTION;
    const Value& v = force(e);
    switch (v->tag) {
        case NoAnnot_tag: return rnfTextDetails(field(v, 0));
        case AnnotEnd_tag: return Control::DeepSeq::rnf(dNFData, field(v, 0));
        default: return VUX::Tuple::Unit();
    }
}

Value rnfDoc(const Value& dNFData, const Value& d) {
    VUX_FUNCTION;
    std::vector<Value> pending{d};
    while (!pending.empty()) {
        Value cur = std::move(pending.back());
        pending.pop_back();
        const Value& n = force(cur);
        switch (n->tag) {
            case Empty_tag:
            case NoDoc_tag: break;
            case NilAbove_tag:
            case Nest_tag: pending.push_back(field(n, 0)); break;
            case TextBeside_tag:
                force(rnfAnnotDetails(dNFData, field(n, 0)));
                pending.push_back(field(n, 1));
                break;
            case Union_tag:
                pending.push_back(field(n, 1));
                pending.push_back(field(n, 0));
                break;
            case Beside_tag:
            case Above_tag:
                force(field(n, 1));
                pending.push_back(field(n, 2));
                pending.push_back(field(n, 0));
                break;
        }
    }
    return VUX::Tuple::Unit();
}

// NFData has one operation, so its record is that operation.
constinit const rts::StaticFun inst_NFData_TextDetails_closure{rts::static_fun_info<&rnfTextDetails>};
Value inst_NFData_AnnotDetails(const Value& dNFData) {
    VUX_FUNCTION;
    return rts::fun<1>([dNFData](const Value& e) { return rnfAnnotDetails(dNFData, e); });
}
Value inst_NFData_Doc(const Value& dNFData) {
    VUX_FUNCTION;
    return rts::fun<1>([dNFData](const Value& d) { return rnfDoc(dNFData, d); });
}

// ---------------------------------------------------------------------------------------------
// Functor records

using VUX::Record::fn;
constinit const VUX::Record::Static<VUX::Internal::Base::C_Functor_class> inst_Functor_Doc_closure{
    fn<&fmapDoc>, fn<&replaceDoc>};
constinit const VUX::Record::Static<VUX::Internal::Base::C_Functor_class> inst_Functor_AnnotDetails_closure{
    fn<&fmapAnnotDetails>, fn<&replaceAnnotDetails>};
constinit const VUX::Record::Static<VUX::Internal::Base::C_Functor_class> inst_Functor_Span_closure{
    fn<&fmapSpan>, fn<&replaceSpan>};

}  // namespace Text::PrettyPrint::Annotated::Drovane
