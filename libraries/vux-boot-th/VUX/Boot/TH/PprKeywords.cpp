// The fixed vocabulary of the larger printers, and the small pieces that sit among it.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;

namespace Keywords {
VUX_PPR_KEYWORDS(VUX_PPR_KEYWORD)
}  // namespace Keywords

Value barPrefix(const Value& m) { return op_lt_plus_gt(bar(), m); }

Value fieldProjection(const Value& field) {
    VUX_FUNCTION;
    return op_lt_gt(Keywords::kwDot(), text(field));
}

bool isGadtCon(const Value& con) {
    VUX_FUNCTION;
    Value c = rts::force(con);
    while (c->tag == S::ForallC_tag) {
        Value inner = rts::force(rts::field(c, 2));
        c = std::move(inner);
    }
    return c->tag == S::GadtC_tag || c->tag == S::RecGadtC_tag;
}
bool isGadtDecl(const Value& cons) {
    VUX_FUNCTION;
    Value l = rts::force(cons);
    if (l->tag != VUX::Types::Cons_tag) return false;
    while (l->tag == VUX::Types::Cons_tag) {
        if (!isGadtCon(rts::field(l, 0))) return false;
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return true;
}

namespace {
RTS_CONSTANT(gadtArgSeparator_closure) {
    VUX_CAF("gadtArgSeparator");
    return op_lt_gt(space(), arrow());
}
RTS_CONSTANT(emptyMultiIf_closure) {
    VUX_CAF("emptyMultiIf");
    return VUX::Types::Cons(Keywords::kwEmptyMultiIf(), VUX::Types::Nil());
}
}  // namespace
Value gadtArgSeparator() { return gadtArgSeparator_closure.get(); }
Value emptyMultiIf() { return emptyMultiIf_closure.get(); }

}  // namespace VUX::Boot::TH::Ppr
