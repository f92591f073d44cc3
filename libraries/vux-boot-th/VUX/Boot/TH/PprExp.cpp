// Expressions: the 38 forms, each with its own parenthesis test, and the block forms (lambda,
// \case, \cases, if, multi-way if, let, case, do, mdo, comprehensions).
#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Maybe.h"
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
using detail::itemBlock;
using detail::listOf;
using detail::spaced;
using Keywords::kwAt;

namespace {
VUX_PPR_CHARACTER(kwDotChar, '.')
VUX_PPR_CHARACTER(kwBackslashChar, '\\')

// The one-element tuple's data constructor as an expression: what a one-element tuple prints as.
RTS_CONSTANT(oneTupleCon_closure) {
    VUX_CAF("oneTupleCon");
    return S::ConE(S::mk_tup_name(1, S::DataName(), true));
}

Value two(Value a, Value b) { return listOf({std::move(a), std::move(b)}); }
// A character list with one character before it, as one chunk.
Value prefixed(char c, const Value& s) { return text(VUX::Types::Cons(VUX::Types::C_hash(c), s)); }

Value pprExpNoPrec(const Value& e) { return pprExp(noPrec, e); }
Value pprExpAt(const Value& p, const Value& e) { return pprExp(VUX::Types::intOf(rts::force(p)), e); }
constinit const rts::StaticFun pprExpAt_closure{rts::static_fun_info<&pprExpAt>};
Value pprStmt(const Value& s) { return ppr(inst_Ppr_Stmt(), s); }
Value pprMatch(const Value& m) { return ppr(inst_Ppr_Match(), m); }

// (, x), (), MkSolo x.
Value pprTuple(int64_t p, const Value& elems) {
    std::vector<Value> xs = elements(elems);
    if (xs.size() == 1 && VUX::Internal::Maybe::isJust(xs[0]))
        return pprExp(p, S::AppE(oneTupleCon_closure.get(), rts::field(rts::force(xs[0]), 0)));
    for (Value& x : xs) x = pprMaybeExp(noPrec, x);
    return parens(commaList(std::move(xs)));
}

Value pprInfix(int64_t p, const Value& e) {
    const Value& left = rts::field(e, 0);
    const Value& right = rts::field(e, 2);
    if (VUX::Internal::Maybe::isJust(left) && VUX::Internal::Maybe::isJust(right))
        return parensIf(p >= opPrec, spaced(spaced(pprMaybeExp(opPrec, left), pprInfixExp(rts::field(e, 1))),
                                            pprMaybeExp(opPrec, right)));
    return parens(
        spaced(spaced(pprMaybeExp(noPrec, left), pprInfixExp(rts::field(e, 1))), pprMaybeExp(noPrec, right)));
}

Value quantified(int64_t p, const Value& head, const Value& body) {
    return parensIf(p >= funPrec, sep(two(head, pprExp(qualPrec, body))));
}

// ---------------------------------------------------------------------------------------------
// Blocks

Value pprLambda(int64_t p, const Value& pats, const Value& body) {
    std::vector<Value> ps = docsOf(pats, [](const Value& x) { return pprPat(appPrec, x); });
    if (ps.empty()) return pprExp(p, body);
    return parensIf(p > noPrec, spaced(spaced(beside(kwBackslashChar(), hsep(listOf(std::move(ps)))),
                                              Keywords::kwArrow()),
                                       pprExp(noPrec, body)));
}

Value pprMultiIf(const Value& alternatives) {
    std::vector<Value> lines = docsOf(alternatives, [](const Value& a) { return pprGuarded(arrow(), a); });
    if (lines.empty()) return vcat(emptyMultiIf());
    lines[0] = spaced(Keywords::kwIf(), lines[0]);
    for (size_t i = 1; i < lines.size(); ++i) lines[i] = nest(VUX::Types::I_hash(3), lines[i]);
    return vcat(listOf(std::move(lines)));
}

Value pprLet(const Value& decs, const Value& body) {
    std::vector<Value> ds = docsOf(decs, [](const Value& d) { return ppr_dec(true, d); });
    Value block = ds.empty() ? empty() : ds.size() == 1 ? ds[0] : itemBlock(std::move(ds));
    return above(spaced(Keywords::kwLet(), block), spaced(Keywords::kwIn(), pprExp(noPrec, body)));
}

Value pprDo(const Value& keyword, const Value& module, const Value& stmts) {
    const Value& m = rts::force(module);
    Value qualifier = VUX::Internal::Maybe::isJust(m) ? beside(text(rts::field(m, 0)), kwDotChar()) : empty();
    std::vector<Value> ss = docsOf(stmts, pprStmt);
    Value block = ss.empty() ? empty() : ss.size() == 1 ? ss[0] : itemBlock(std::move(ss));
    return spaced(beside(qualifier, keyword), block);
}

Value pprComprehension(const Value& stmts) {
    std::vector<Value> ss = elements(stmts);
    if (ss.empty()) return Keywords::kwEmptyCompExp();
    Value result = beside(Keywords::kwOpenBracket(), pprStmt(ss.back()));
    if (ss.size() == 1) return beside(result, Keywords::kwCloseBracket());
    ss.pop_back();
    for (Value& s : ss) s = pprStmt(s);
    return beside(spaced(spaced(result, bar()), commaList(std::move(ss))), Keywords::kwCloseBracket());
}

Value pprBlock(int64_t p, const Value& e) {
    auto f = [&](size_t i) -> const Value& { return rts::field(e, i); };
    auto inParens = [&](const Value& d) { return parensIf(p > noPrec, d); };
    switch (e->tag) {
        case S::LamCaseE_tag:
            return inParens(above(Keywords::kwLambdaCase(), itemBlock(docsOf(f(0), pprMatch))));
        case S::LamCasesE_tag:
            return inParens(above(Keywords::kwLambdaCases(), itemBlock(docsOf(f(0), [](const Value& c) {
                                      return pprClause(false, c);
                                  }))));
        case S::CondE_tag:
            return inParens(
                sep(listOf({spaced(Keywords::kwIf(), pprExp(noPrec, f(0))),
                            nest(VUX::Types::I_hash(1), spaced(Keywords::kwThen(), pprExp(noPrec, f(1)))),
                            nest(VUX::Types::I_hash(1), spaced(Keywords::kwElse(), pprExp(noPrec, f(2))))})));
        case S::MultiIfE_tag: return inParens(pprMultiIf(f(0)));
        case S::LetE_tag: return inParens(pprLet(f(0), f(1)));
        case S::CaseE_tag:
            return inParens(above(spaced(spaced(Keywords::kwCase(), pprExp(noPrec, f(0))), Keywords::kwOf()),
                                  itemBlock(docsOf(f(1), pprMatch))));
        case S::DoE_tag: return inParens(pprDo(Keywords::kwDo(), f(0), f(1)));
        case S::MDoE_tag: return inParens(pprDo(Keywords::kwMdo(), f(0), f(1)));
        case S::CompE_tag: return pprComprehension(f(0));
        default: return pprLambda(p, f(0), f(1));
    }
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// The expression printer

Value pprExp(int64_t p, const Value& exp) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& e = rts::force(exp);
    auto f = [&](size_t i) -> const Value& { return rts::field(e, i); };
    switch (e->tag) {
        case S::VarE_tag:
        case S::ConE_tag:
        case S::UnboundVarE_tag: return applied(f(0));
        case S::LitE_tag: return pprLit(p, f(0));
        case S::AppE_tag: return parensIf(p >= appPrec, spaced(pprExp(opPrec, f(0)), pprExp(appPrec, f(1))));
        case S::AppTypeE_tag:
            return parensIf(p >= appPrec,
                            beside(spaced(pprExp(opPrec, f(0)), kwAt()), pprType(appPrec, f(1))));
        case S::InfixE_tag: return pprInfix(p, e);
        case S::UInfixE_tag:
            return parensIf(p > unopPrec, spaced(spaced(pprExp(unopPrec, f(0)), pprInfixExp(f(1))),
                                                 pprExp(unopPrec, f(2))));
        case S::ParensE_tag: return parens(pprExp(noPrec, f(0)));
        case S::LamE_tag:
        case S::LamCaseE_tag:
        case S::LamCasesE_tag:
        case S::CondE_tag:
        case S::MultiIfE_tag:
        case S::LetE_tag:
        case S::CaseE_tag:
        case S::DoE_tag:
        case S::MDoE_tag:
        case S::CompE_tag: return pprBlock(p, e);
        case S::TupE_tag: return pprTuple(p, f(0));
        case S::UnboxedTupE_tag:
            return hashParens(commaList(docsOf(f(0), [](const Value& m) { return pprMaybeExp(noPrec, m); })));
        case S::UnboxedSumE_tag: return unboxedSumBars(pprExp(noPrec, f(0)), f(1), f(2));
        case S::ArithSeqE_tag: return ppr(inst_Ppr_Range(), f(0));
        case S::ListE_tag: return brackets(commaList(docsOf(f(0), pprExpNoPrec)));
        case S::SigE_tag:
            return parensIf(p > noPrec,
                            spaced(spaced(pprExp(sigPrec, f(0)), dcolon()), pprType(sigPrec, f(1))));
        case S::RecConE_tag: return beside(applied(f(0)), braces(pprFields(f(1))));
        case S::RecUpdE_tag: return beside(pprExp(appPrec, f(0)), braces(pprFields(f(1))));
        case S::StaticE_tag:
            return parensIf(p >= appPrec, spaced(Keywords::kwStatic(), pprExp(appPrec, f(0))));
        case S::LabelE_tag: return beside(Keywords::kwHash(), text(f(0)));
        case S::ImplicitParamVarE_tag: return prefixed('?', f(0));
        case S::GetFieldE_tag: return beside(pprExp(appPrec, f(0)), prefixed('.', f(1)));
        case S::ProjectionE_tag: {
            const Value& fields = rts::force(f(0));
            std::vector<Value> docs{fieldProjection(rts::field(fields, 0))};
            for (Value& d : docsOf(rts::field(fields, 1), fieldProjection)) docs.push_back(std::move(d));
            return parens(hcat(listOf(std::move(docs))));
        }
        case S::TypedBracketE_tag:
            return beside(beside(Keywords::kwTypedQuoteOpen(), pprExp(noPrec, f(0))),
                          Keywords::kwTypedQuoteClose());
        case S::TypedSpliceE_tag: return beside(Keywords::kwTypedSplice(), pprExp(appPrec, f(0)));
        case S::TypeE_tag: return parensIf(p > noPrec, spaced(Keywords::kwType(), pprType(noPrec, f(0))));
        case S::ForallE_tag:
            return quantified(
                p, pprForall_prime(inst_PprFlag_Specificity(), ForallInvis(), f(0), S::list({})), f(1));
        case S::ForallVisE_tag:
            return quantified(p, pprForall_prime(inst_PprFlag_Unit(), ForallVis(), f(0), S::list({})), f(1));
        default: return quantified(p, pprCtxWith(inst_Ppr_Exp(), pprExpAt_closure.value(), f(0)), f(1));
    }
}

Value pprMaybeExp(int64_t p, const Value& m) {
    const Value& v = rts::force(m);
    return VUX::Internal::Maybe::isJust(v) ? pprExp(p, rts::field(v, 0)) : empty();
}

Value pprInfixExp(const Value& exp) {
    VUX_FUNCTION;
    const Value& e = rts::force(exp);
    switch (e->tag) {
        case S::VarE_tag:
        case S::ConE_tag:
        case S::UnboundVarE_tag: return pprName_prime(S::Infix(), rts::field(e, 0));
        default: return beside(beside(Keywords::kwBackquote(), pprExp(noPrec, e)), Keywords::kwBackquote());
    }
}

constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Exp_closure{
    VUX::Record::fn<&pprExpNoPrec>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Exp_closure>};

}  // namespace VUX::Boot::TH::Ppr
