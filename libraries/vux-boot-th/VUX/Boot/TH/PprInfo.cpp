// Reified information about a name. The value is evaluated to find its form when its computation
// is built; each field is evaluated only when the part that prints it is first demanded.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using namespace Keywords;
using detail::above;
using detail::beside;
using detail::deferred;
using detail::each;
using detail::laterSig;
using detail::laterType;
using detail::spaced;
using detail::spacedAll;

namespace {
// A declaration printed on its own, as `ppr` of declarations prints it (built when it runs).
Value pprDec(const Value& dec) { return ppr_dec(true, dec); }
// The declaration above its instances, one per line.
Value withInstances(Value dec, Value instances) {
    Value below = deferred([instances] { return vcat(each(instances, pprDec)); });
    return above(pprDec(dec), below);
}
// "<phrase> Parent: name :: type".
Value member(const Value& phrase, Value parent, Value name, Value type) {
    Value from = deferred([parent] { return beside(pprName_prime(S::Alone(), parent), colon()); });
    return spacedAll({phrase, from, laterSig(std::move(name), std::move(type))});
}
// "Primitive [unlifted] type constructor 'T' (arity n)".
Value primitive(Value name, Value arity, Value unlifted) {
    Value lifting =
        deferred([unlifted] { return VUX::Types::isTrue(rts::force(unlifted)) ? kwUnlifted() : empty(); });
    return spacedAll({kwPrimitive(), lifting, kwTypeConstructor(),
                      deferred([name] { return quotes(pprName(name)); }),
                      parens(spaced(kwArity(), int_(arity)))});
}
// The signature, then the declaration below it when there is one.
Value variable(Value name, Value type, Value dec) {
    Value definition = deferred([dec] { return detail::maybeDoc(dec, pprDec); });
    return vcat(S::list({laterSig(std::move(name), std::move(type)), definition}));
}

Value pprInfo(const Value& info) {
    VUX_SCC("ppr_Info");
    const Value& i = rts::force(info);
    auto f = [&](size_t k) -> const Value& { return rts::field(i, k); };
    switch (i->tag) {
        case S::ClassI_tag:
        case S::FamilyI_tag: return withInstances(f(0), f(1));
        case S::ClassOpI_tag: return member(kwClassOpFrom(), f(2), f(0), f(1));
        case S::TyConI_tag: return pprDec(f(0));
        case S::PrimTyConI_tag: return primitive(f(0), f(1), f(2));
        case S::DataConI_tag: return member(kwConstructorFrom(), f(2), f(0), f(1));
        case S::PatSynI_tag: return deferred([n = f(0), t = f(1)] { return pprPatSynSig(n, t); });
        case S::VarI_tag: return variable(f(0), f(1), f(2));
        default:
            return spacedAll({kwTypeVariable(), deferred([n = f(0)] { return pprName_prime(S::Alone(), n); }),
                              equals(), laterType(f(1))});
    }
}
}  // namespace

VUX_PPR_INSTANCE(Info, pprInfo)

}  // namespace VUX::Boot::TH::Ppr
