// Declarations: the 26 forms, alone or as members of a where block, and the where block itself.
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
using detail::binderDocs;
using detail::deferred;
using detail::docsOf;
using detail::each;
using detail::hsepBinders;
using detail::listOf;
using detail::maybeDoc;
using detail::nested;
using detail::semiList;
using detail::spaced;
using detail::spacedAll;

namespace {
Value whenAlone(bool alone, const Value& keyword) { return alone ? keyword : empty(); }
Value decMember(const Value& d) { return ppr_dec(false, d); }
Value decAlone(const Value& d) { return ppr_dec(true, d); }

// What comes after "data", "newtype" or "type" in an instance: "instance" (alone only), then the
// explicit binders "forall a b." when there are some.
Value instancePrefix(bool alone, const Value& maybeBinders) {
    return spaced(whenAlone(alone, Keywords::kwInstance()), ppr_bndrs(inst_PprFlag_Unit(), maybeBinders));
}

// One line per clause, each beginning with the function's name.
Value functionDec(bool alone, const Value& name, const Value& clauses) {
    Value prefix = pprPrefixOcc(name);
    std::vector<Value> lines =
        docsOf(clauses, [&](const Value& c) { return spaced(prefix, pprClause(true, c)); });
    return alone ? vcat(listOf(std::move(lines))) : semiList(std::move(lines));
}

// "class C a | a -> b" then its members.
Value classDec(const Value& d) {
    auto f = [&](size_t i) -> const Value& { return rts::field(d, i); };
    Value head = spacedAll({Keywords::kwClass(), pprCxt(f(0)), applied(f(1)), hsepBinders(f(2)),
                            ppr_list(inst_Ppr_FunDep(), f(3))});
    return above(head, where_clause(f(4)));
}

// "instance {-# OVERLAPPING #-} C a => C [a]" then its members.
Value instanceDec(const Value& d) {
    auto f = [&](size_t i) -> const Value& { return rts::field(d, i); };
    Value head =
        spacedAll({Keywords::kwInstance(), maybeDoc(f(0), ppr_overlap), pprCxt(f(1)), pprType(noPrec, f(2))});
    return above(head, where_clause(f(3)));
}

// Data and newtype instances: no name, the instance head in its place.
Value dataInstanceDec(bool alone, const Value& d, const Value& keyword, const Value& cons) {
    auto f = [&](size_t i) -> const Value& { return rts::field(d, i); };
    return ppr_typedef(keyword, alone, instancePrefix(alone, f(1)), f(0), S::nothing(), pprType(noPrec, f(2)),
                       f(3), cons, f(5));
}

Value closedFamilyDec(const Value& head, const Value& equations) {
    Value line = spacedAll({Keywords::kwTypeFamily(), ppr_tf_head(head), Keywords::kwWhere()});
    return hang(line, VUX::Types::I_hash(nestDepth), vcat(each(equations, ppr_eqn)));
}

// "pattern P a b = pat", "pattern a :+ b <- pat", "pattern P a <- pat where {clauses}".
Value patternSynonymDec(const Value& name, const Value& arguments, const Value& direction, const Value& pat) {
    const Value& args = rts::force(arguments);
    Value head =
        args->tag == S::InfixPatSyn_tag
            ? spacedAll({pprName_prime(S::Alone(), rts::field(args, 0)), pprName_prime(S::Infix(), name),
                         pprName_prime(S::Alone(), rts::field(args, 1))})
            : spaced(applied(name), ppr(inst_Ppr_PatSynArgs(), args));
    Value left = spacedAll({Keywords::kwPattern(), head, ppr(inst_Ppr_PatSynDir(), direction)});
    const Value& dir = rts::force(direction);
    if (dir->tag != S::ExplBidir_tag) return spaced(left, pprPat(noPrec, pat));
    Value clauses = vcat(
        each(rts::field(dir, 0), [&](const Value& c) { return spaced(applied(name), pprClause(true, c)); }));
    return spaced(
        left, hang(spaced(pprPat(noPrec, pat), Keywords::kwWhere()), VUX::Types::I_hash(nestDepth), clauses));
}

Value implicitParamDec(const Value& name, const Value& e) {
    Value parameter = text(VUX::Types::Cons(VUX::Types::C_hash('?'), name));
    return hsep(listOf({parameter, Keywords::kwEquals(), pprExp(noPrec, e)}));
}

Value declaration(bool alone, const Value& dec) {
    VUX_SCC("ppr_dec");
    rts::stack_check();
    const Value& d = rts::force(dec);
    auto f = [&](size_t i) -> const Value& { return rts::field(d, i); };
    switch (d->tag) {
        case S::FunD_tag: return functionDec(alone, f(0), f(1));
        case S::ValD_tag: return above(spaced(pprPat(noPrec, f(0)), pprBody(true, f(1))), where_clause(f(2)));
        case S::DataD_tag:
            return ppr_data(alone, empty(), f(0), S::just(f(1)), hsepBinders(f(2)), f(3), f(4), f(5));
        case S::NewtypeD_tag:
            return ppr_newtype(alone, empty(), f(0), S::just(f(1)), sep(listOf(binderDocs(f(2)))), f(3), f(4),
                               f(5));
        case S::TypeDataD_tag:
            return ppr_type_data(alone, empty(), S::list({}), S::just(f(0)), hsepBinders(f(1)), f(2), f(3),
                                 S::list({}));
        case S::TySynD_tag: return ppr_tySyn(empty(), S::just(f(0)), hsepBinders(f(1)), f(2));
        case S::ClassD_tag: return classDec(d);
        case S::InstanceD_tag: return instanceDec(d);
        case S::SigD_tag: return spacedAll({pprPrefixOcc(f(0)), dcolon(), pprType(noPrec, f(1))});
        case S::KiSigD_tag:
            return spacedAll({Keywords::kwType(), pprPrefixOcc(f(0)), dcolon(), pprType(noPrec, f(1))});
        case S::ForeignD_tag: return ppr(inst_Ppr_Foreign(), f(0));
        case S::InfixD_tag: return pprFixity(f(2), f(0), f(1));
        case S::DefaultD_tag: return spaced(Keywords::kwDefault(), parens(commaSep(inst_Ppr_Type(), f(0))));
        case S::PragmaD_tag: return ppr(inst_Ppr_Pragma(), f(0));
        case S::DataFamilyD_tag:
            return spacedAll({Keywords::kwData(), whenAlone(alone, Keywords::kwFamily()), applied(f(0)),
                              hsepBinders(f(1)), ksigDoc(f(2))});
        case S::DataInstD_tag: return dataInstanceDec(alone, d, Keywords::kwData(), f(4));
        case S::NewtypeInstD_tag: return dataInstanceDec(alone, d, Keywords::kwNewtype(), listOf({f(4)}));
        case S::TySynInstD_tag: {
            const Value& eqn = rts::force(f(0));
            return ppr_tySyn(instancePrefix(alone, rts::field(eqn, 0)), S::nothing(),
                             pprType(noPrec, rts::field(eqn, 1)), rts::field(eqn, 2));
        }
        case S::OpenTypeFamilyD_tag:
            return spacedAll({Keywords::kwType(), whenAlone(alone, Keywords::kwFamily()), ppr_tf_head(f(0))});
        case S::ClosedTypeFamilyD_tag: return closedFamilyDec(f(0), f(1));
        case S::RoleAnnotD_tag:
            return spaced(hsep(listOf({Keywords::kwTypeRole(), applied(f(0))})),
                          hsep(each(f(1), [](const Value& r) { return ppr(inst_Ppr_Role(), r); })));
        case S::StandaloneDerivD_tag:
            return hsep(listOf({Keywords::kwDeriving(), maybeDoc(f(0), ppr_deriv_strategy),
                                Keywords::kwInstance(), pprCxt(f(1)), pprType(noPrec, f(2))}));
        case S::DefaultSigD_tag:
            return hsep(listOf({Keywords::kwDefault(), pprPrefixOcc(f(0)), dcolon(), pprType(noPrec, f(1))}));
        case S::PatSynD_tag: return patternSynonymDec(f(0), f(1), f(2), f(3));
        case S::PatSynSigD_tag: return pprPatSynSig(f(0), f(1));
        default: return implicitParamDec(f(0), f(1));
    }
}
}  // namespace

// The declaration is examined, and its text built, when the computation first runs.
Value ppr_dec(bool alone, const Value& dec) {
    return deferred([alone, dec] { return declaration(alone, dec); });
}

Value where_clause(const Value& decs) {
    VUX_FUNCTION;
    std::vector<Value> members = docsOf(decs, decMember);
    if (members.empty()) return empty();
    return nested(spaced(Keywords::kwWhere(), braces(semiList(std::move(members)))));
}

VUX_PPR_INSTANCE(Dec, decAlone)

}  // namespace VUX::Boot::TH::Ppr
