// Types, contexts, foralls and type-variable binders.
#include <optional>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
namespace D = ::Text::PrettyPrint::Drovane;
using namespace PprLib;
using detail::applied;
using detail::each;
using detail::elements;
using detail::formOf;
using detail::listOf;
using VUX::Types::intOf;

namespace {
VUX_PPR_KEYWORD(kwUnit, "()")
VUX_PPR_KEYWORD(kwPromotedUnit, "'()")
RTS_CONSTANT(kwArrowT_closure) {
    VUX_CAF("kwArrowT");
    return document(D::parens(D::text(VUX::Internal::List::fromBytes("->"))));
}
VUX_PPR_KEYWORD(kwFUN, "FUN")
VUX_PPR_KEYWORD(kwEqualityT, "(~)")
VUX_PPR_KEYWORD(kwListT, "[]")
VUX_PPR_KEYWORD(kwPromotedNil, "'[]")
VUX_PPR_KEYWORD(kwPromotedCons, "'(:)")
VUX_PPR_CHARACTER(kwStar, '*')
VUX_PPR_KEYWORD(kwConstraint, "Constraint")
VUX_PPR_CHARACTER(kwWildcard, '_')
VUX_PPR_KEYWORD(kwQuote, "'")
VUX_PPR_KEYWORD(kwNoPrefix, "")
VUX_PPR_KEYWORD(kwDcolon, "::")
VUX_PPR_CHARACTER(kwAt, '@')
VUX_PPR_CHARACTER(kwTilde, '~')
VUX_PPR_KEYWORD(kwLinearArrow, "%1 ->")
VUX_PPR_KEYWORD(kwArrow, "->")
VUX_PPR_CHARACTER(kwPercent, '%')
VUX_PPR_KEYWORD(kwUnitContext, "()")
VUX_PPR_KEYWORD(kwDarrow, "=>")
VUX_PPR_KEYWORD(kwForall, "forall")
VUX_PPR_CHARACTER(kwForallDot, '.')
VUX_PPR_KEYWORD(kwBndrsDot, ".")
// "(*)": a kind argument that is the star form.
RTS_CONSTANT(starredKind_closure) {
    VUX_CAF("starredKind");
    return parens(kwStar());
}
// The types of the 1-tuple's type and data constructors.
RTS_CONSTANT(oneTupleType_closure) {
    VUX_CAF("oneTupleType");
    return S::ConT(S::mk_tup_name(1, S::TcClsName(), true));
}
RTS_CONSTANT(oneTupleData_closure) {
    VUX_CAF("oneTupleData");
    return S::PromotedT(S::mk_tup_name(1, S::DataName(), true));
}

Value two(Value a, Value b) { return listOf({std::move(a), std::move(b)}); }
int64_t arityOf(const Value& t) { return intOf(rts::force(rts::field(t, 0))); }

Value pprTypeAt(const Value& p, const Value& t) { return pprType(intOf(rts::force(p)), t); }
constinit const rts::StaticFun pprTypeAt_closure{rts::static_fun_info<&pprTypeAt>};
Value pprTypeNoPrec(const Value& t) { return pprType(noPrec, t); }

Value forallDocument(const Value& forall, const Value& body) {
    return sep(two(forall, pprType(qualPrec, body)));
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Types

Value TANormal(Value t) { return rts::con(TANormal_tag, std::move(t)); }
Value TyArg(Value k) { return rts::con(TyArg_tag, std::move(k)); }
Value fromTANormal(const Value& arg) {
    const Value& a = rts::force(arg);
    return a->tag == TANormal_tag ? S::just(rts::field(a, 0)) : S::nothing();
}

bool isStarT(const Value& t) { return rts::force(t)->tag == S::StarT_tag; }

Value pprParendTypeArg(const Value& arg) {
    VUX_FUNCTION;
    const Value& a = rts::force(arg);
    const Value& t = rts::field(a, 0);
    if (a->tag == TANormal_tag) return pprType(appPrec, t);
    return op_lt_gt(kwAt(), isStarT(t) ? starredKind_closure.get() : pprType(appPrec, t));
}
namespace {
Value pprTypeArg(const Value& arg) {
    VUX_SCC("ppr_TypeArg");
    const Value& a = rts::force(arg);
    const Value& t = rts::field(a, 0);
    if (a->tag == TANormal_tag) return pprType(noPrec, t);
    return op_lt_gt(kwAt(), isStarT(t) ? starredKind_closure.get() : pprType(noPrec, t));
}
}  // namespace

Value pprType(int64_t p, const Value& type) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& t = rts::force(type);
    auto f = [&](size_t i) -> const Value& { return rts::field(t, i); };
    switch (t->tag) {
        case S::ForallT_tag:
            return parensIf(
                p >= funPrec,
                forallDocument(pprForall_prime(inst_PprFlag_Specificity(), ForallInvis(), f(0), f(1)), f(2)));
        case S::ForallVisT_tag:
            return parensIf(
                p >= funPrec,
                forallDocument(pprForall_prime(inst_PprFlag_Unit(), ForallVis(), f(0), S::list({})), f(1)));
        case S::AppT_tag:
        case S::AppKindT_tag: return pprTyApp(p, split(t));
        case S::SigT_tag:
            return parens(
                op_lt_plus_gt(op_lt_plus_gt(pprType(noPrec, f(0)), kwDcolon()), pprType(noPrec, f(1))));
        case S::VarT_tag:
        case S::ConT_tag: return applied(f(0));
        case S::PromotedT_tag: return op_lt_gt(kwQuote(), applied(f(0)));
        case S::InfixT_tag:
        case S::UInfixT_tag:
        case S::PromotedInfixT_tag:
        case S::PromotedUInfixT_tag: return pprInfixT(p, t);
        case S::ParensT_tag: return parens(pprType(noPrec, f(0)));
        case S::TupleT_tag: {
            int64_t n = arityOf(t);
            if (n == 0) return kwUnit();
            if (n == 1) return pprType(p, oneTupleType_closure.get());
            return parens(hcat(detail::copies(n - 1, comma())));
        }
        case S::UnboxedTupleT_tag: return hashParens(hcat(detail::copies(arityOf(t) - 1, comma())));
        case S::UnboxedSumT_tag: return hashParens(hsep(detail::copies(arityOf(t) - 1, bar())));
        case S::ArrowT_tag: return kwArrowT_closure.get();
        case S::MulArrowT_tag: return kwFUN();
        case S::EqualityT_tag: return kwEqualityT();
        case S::ListT_tag: return kwListT();
        case S::PromotedTupleT_tag: {
            int64_t n = arityOf(t);
            if (n == 0) return kwPromotedUnit();
            if (n == 1) return pprType(p, oneTupleData_closure.get());
            return quoteParens(hcat(detail::copies(n - 1, comma())));
        }
        case S::PromotedNilT_tag: return kwPromotedNil();
        case S::PromotedConsT_tag: return kwPromotedCons();
        case S::StarT_tag: return kwStar();
        case S::ConstraintT_tag: return kwConstraint();
        case S::LitT_tag: return pprTyLit(f(0));
        case S::WildCardT_tag: return kwWildcard();
        default: {
            Value name = VUX::Types::Cons(VUX::Types::C_hash('?'), f(0));
            return parensIf(p >= sigPrec,
                            op_lt_plus_gt(op_lt_plus_gt(text(name), kwDcolon()), pprType(sigPrec, f(1))));
        }
    }
}
Value pprParendType(const Value& t) { return pprType(appPrec, t); }
Value pprFunArgType(const Value& t) { return pprType(funPrec, t); }

Value pprInfixT(int64_t p, const Value& type) {
    VUX_FUNCTION;
    const Value& t = rts::force(type);
    int64_t threshold;
    Value prefix;
    switch (t->tag) {
        case S::InfixT_tag: threshold = opPrec, prefix = kwNoPrefix(); break;
        case S::UInfixT_tag: threshold = unopPrec, prefix = kwNoPrefix(); break;
        case S::PromotedInfixT_tag: threshold = opPrec, prefix = kwQuote(); break;
        case S::PromotedUInfixT_tag: threshold = unopPrec, prefix = kwQuote(); break;
        default: return pprType(appPrec, t);
    }
    Value left = op_lt_plus_gt(pprType(opPrec, rts::field(t, 0)), prefix);
    Value op = op_lt_gt(left, pprName_prime(S::Infix(), rts::field(t, 1)));
    return parensIf(p >= threshold, op_lt_plus_gt(op, pprType(opPrec, rts::field(t, 2))));
}

Value split(const Value& t) {
    VUX_FUNCTION;
    std::vector<Value> args;
    Value head = rts::force(t);
    while (head->tag == S::AppT_tag || head->tag == S::AppKindT_tag) {
        Value arg = rts::field(head, 1);
        args.push_back(head->tag == S::AppT_tag ? TANormal(std::move(arg)) : TyArg(std::move(arg)));
        Value next = rts::force(rts::field(head, 0));
        head = std::move(next);
    }
    return S::pair(std::move(head), listOf(std::vector<Value>(args.rbegin(), args.rend())));
}

namespace {
// The types of the arguments when every one is ordinary; nothing at the first kind argument.
std::optional<std::vector<Value>> normalTypes(const std::vector<Value>& args) {
    std::vector<Value> types;
    for (const Value& a : args) {
        const Value& v = rts::force(a);
        if (v->tag != TANormal_tag) return std::nullopt;
        types.push_back(rts::field(v, 0));
    }
    return types;
}
Value commaList(const std::vector<Value>& types) {
    std::vector<Value> docs;
    for (const Value& t : types) docs.push_back(pprType(noPrec, t));
    return sep(punctuate(comma(), listOf(std::move(docs))));
}
Value sumAlternatives(const std::vector<Value>& types) {
    std::vector<Value> docs;
    for (const Value& t : types) {
        if (!docs.empty()) docs.push_back(bar());
        docs.push_back(pprType(noPrec, t));
    }
    return sep(listOf(std::move(docs)));
}
Value arrowForm(const Value& a1, const Value& arrow, const Value& a2) {
    return sep(two(op_lt_plus_gt(pprType(funPrec, a1), arrow), pprType(qualPrec, a2)));
}

Value pprMulArrow(int64_t p, const Value& head, const Value& args, const std::vector<Value>& ts) {
    const Value &m = ts[0], &a1 = ts[1], &a2 = ts[2];
    const Value& mv = rts::force(m);
    if (mv->tag == S::PromotedT_tag) {
        if (p >= funPrec) return parens(pprTyApp(noPrec, head, args));
        const Value& c = rts::field(mv, 0);
        if (S::eqName(c, S::oneName())) return arrowForm(a1, kwLinearArrow(), a2);
        if (S::eqName(c, S::manyName())) return arrowForm(a1, kwArrow(), a2);
    }
    Value multiplied = op_lt_gt(op_lt_plus_gt(pprType(funPrec, a1), kwPercent()), pprType(appPrec, m));
    return parensIf(p >= funPrec, sep(two(op_lt_plus_gt(multiplied, kwArrow()), pprType(qualPrec, a2))));
}
}  // namespace

Value pprTyApp(int64_t p, const Value& headAndArgs) {
    const Value& pr = rts::force(headAndArgs);
    return pprTyApp(p, rts::field(pr, 0), rts::field(pr, 1));
}

Value pprTyApp(int64_t p, const Value& head, const Value& args) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& h = rts::force(head);
    std::vector<Value> as = elements(args);
    auto saturated = [&](size_t n) { return as.size() == n ? normalTypes(as) : std::nullopt; };
    std::optional<std::vector<Value>> ts;
    switch (h->tag) {
        case S::TupleT_tag: {
            int64_t n = arityOf(h);
            if (n == 1) return pprTyApp(p, oneTupleType_closure.get(), args);
            if (n >= 0 && (ts = saturated(size_t(n)))) return parens(commaList(*ts));
            break;
        }
        case S::UnboxedTupleT_tag: {
            int64_t n = arityOf(h);
            if (n >= 0 && (ts = saturated(size_t(n)))) return hashParens(commaList(*ts));
            break;
        }
        case S::UnboxedSumT_tag: {
            int64_t n = arityOf(h);
            if (n >= 0 && (ts = saturated(size_t(n)))) return hashParens(sumAlternatives(*ts));
            break;
        }
        case S::PromotedTupleT_tag: {
            int64_t n = arityOf(h);
            if (n == 1) return pprTyApp(p, oneTupleData_closure.get(), args);
            if (n >= 0 && (ts = saturated(size_t(n)))) return quoteParens(commaList(*ts));
            break;
        }
        case S::ArrowT_tag:
            if ((ts = saturated(2))) return parensIf(p >= funPrec, arrowForm((*ts)[0], kwArrow(), (*ts)[1]));
            break;
        case S::MulArrowT_tag:
            if ((ts = saturated(3))) return pprMulArrow(p, h, args, *ts);
            break;
        case S::EqualityT_tag:
            if ((ts = saturated(2)))
                return parensIf(p >= opPrec, sep(two(op_lt_plus_gt(pprType(opPrec, (*ts)[0]), kwTilde()),
                                                     pprType(opPrec, (*ts)[1]))));
            break;
        case S::ListT_tag:
            if ((ts = saturated(1))) return brackets(pprType(noPrec, (*ts)[0]));
            break;
        default: break;
    }
    Value arguments = sep(each(args, [](const Value& a) { return pprParendTypeArg(a); }));
    return parensIf(p >= appPrec, op_lt_plus_gt(pprType(appPrec, h), arguments));
}

Value ppr_sig(const Value& name, const Value& type) {
    VUX_FUNCTION;
    return op_lt_plus_gt(op_lt_plus_gt(applied(name), kwDcolon()), pprType(noPrec, type));
}

constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_Type_closure{
    VUX::Record::fn<&pprTypeNoPrec>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_Type_closure>};
constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_TypeArg_closure{
    VUX::Record::fn<&pprTypeArg>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_TypeArg_closure>};

// ---------------------------------------------------------------------------------------------
// Contexts and foralls

Value ppr_ctx_preds_with(const Value& dPpr, const Value& printer, const Value& p, const Value& preds) {
    VUX_FUNCTION;
    std::vector<Value> ps = elements(preds);
    if (ps.empty()) return kwUnitContext();
    if (ps.size() == 1) return rts::apply(printer, p, ps[0]);
    return parens(commaSep(dPpr, preds));
}
Value pprCtxWith(const Value& dPpr, const Value& printer, const Value& preds) {
    VUX_FUNCTION;
    if (formOf(preds) == VUX::Types::Nil_tag) return empty();
    return op_lt_plus_gt(ppr_ctx_preds_with(dPpr, printer, VUX::Types::I_hash(funPrec), preds), kwDarrow());
}
Value ppr_cxt_preds(int64_t p, const Value& preds) {
    return ppr_ctx_preds_with(inst_Ppr_Type(), pprTypeAt_closure.value(), VUX::Types::I_hash(p), preds);
}
Value pprCxt(const Value& preds) { return pprCtxWith(inst_Ppr_Type(), pprTypeAt_closure.value(), preds); }

Value pprForall_prime(const Value& dPprFlag, const Value& visibility, const Value& binders,
                      const Value& ctx) {
    VUX_FUNCTION;
    if (formOf(binders) == VUX::Types::Nil_tag) return pprCxt(ctx);
    Value bs = hsep(each(binders, [&](const Value& b) { return pprTyVarBndr(dPprFlag, b); }));
    Value separator =
        rts::delay([visibility] { return formOf(visibility) == ForallVis_tag ? kwArrow() : kwForallDot(); });
    Value context = rts::delay([ctx] { return pprCxt(ctx); });
    return op_lt_plus_gt(op_lt_plus_gt(op_lt_plus_gt(kwForall(), bs), separator), context);
}
Value pprForall(const Value& binders, const Value& ctx) {
    return pprForall_prime(inst_PprFlag_Specificity(), ForallInvis(), binders, ctx);
}
Value pprForallVis(const Value& binders, const Value& ctx) {
    return pprForall_prime(inst_PprFlag_Unit(), ForallVis(), binders, ctx);
}

Value ppr_bndrs(const Value& dPprFlag, const Value& maybeBinders) {
    VUX_FUNCTION;
    const Value& mb = rts::force(maybeBinders);
    if (mb->tag == VUX::Internal::Maybe::Nothing_tag) return empty();
    Value bs = sep(each(rts::field(mb, 0), [&](const Value& b) { return pprTyVarBndr(dPprFlag, b); }));
    return op_lt_gt(op_lt_plus_gt(kwForall(), bs), kwBndrsDot());
}

// ---------------------------------------------------------------------------------------------
// Binders

namespace {
// The name, or for a kinded binder "name :: kind" (without brackets); the binder evaluated.
Value binderInside(const Value& b) {
    Value name = pprName_prime(S::Alone(), rts::field(b, 0));
    if (b->tag == S::PlainTV_tag) return name;
    return op_lt_plus_gt(op_lt_plus_gt(name, dcolon()), pprType(noPrec, rts::field(b, 2)));
}
// The name, or "(name :: kind)".
Value binderCore(const Value& b) {
    return b->tag == S::PlainTV_tag ? binderInside(b) : parens(binderInside(b));
}

Value pprUnitBinder(const Value& binder) {
    VUX_SCC("pprTyVarBndr_Unit");
    const Value& b = rts::force(binder);
    rts::force(rts::field(b, 1));
    return binderCore(b);
}
Value pprSpecificityBinder(const Value& binder) {
    VUX_SCC("pprTyVarBndr_Specificity");
    const Value& b = rts::force(binder);
    if (formOf(rts::field(b, 1)) == S::SpecifiedSpec_tag) return binderCore(b);
    return braces(binderInside(b));
}
Value pprBndrVisBinder(const Value& binder) {
    VUX_SCC("pprTyVarBndr_BndrVis");
    const Value& b = rts::force(binder);
    const Value& flag = rts::force(rts::field(b, 1));
    return pprBndrVis(flag, binderCore(b));
}
}  // namespace

constinit const rts::StaticFun inst_PprFlag_Unit_closure{rts::static_fun_info<&pprUnitBinder>};
constinit const rts::StaticFun inst_PprFlag_Specificity_closure{rts::static_fun_info<&pprSpecificityBinder>};
constinit const rts::StaticFun inst_PprFlag_BndrVis_closure{rts::static_fun_info<&pprBndrVisBinder>};

}  // namespace VUX::Boot::TH::Ppr
