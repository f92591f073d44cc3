// Algebraic type declarations (data, newtype, type data and the instances of data families), their
// constructors and fields, and deriving clauses.
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using detail::applied;
using detail::beside;
using detail::commaList;
using detail::docsOf;
using detail::formOf;
using detail::listOf;
using detail::maybeDoc;
using detail::namedHead;
using detail::nested;
using detail::semiList;
using detail::spaced;
using detail::spacedAll;

namespace {
// The constructors after "=" and "|", one per line.
Value ordinaryAlternatives(std::vector<Value> cons) {
    for (size_t i = 0; i < cons.size(); ++i)
        cons[i] = i == 0 ? spaced(Keywords::kwEquals(), cons[i]) : barPrefix(cons[i]);
    return vcat(listOf(std::move(cons)));
}
Value pprCon(const Value& con);
}  // namespace

// ---------------------------------------------------------------------------------------------
// Declarations

Value ksigDoc(const Value& maybeKind) {
    VUX_FUNCTION;
    return maybeDoc(maybeKind, [](const Value& k) { return spaced(dcolon(), pprType(noPrec, k)); });
}

Value ppr_typedef(const Value& keyword, bool alone, const Value& prefix, const Value& ctx, const Value& name,
                  const Value& arguments, const Value& kind, const Value& cons, const Value& derivings) {
    VUX_FUNCTION;
    bool gadt = isGadtDecl(cons);
    Value line = spacedAll({keyword, prefix, pprCxt(ctx), namedHead(name, arguments), ksigDoc(kind),
                            gadt ? Keywords::kwWhere() : empty()});
    std::vector<Value> conDocs = docsOf(cons, pprCon);
    Value block = !gadt   ? ordinaryAlternatives(std::move(conDocs))
                  : alone ? vcat(listOf(std::move(conDocs)))
                          : braces(semiList(std::move(conDocs)));
    std::vector<Value> clauses = docsOf(derivings, ppr_deriv_clause);
    Value deriving = clauses.empty() ? empty() : nested(vcat(listOf(std::move(clauses))));
    return sep(listOf({line, nested(block), deriving}));
}

Value ppr_data(bool alone, const Value& prefix, const Value& ctx, const Value& name, const Value& arguments,
               const Value& kind, const Value& cons, const Value& derivings) {
    return ppr_typedef(Keywords::kwData(), alone, prefix, ctx, name, arguments, kind, cons, derivings);
}
Value ppr_newtype(bool alone, const Value& prefix, const Value& ctx, const Value& name,
                  const Value& arguments, const Value& kind, const Value& con, const Value& derivings) {
    return ppr_typedef(Keywords::kwNewtype(), alone, prefix, ctx, name, arguments, kind, listOf({con}),
                       derivings);
}
Value ppr_type_data(bool alone, const Value& prefix, const Value& ctx, const Value& name,
                    const Value& arguments, const Value& kind, const Value& cons, const Value& derivings) {
    return ppr_typedef(Keywords::kwTypeData(), alone, prefix, ctx, name, arguments, kind, cons, derivings);
}

// ---------------------------------------------------------------------------------------------
// Deriving

Value ppr_deriv_strategy(const Value& strategy) {
    VUX_FUNCTION;
    const Value& s = rts::force(strategy);
    switch (s->tag) {
        case S::StockStrategy_tag: return Keywords::kwStock();
        case S::AnyclassStrategy_tag: return Keywords::kwAnyclass();
        case S::NewtypeStrategy_tag: return Keywords::kwNewtype();
        default: return spaced(Keywords::kwVia(), pprType(appPrec, rts::field(s, 0)));
    }
}

Value ppr_deriv_clause(const Value& clause) {
    VUX_FUNCTION;
    const Value& c = rts::force(clause);
    const Value& strategy = rts::force(rts::field(c, 0));
    Value before = empty(), after = empty();
    if (VUX::Internal::Maybe::isJust(strategy)) {
        const Value& s = rts::field(strategy, 0);
        if (formOf(s) == S::ViaStrategy_tag)
            after = ppr_deriv_strategy(s);
        else
            before = ppr_deriv_strategy(s);
    }
    return spacedAll({Keywords::kwDeriving(), before, ppr_cxt_preds(appPrec, rts::field(c, 1)), after});
}

// ---------------------------------------------------------------------------------------------
// Fields

Value pprBangType(const Value& field) {
    VUX_FUNCTION;
    const Value& f = rts::force(field);
    const Value& bang = rts::force(rts::field(f, 0));
    Value unpack = ppr(inst_Ppr_SourceUnpackedness(), rts::field(bang, 0));
    Value type = pprType(appPrec, rts::field(f, 1));
    const Value& strictness = rts::field(bang, 1);
    if (formOf(strictness) == S::NoSourceStrictness_tag) return spaced(unpack, type);
    return beside(spaced(unpack, ppr(inst_Ppr_SourceStrictness(), strictness)), type);
}
Value pprStrictType(const Value& field) { return pprBangType(field); }

Value pprVarBangType(const Value& field) {
    VUX_FUNCTION;
    const Value& f = rts::force(field);
    return spacedAll(
        {applied(rts::field(f, 0)), dcolon(), pprBangType(S::pair(rts::field(f, 1), rts::field(f, 2)))});
}
Value pprVarStrictType(const Value& field) { return pprVarBangType(field); }

namespace {
Value recordFields(const Value& fields) { return braces(commaList(docsOf(fields, pprVarBangType))); }
}  // namespace

Value pprRecFields(const Value& fields, const Value& result) {
    VUX_FUNCTION;
    return spacedAll({recordFields(fields), arrow(), pprType(noPrec, result)});
}

Value pprGadtRHS(const Value& fields, const Value& result) {
    VUX_FUNCTION;
    std::vector<Value> args = docsOf(fields, pprBangType);
    if (args.empty()) return pprType(noPrec, result);
    Value spine = sep(punctuate(gadtArgSeparator(), listOf(std::move(args))));
    return spacedAll({spine, arrow(), pprType(noPrec, result)});
}

// ---------------------------------------------------------------------------------------------
// Constructors

namespace {
// "C1, C2 ::"
Value gadtNames(const Value& names) { return spaced(commaSepApplied(names), dcolon()); }

// A GADT constructor's names and "::", then `quantifier` (nothing, or a forall with its context),
// then its fields and result.
Value gadtCon(const Value& c, const Value& quantifier) {
    const Value& fields = rts::field(c, 1);
    const Value& result = rts::field(c, 2);
    Value rhs = c->tag == S::GadtC_tag ? pprGadtRHS(fields, result) : pprRecFields(fields, result);
    return spacedAll({gadtNames(rts::field(c, 0)), quantifier, rhs});
}

Value pprCon(const Value& con) {
    VUX_SCC("ppr_Con");
    rts::stack_check();
    const Value& c = rts::force(con);
    auto f = [&](size_t i) -> const Value& { return rts::field(c, i); };
    switch (c->tag) {
        case S::NormalC_tag: return spaced(applied(f(0)), sep(listOf(docsOf(f(1), pprBangType))));
        case S::RecC_tag: return spaced(applied(f(0)), recordFields(f(1)));
        case S::InfixC_tag:
            return spacedAll({pprBangType(f(0)), pprName_prime(S::Infix(), f(1)), pprBangType(f(2))});
        case S::ForallC_tag: {
            Value quantifier = pprForall(f(0), f(1));
            const Value& inner = rts::force(f(2));
            if (inner->tag == S::GadtC_tag || inner->tag == S::RecGadtC_tag)
                return gadtCon(inner, quantifier);
            return spaced(quantifier, pprCon(inner));
        }
        default: return gadtCon(c, empty());
    }
}
}  // namespace

VUX_PPR_INSTANCE(Con, pprCon)

}  // namespace VUX::Boot::TH::Ppr
