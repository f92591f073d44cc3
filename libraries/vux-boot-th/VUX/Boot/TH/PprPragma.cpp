// Pragmas and rule binders. A pragma is evaluated to find its form when its computation is
// built; each field is evaluated only when the part that prints it is first demanded.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using namespace Keywords;
using detail::applied;
using detail::deferred;
using detail::docsOf;
using detail::laterType;
using detail::listOf;
using detail::maybeDoc;
using detail::quotedString;
using detail::spaced;
using detail::spacedAll;
using VUX::Internal::Maybe::isJust;

namespace {
Value laterApplied(Value name) {
    return deferred([name] { return applied(name); });
}
Value laterExp(Value e) {
    return deferred([e] { return pprExp(noPrec, e); });
}
Value laterPpr(Value dPpr, Value x) {
    return deferred([dPpr, x] { return ppr(dPpr, x); });
}
// Nothing prints nothing; Just x prints `print` of x.
template <class F>
Value laterMaybe(Value m, F print) {
    return deferred([m, print] { return maybeDoc(m, print); });
}

// "forall" the binders (filled across lines) ".".
Value ruleForall(const Value& binders, Value (*printBinder)(const Value&)) {
    return spacedAll({kwForall(), fsep(listOf(docsOf(binders, printBinder))), kwDot()});
}
Value unitBinder(const Value& b) { return pprTyVarBndr(inst_PprFlag_Unit(), b); }
Value ruleBinder(const Value& b) { return ppr(inst_Ppr_RuleBndr(), b); }

// The binder clauses of a rule: the type binders when given; the term binders unless there are
// neither type binders nor term binders.
Value ruleBinderClauses(const Value& typeBinders, const Value& termBinders) {
    const Value& tys = rts::force(typeBinders);
    Value typeClause = isJust(tys) ? ruleForall(rts::field(tys, 0), unitBinder) : empty();
    if (!isJust(tys) && rts::force(termBinders)->tag == VUX::Types::Nil_tag) return typeClause;
    return spaced(typeClause, ruleForall(termBinders, ruleBinder));
}

// "{-# RULES "name" [phases]", then the binders and the left side, then "= rhs #-}", laid out by
// sep with the last two nested by 4.
Value pprRule(const Value& r) {
    Value name = rts::field(r, 0), typeBinders = rts::field(r, 1), termBinders = rts::field(r, 2);
    Value lhs = rts::field(r, 3), rhs = rts::field(r, 4), phases = rts::field(r, 5);
    Value header = spacedAll(
        {kwRules(), deferred([name] { return pprString(name); }), laterPpr(inst_Ppr_Phases(), phases)});
    Value binders =
        deferred([typeBinders, termBinders] { return ruleBinderClauses(typeBinders, termBinders); });
    Value four = VUX::Types::I_hash(nestDepth);
    return sep(S::list({header, nest(four, spaced(binders, laterExp(lhs))),
                        nest(four, spacedAll({equals(), laterExp(rhs), kwPragmaClose()}))}));
}

// "name ::" and the type, the type on the next line indented by 2 when both do not fit.
Value specialisedSignature(Value name, Value type) {
    return deferred([name, type] {
        return sep(
            S::list({spaced(applied(name), dcolon()), nest(VUX::Types::I_hash(2), pprType(noPrec, type))}));
    });
}

Value annotationTarget(Value target) {
    return deferred([target] {
        const Value& t = rts::force(target);
        switch (t->tag) {
            case S::ModuleAnnotation_tag: return kwModule();
            case S::TypeAnnotation_tag: return spaced(kwType(), applied(rts::field(t, 0)));
            default: return applied(rts::field(t, 0));
        }
    });
}

// The names separated by ", " (filled across lines), then ":: T" when a type name is given.
Value completeSet(Value names, Value typeName) {
    Value listed = deferred([names] { return fsep(punctuate(comma(), listOf(docsOf(names, applied)))); });
    return spaced(listed, laterMaybe(typeName, [](const Value& t) { return spaced(dcolon(), applied(t)); }));
}

// Every form but the rule: its parts then "#-}", joined by <+>.
Value pprPragma(const Value& pragma) {
    VUX_SCC("ppr_Pragma");
    const Value& p = rts::force(pragma);
    auto f = [&](size_t i) -> const Value& { return rts::field(p, i); };
    switch (p->tag) {
        case S::InlineP_tag:
            return spacedAll({kwPragmaOpen(), laterPpr(inst_Ppr_Inline(), f(1)),
                              laterPpr(inst_Ppr_RuleMatch(), f(2)), laterPpr(inst_Ppr_Phases(), f(3)),
                              laterApplied(f(0)), kwPragmaClose()});
        case S::OpaqueP_tag: return spacedAll({kwOpaque(), laterApplied(f(0)), kwPragmaClose()});
        case S::SpecialiseP_tag:
            return spacedAll(
                {kwSpecialise(), laterMaybe(f(2), [](const Value& i) { return ppr(inst_Ppr_Inline(), i); }),
                 laterPpr(inst_Ppr_Phases(), f(3)), specialisedSignature(f(0), f(1)), kwPragmaClose()});
        case S::SpecialiseInstP_tag:
            return spacedAll({kwSpecialiseInstance(), laterType(f(0)), kwPragmaClose()});
        case S::RuleP_tag: return pprRule(p);
        case S::AnnP_tag:
            return spacedAll({kwAnn(), annotationTarget(f(0)), laterExp(f(1)), kwPragmaClose()});
        case S::LineP_tag: return spacedAll({kwLine(), int_(f(0)), quotedString(f(1)), kwPragmaClose()});
        case S::CompleteP_tag: return spacedAll({kwComplete(), completeSet(f(0), f(1)), kwPragmaClose()});
        default:
            return spacedAll({kwScc(), laterApplied(f(0)),
                              laterMaybe(f(1), [](const Value& s) { return pprString(s); }),
                              kwPragmaClose()});
    }
}

// "x", or "(x :: t)".
Value pprRuleBndr(const Value& binder) {
    VUX_SCC("ppr_RuleBndr");
    const Value& b = rts::force(binder);
    Value name = pprName_prime(S::Alone(), rts::field(b, 0));
    if (b->tag == S::RuleVar_tag) return name;
    return parens(spacedAll({name, dcolon(), laterType(rts::field(b, 1))}));
}
}  // namespace

VUX_PPR_INSTANCE(Pragma, pprPragma)
VUX_PPR_INSTANCE(RuleBndr, pprRuleBndr)

}  // namespace VUX::Boot::TH::Ppr
