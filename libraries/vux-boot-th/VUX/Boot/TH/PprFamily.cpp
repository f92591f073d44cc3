// Type synonyms and the pieces of type-family declarations: family heads, result signatures and
// the equations of closed families.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using detail::applied;
using detail::hsepBinders;
using detail::maybeDoc;
using detail::namedHead;
using detail::spaced;
using detail::spacedAll;

Value ppr_tySyn(const Value& prefix, const Value& name, const Value& arguments, const Value& type) {
    VUX_FUNCTION;
    return spacedAll({Keywords::kwType(), prefix, namedHead(name, arguments), Keywords::kwEquals(),
                      pprType(noPrec, type)});
}

Value ppr_tf_head(const Value& head) {
    VUX_FUNCTION;
    const Value& h = rts::force(head);
    return spacedAll(
        {applied(rts::field(h, 0)), hsepBinders(rts::field(h, 1)),
         ppr(inst_Ppr_FamilyResultSig(), rts::field(h, 2)),
         maybeDoc(rts::field(h, 3), [](const Value& j) { return ppr(inst_Ppr_InjectivityAnn(), j); })});
}

Value ppr_eqn(const Value& equation) {
    VUX_FUNCTION;
    const Value& e = rts::force(equation);
    return spacedAll({ppr_bndrs(inst_PprFlag_Unit(), rts::field(e, 0)), pprType(noPrec, rts::field(e, 1)),
                      Keywords::kwEquals(), pprType(noPrec, rts::field(e, 2))});
}

namespace {
Value pprFamilyResultSig(const Value& sig) {
    VUX_SCC("ppr_FamilyResultSig");
    const Value& s = rts::force(sig);
    switch (s->tag) {
        case S::NoSig_tag: return empty();
        case S::KindSig_tag: return spaced(dcolon(), pprType(noPrec, rts::field(s, 0)));
        default: return spaced(Keywords::kwEquals(), pprTyVarBndr(inst_PprFlag_Unit(), rts::field(s, 0)));
    }
}
}  // namespace

VUX_PPR_INSTANCE(FamilyResultSig, pprFamilyResultSig)

}  // namespace VUX::Boot::TH::Ppr
