// Right-hand sides (bodies and guards), clauses and case alternatives, statements, arithmetic
// sequences and record fields.
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
using detail::listOf;
using detail::nested;
using detail::semiList;
using detail::spaced;

namespace {
Value pprStmt(const Value& s) { return ppr(inst_Ppr_Stmt(), s); }
Value pprDecAlone(const Value& d) { return ppr_dec(true, d); }
Value separatorOf(bool eq) { return eq ? equals() : arrow(); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Bodies, guards, clauses and alternatives

Value pprGuarded(const Value& eqDoc, const Value& guardAndExp) {
    VUX_FUNCTION;
    const Value& pair = rts::force(guardAndExp);
    const Value& guard = rts::force(rts::field(pair, 0));
    Value result = spaced(eqDoc, pprExp(noPrec, rts::field(pair, 1)));
    if (guard->tag == S::NormG_tag)
        return spaced(spaced(bar(), pprExp(noPrec, rts::field(guard, 0))), result);
    Value stmts = vcat(punctuate(comma(), listOf(docsOf(rts::field(guard, 0), pprStmt))));
    return above(spaced(bar(), stmts), nested(result));
}

Value pprBody(bool eq, const Value& body) {
    VUX_FUNCTION;
    const Value& b = rts::force(body);
    Value eqDoc = separatorOf(eq);
    if (b->tag == S::NormalB_tag) return spaced(eqDoc, pprExp(noPrec, rts::field(b, 0)));
    return nested(
        vcat(listOf(docsOf(rts::field(b, 0), [&](const Value& g) { return pprGuarded(eqDoc, g); }))));
}

Value pprClause(bool eq, const Value& clause) {
    VUX_FUNCTION;
    const Value& c = rts::force(clause);
    Value args = hsep(listOf(docsOf(rts::field(c, 0), [](const Value& p) { return pprPat(appPrec, p); })));
    Value line = spaced(args, pprBody(eq, rts::field(c, 1)));
    return above(line, where_clause(rts::field(c, 2)));
}

Value pprMatchPat(const Value& pat) {
    VUX_FUNCTION;
    Value doc = pprPat(noPrec, pat);
    return rts::force(pat)->tag == S::SigP_tag ? parens(doc) : doc;
}

namespace {
Value pprClauseEq(const Value& c) { return pprClause(true, c); }
Value pprMatch(const Value& match) {
    VUX_SCC("ppr_Match");
    const Value& m = rts::force(match);
    Value line = spaced(pprMatchPat(rts::field(m, 0)), pprBody(false, rts::field(m, 1)));
    return above(line, where_clause(rts::field(m, 2)));
}

// ---------------------------------------------------------------------------------------------
// Statements and ranges

Value pprStmtForm(const Value& stmt) {
    VUX_SCC("ppr_Stmt");
    rts::stack_check();
    const Value& s = rts::force(stmt);
    const Value& x = rts::field(s, 0);
    switch (s->tag) {
        case S::BindS_tag:
            return spaced(spaced(pprPat(noPrec, x), Keywords::kwLeftArrow()),
                          pprExp(noPrec, rts::field(s, 1)));
        case S::LetS_tag: return spaced(Keywords::kwLet(), braces(semiList(docsOf(x, pprDecAlone))));
        case S::NoBindS_tag: return pprExp(noPrec, x);
        case S::ParS_tag:
            return sep(punctuate(bar(), listOf(docsOf(x, [](const Value& branch) {
                                     return commaList(docsOf(branch, pprStmt));
                                 }))));
        default: return spaced(Keywords::kwRec(), braces(semiList(docsOf(x, pprStmt))));
    }
}

Value pprRangeBracketed(const Value& r) { return brackets(pprRange(r)); }
}  // namespace

Value pprRange(const Value& range) {
    VUX_FUNCTION;
    const Value& r = rts::force(range);
    auto f = [&](size_t i) { return pprExp(noPrec, rts::field(r, i)); };
    Value dots = Keywords::kwDotDot();
    switch (r->tag) {
        case S::FromR_tag: return spaced(f(0), dots);
        case S::FromThenR_tag: return spaced(spaced(beside(f(0), comma()), f(1)), dots);
        case S::FromToR_tag: return spaced(spaced(f(0), dots), f(1));
        default: return spaced(spaced(spaced(beside(f(0), comma()), f(1)), dots), f(2));
    }
}

Value pprFields(const Value& fields) {
    VUX_FUNCTION;
    return commaList(docsOf(fields, [](const Value& field) {
        const Value& f = rts::force(field);
        return spaced(spaced(applied(rts::field(f, 0)), equals()), pprExp(noPrec, rts::field(f, 1)));
    }));
}

constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Clause_closure{
    VUX::Record::fn<&pprClauseEq>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Clause_closure>};
constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Match_closure{
    VUX::Record::fn<&pprMatch>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Match_closure>};
constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Stmt_closure{
    VUX::Record::fn<&pprStmtForm>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Stmt_closure>};
constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Range_closure{
    VUX::Record::fn<&pprRangeBracketed>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Range_closure>};

}  // namespace VUX::Boot::TH::Ppr
