// The class records of the document types: text forms, deep evaluation, mapping over
// annotations, and Doc's Semigroup, Monoid and IsString; and the number documents.
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

namespace {
constinit const rts::StaticFun rnfTextDetails_closure{rts::static_fun_info<&rnfTextDetails>};
}  // namespace

// NFData has one operation, so its record is that operation.
Value inst_NFData_TextDetails() { return rnfTextDetails_closure.value(); }
Value inst_NFData_AnnotDetails(const Value& dNFData) {
    VUX_FUNCTION;
    return rts::fun<1>([dNFData](const Value& e) { return rnfAnnotDetails(dNFData, e); });
}
Value inst_NFData_Doc(const Value& dNFData) {
    VUX_FUNCTION;
    return rts::fun<1>([dNFData](const Value& d) { return rnfDoc(dNFData, d); });
}

// ---------------------------------------------------------------------------------------------
// Number documents: the number's standard text, counted once when the document is built.

Value int_(const Value& i) { VUX_SCC("int"); return text(Show::itos(intOf(force(i)), Nil())); }
Value integer(const Value& i) { VUX_FUNCTION; return text(VUX::Internal::Num::showsInteger(0, i, Nil())); }
Value float_(const Value& f) {
    VUX_SCC("float");
    return text(VUX::Internal::Float::showSignedFloat(0, floatOf(force(f)), Nil()));
}
Value double_(const Value& d) {
    VUX_SCC("double");
    return text(VUX::Internal::Float::showSignedFloat(0, doubleOf(force(d)), Nil()));
}
Value rational(const Value& r) {
    VUX_FUNCTION;
    return text(Show::showsPrec(VUX::Internal::Real::inst_Show_Rational(), 0, r, Nil()));
}

// ---------------------------------------------------------------------------------------------
// Semigroup, Monoid, IsString and Functor records

namespace {
constinit const rts::StaticFun op_lt_gt_closure{rts::static_fun_info<&op_lt_gt>};
}  // namespace

Value stimes(const Value& dIntegral, const Value& n, const Value& d) {
    VUX_FUNCTION;
    // The count is checked when the result is demanded, not when stimes is applied.
    return rts::delay([dIntegral, n, d] {
        return VUX::Internal::Real::stimesByDoubling(op_lt_gt_closure.value(), dIntegral, n, d);
    });
}

namespace {
constinit const rts::StaticFun sconcat_closure{rts::static_fun_info<&sconcat>};
constinit const rts::StaticFun stimes_closure{rts::static_fun_info<&stimes>};
constinit const rts::StaticFun mconcat_closure{rts::static_fun_info<&mconcat>};
constinit const rts::StaticFun text_closure{rts::static_fun_info<&text>};
constinit const rts::StaticFun fmapDoc_closure{rts::static_fun_info<&fmapDoc>};
constinit const rts::StaticFun replaceDoc_closure{rts::static_fun_info<&replaceDoc>};
constinit const rts::StaticFun fmapAnnotDetails_closure{rts::static_fun_info<&fmapAnnotDetails>};
constinit const rts::StaticFun replaceAnnotDetails_closure{rts::static_fun_info<&replaceAnnotDetails>};
constinit const rts::StaticFun fmapSpan_closure{rts::static_fun_info<&fmapSpan>};
constinit const rts::StaticFun replaceSpan_closure{rts::static_fun_info<&replaceSpan>};
using rts::ref_slot;
constinit const rts::StaticCon<3> semigroupDoc{VUX::Internal::Base::C_Semigroup_tag, ref_slot(op_lt_gt_closure.object()),
                                               ref_slot(sconcat_closure.object()), ref_slot(stimes_closure.object())};
constinit const rts::StaticCon<4> monoidDoc{VUX::Internal::Base::C_Monoid_tag, ref_slot(semigroupDoc.object()),
                                            ref_slot(Empty_closure.object()), ref_slot(op_lt_gt_closure.object()),
                                            ref_slot(mconcat_closure.object())};
constinit const rts::StaticCon<2> functorDoc{VUX::Internal::Base::C_Functor_tag, ref_slot(fmapDoc_closure.object()),
                                             ref_slot(replaceDoc_closure.object())};
constinit const rts::StaticCon<2> functorAnnotDetails{VUX::Internal::Base::C_Functor_tag,
                                                      ref_slot(fmapAnnotDetails_closure.object()),
                                                      ref_slot(replaceAnnotDetails_closure.object())};
constinit const rts::StaticCon<2> functorSpan{VUX::Internal::Base::C_Functor_tag, ref_slot(fmapSpan_closure.object()),
                                              ref_slot(replaceSpan_closure.object())};
}  // namespace

Value inst_Semigroup_Doc() { return semigroupDoc.value(); }
Value inst_Monoid_Doc() { return monoidDoc.value(); }
// IsString has one operation, so its record is fromString itself: text.
Value inst_IsString_Doc() { return text_closure.value(); }
Value inst_Functor_Doc() { return functorDoc.value(); }
Value inst_Functor_AnnotDetails() { return functorAnnotDetails.value(); }
Value inst_Functor_Span() { return functorSpan.value(); }

}  // namespace Text::PrettyPrint::Annotated::Drovane
