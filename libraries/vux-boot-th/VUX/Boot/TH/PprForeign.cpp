// Foreign declarations and pattern-synonym signatures.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using namespace Keywords;
using detail::deferred;
using detail::docsOf;
using detail::formOf;
using detail::laterSig;
using detail::listOf;
using detail::quotedString;
using detail::spacedAll;

namespace {
Value pprForeign(const Value& foreign) {
    VUX_SCC("ppr_Foreign");
    const Value& d = rts::force(foreign);
    auto f = [&](size_t i) -> const Value& { return rts::field(d, i); };
    Value convention = deferred([cc = f(0)] { return pprCallconv(cc); });
    if (d->tag == S::ImportF_tag)
        return spacedAll({kwForeignImport(), convention, deferred([sf = f(1)] { return pprSafety(sf); }),
                          quotedString(f(2)), laterSig(f(3), f(4))});
    return spacedAll({kwForeignExport(), convention, quotedString(f(1)), laterSig(f(2), f(3))});
}

bool isForall(const Value& t) { return formOf(t) == S::ForallT_tag; }
bool isNil(const Value& xs) { return formOf(xs) == VUX::Types::Nil_tag; }
// "forall a b ." (a space before the dot).
Value forallBinders(const Value& binders) {
    Value bs = hsep(
        listOf(docsOf(binders, [](const Value& b) { return pprTyVarBndr(inst_PprFlag_Specificity(), b); })));
    return spacedAll({kwForall(), bs, kwDot()});
}
}  // namespace

Value pprPatSynSig(const Value& name, const Value& type) {
    VUX_FUNCTION;
    return spacedAll({kwPattern(), pprPrefixOcc(name), dcolon(), pprPatSynType(type)});
}

// Universal binders and required context outside, existential binders and provided context
// inside: an empty required context before a provided one is written "() =>" so that the provided
// context is read as such.
Value pprPatSynType(const Value& type) {
    VUX_FUNCTION;
    const Value& outer = rts::force(type);
    if (!isForall(outer) || !isForall(rts::field(outer, 2))) return pprType(noPrec, outer);
    const Value& universals = rts::field(outer, 0);
    const Value& required = rts::field(outer, 1);
    const Value& inner = rts::force(rts::field(outer, 2));
    if (isNil(rts::field(inner, 0)) && isNil(rts::field(inner, 1)))
        return pprType(noPrec, S::ForallT(universals, required, rts::field(inner, 2)));
    if (isNil(universals) && isNil(required)) return spacedAll({kwEmptyContext(), pprType(noPrec, inner)});
    if (isNil(required))
        return spacedAll({forallBinders(universals), kwEmptyContext(), pprType(noPrec, inner)});
    return pprType(noPrec, outer);
}

VUX_PPR_INSTANCE(Foreign, pprForeign)

}  // namespace VUX::Boot::TH::Ppr
