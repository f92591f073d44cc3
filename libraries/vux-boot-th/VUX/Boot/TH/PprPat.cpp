// Patterns: the twenty forms, each with its own parenthesis test.
#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using detail::above;
using detail::applied;
using detail::beside;
using detail::commaList;
using detail::docsOf;
using detail::elements;
using detail::listOf;
using detail::semiList;
using detail::spaced;

namespace {
VUX_PPR_CHARACTER(kwAtChar, '@')
RTS_CONSTANT(emptyTuplePattern_closure) {
    VUX_CAF("emptyTuplePattern");
    return parens(commaList({}));
}
RTS_CONSTANT(oneTupleName_closure) {
    VUX_CAF("oneTupleName");
    return S::mk_tup_name(1, S::DataName(), true);
}

Value pprPatNoPrec(const Value& p) { return pprPat(noPrec, p); }
Value pprPatApp(const Value& p) { return pprPat(appPrec, p); }

Value pprConPattern(const Value& name, const Value& types, const Value& args) {
    std::vector<Value> tys =
        docsOf(types, [](const Value& t) { return beside(kwAtChar(), pprType(appPrec, t)); });
    return spaced(spaced(applied(name), sep(listOf(std::move(tys)))), sep(listOf(docsOf(args, pprPatApp))));
}
Value pprInfixPattern(int64_t sides, const Value& p) {
    return spaced(spaced(pprPat(sides, rts::field(p, 0)), pprName_prime(S::Infix(), rts::field(p, 1))),
                  pprPat(sides, rts::field(p, 2)));
}
Value pprFieldPattern(const Value& field) {
    const Value& f = rts::force(field);
    return spaced(spaced(applied(rts::field(f, 0)), equals()), pprPat(noPrec, rts::field(f, 1)));
}
Value pprTuplePattern(int64_t p, const Value& elems) {
    std::vector<Value> xs = elements(elems);
    if (xs.empty()) return emptyTuplePattern_closure.get();
    if (xs.size() == 1) return pprPat(p, S::ConP(oneTupleName_closure.get(), S::list({}), S::list({xs[0]})));
    for (Value& x : xs) x = pprPat(noPrec, x);
    return parens(commaList(std::move(xs)));
}
}  // namespace

Value pprPat(int64_t p, const Value& pat) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& t = rts::force(pat);
    auto f = [&](size_t i) -> const Value& { return rts::field(t, i); };
    switch (t->tag) {
        case S::LitP_tag: return pprLit(p, f(0));
        case S::VarP_tag: return applied(f(0));
        case S::TupP_tag: return pprTuplePattern(p, f(0));
        case S::UnboxedTupP_tag: return hashParens(commaList(docsOf(f(0), pprPatNoPrec)));
        case S::UnboxedSumP_tag: return unboxedSumBars(pprPat(noPrec, f(0)), f(1), f(2));
        case S::ConP_tag: return parensIf(p >= appPrec, pprConPattern(f(0), f(1), f(2)));
        case S::InfixP_tag: return parensIf(p >= opPrec, pprInfixPattern(opPrec, t));
        case S::UInfixP_tag: return parensIf(p > unopPrec, pprInfixPattern(unopPrec, t));
        case S::ParensP_tag: return parens(pprPat(noPrec, f(0)));
        case S::TildeP_tag: return parensIf(p > noPrec, beside(Keywords::kwTilde(), pprPat(appPrec, f(0))));
        case S::BangP_tag: return parensIf(p > noPrec, beside(Keywords::kwBang(), pprPat(appPrec, f(0))));
        case S::AsP_tag:
            return parensIf(p > noPrec, beside(beside(pprName_prime(S::Alone(), f(0)), kwAtChar()),
                                               pprPat(appPrec, f(1))));
        case S::WildP_tag: return Keywords::kwWildcard();
        case S::RecP_tag:
            return parens(spaced(applied(f(0)), braces(commaList(docsOf(f(1), pprFieldPattern)))));
        case S::ListP_tag: return brackets(commaList(docsOf(f(0), pprPatNoPrec)));
        case S::SigP_tag:
            return parensIf(p > noPrec,
                            spaced(spaced(pprPat(noPrec, f(0)), dcolon()), pprType(noPrec, f(1))));
        case S::ViewP_tag: return parens(spaced(spaced(pprExp(noPrec, f(0)), arrow()), pprPat(noPrec, f(1))));
        case S::TypeP_tag: return parens(spaced(Keywords::kwType(), pprType(noPrec, f(0))));
        case S::InvisP_tag: return parens(spaced(kwAtChar(), pprType(noPrec, f(0))));
        default: {
            const Value& alternatives = rts::force(f(0));
            std::vector<Value> docs{pprPat(noPrec, rts::field(alternatives, 0))};
            for (Value& d : docsOf(rts::field(alternatives, 1), pprPatNoPrec)) docs.push_back(std::move(d));
            return parens(semiList(std::move(docs)));
        }
    }
}

constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Pat_closure{
    VUX::Record::fn<&pprPatNoPrec>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Pat_closure>};

}  // namespace VUX::Boot::TH::Ppr
