// The printable class, pprint, names and fixity, and the printers of the small syntax types.
#include "VUX/Boot/TH/Ppr.h"

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/PprShared.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Internal/Unicode.h"
#include "VUX/Internal/Word.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.Ppr");

namespace VUX::Boot::TH::Ppr {

namespace S = VUX::Internal::TH::Syntax;
using namespace PprLib;
using VUX::Record::fn;
using VUX::Types::Nil;

using detail::applied;
using detail::each;
using detail::fieldOf;
using detail::formOf;

namespace {
Value names(const Value& ns) {
    return each(ns, [](const Value& n) { return pprName(n); });
}
Value commaSeparated(const Value& ms) { return sep(punctuate(comma(), ms)); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// The class

Value ppr(const Value& dPpr, const Value& x) { return rts::apply(ppr(dPpr), x); }
Value ppr_list(const Value& dPpr, const Value& xs) { return rts::apply(ppr_list(dPpr), xs); }

Value default_ppr_list(const Value& dPpr, const Value& xs) {
    VUX_FUNCTION;
    return vcat(each(xs, [&](const Value& x) { return ppr(dPpr, x); }));
}

namespace {
Value pprListOfList(const Value& dPpr, const Value& xss) {
    return vcat(each(xss, [&](const Value& xs) { return ppr_list(dPpr, xs); }));
}
Value pprListWith(const Value& dPpr, const Value& xs) { return ppr_list(dPpr, xs); }
}  // namespace
Value inst_Ppr_List(const Value& dPpr) {
    VUX_FUNCTION;
    return C_Ppr(VUX::Record::with<&pprListWith>(dPpr), VUX::Record::with<&pprListOfList>(dPpr));
}

Value pprTyVarBndr(const Value& dPprFlag, const Value& binder) { return rts::apply(dPprFlag, binder); }
namespace {
Value pprBinders(const Value& dPprFlag, const Value& binders) {
    return vcat(each(binders, [&](const Value& b) { return pprTyVarBndr(dPprFlag, b); }));
}
}  // namespace
Value inst_Ppr_TyVarBndr(const Value& dPprFlag) {
    VUX_FUNCTION;
    return C_Ppr(dPprFlag, VUX::Record::with<&pprBinders>(dPprFlag));
}

// ---------------------------------------------------------------------------------------------
// Entry points

Value parensIf(bool flag, const Value& m) { return flag ? parens(m) : m; }
Value parensIf(const Value& flag, const Value& m) {
    VUX_FUNCTION;
    return parensIf(VUX::Types::isTrue(rts::force(flag)), m);
}
Value pprint(const Value& dPpr, const Value& x) {
    VUX_FUNCTION;
    return renderDoc(to_Drovane_Doc(ppr(dPpr, x)));
}

// ---------------------------------------------------------------------------------------------
// Keywords: constant computations of one text chunk (or one character), built on first use.

namespace {
VUX_PPR_KEYWORD(kwInfixl, "infixl")
VUX_PPR_KEYWORD(kwInfixr, "infixr")
VUX_PPR_KEYWORD(kwInfix, "infix")
VUX_PPR_KEYWORD(kwType, "type")
VUX_PPR_KEYWORD(kwData, "data")
VUX_PPR_KEYWORD(kwFunDepArrow, "->")
VUX_PPR_KEYWORD(kwInjectivityArrow, "->")
VUX_PPR_KEYWORD(kwNoInline, "NOINLINE")
VUX_PPR_KEYWORD(kwInline, "INLINE")
VUX_PPR_KEYWORD(kwInlinable, "INLINABLE")
VUX_PPR_KEYWORD(kwConLike, "CONLIKE")
VUX_PPR_CHARACTER(kwTilde, '~')
VUX_PPR_CHARACTER(kwBang, '!')
VUX_PPR_KEYWORD(kwLeftArrow, "<-")
VUX_PPR_KEYWORD(kwEquals, "=")
VUX_PPR_KEYWORD(kwNoUnpack, "{-# NOUNPACK #-}")
VUX_PPR_KEYWORD(kwUnpack, "{-# UNPACK #-}")
VUX_PPR_KEYWORD(kwUnpackStrict, "{-# UNPACK #-} !")
VUX_PPR_KEYWORD(kwNominal, "nominal")
VUX_PPR_KEYWORD(kwRepresentational, "representational")
VUX_PPR_KEYWORD(kwPhantom, "phantom")
VUX_PPR_KEYWORD(kwInferRole, "_")
VUX_PPR_KEYWORD(kwModule, "Module")
VUX_PPR_KEYWORD(kwDash, "-")
VUX_PPR_KEYWORD(kwOverlappable, "{-# OVERLAPPABLE #-}")
VUX_PPR_KEYWORD(kwOverlapping, "{-# OVERLAPPING #-}")
VUX_PPR_KEYWORD(kwOverlaps, "{-# OVERLAPS #-}")
VUX_PPR_KEYWORD(kwIncoherent, "{-# INCOHERENT #-}")
}  // namespace
VUX_PPR_CHARACTER(bar, '|')
namespace {
VUX_PPR_KEYWORD(kwQuoteOpen, "'(")
VUX_PPR_KEYWORD(kwQuoteClose, ")")
VUX_PPR_KEYWORD(kwHashOpen, "(# ")
VUX_PPR_KEYWORD(kwHashClose, " #)")
VUX_PPR_CHARACTER(kwAt, '@')
}  // namespace

// ---------------------------------------------------------------------------------------------
// Brackets, separators and list printers

Value sepWith(const Value& separator, const Value& printer, const Value& xs) {
    VUX_FUNCTION;
    return sep(punctuate(separator, each(xs, [&](const Value& x) { return rts::apply(printer, x); })));
}
namespace {
constinit const rts::StaticFun pprApplied_closure{rts::static_fun_info<&applied>};
}  // namespace
Value commaSep(const Value& dPpr, const Value& xs) { return sepWith(comma(), ppr(dPpr), xs); }
Value commaSepWith(const Value& printer, const Value& xs) { return sepWith(comma(), printer, xs); }
Value commaSepApplied(const Value& names) { return sepWith(comma(), pprApplied_closure.value(), names); }
Value semiSep(const Value& dPpr, const Value& xs) { return sepWith(semi(), ppr(dPpr), xs); }
Value semiSepWith(const Value& printer, const Value& xs) { return sepWith(semi(), printer, xs); }

Value quoteParens(const Value& m) { return op_lt_gt(op_lt_gt(kwQuoteOpen(), m), kwQuoteClose()); }
Value hashParens(const Value& m) { return op_lt_gt(op_lt_gt(kwHashOpen(), m), kwHashClose()); }

Value unboxedSumBars(const Value& m, const Value& alt, const Value& arity) {
    VUX_FUNCTION;
    int64_t a = VUX::Types::intOf(rts::force(alt));
    int64_t n = VUX::Types::intOf(rts::force(arity));
    Value before = hsep(detail::copies(a - 1, bar()));
    Value after = hsep(detail::copies(n - a, bar()));
    return hashParens(op_lt_gt(op_lt_gt(before, m), after));
}

Value pprBndrVis(const Value& vis, const Value& m) {
    VUX_FUNCTION;
    return formOf(vis) == S::BndrReq_tag ? m : op_lt_gt(kwAt(), m);
}

namespace {
Value lowerCase(const Value& s) {
    return each(s, [](const Value& c) { return VUX::Internal::Unicode::toSimpleLowerCase(c); });
}
}  // namespace
Value showtextl(const Value& dShow, const Value& x) {
    VUX_FUNCTION;
    return text(rts::delay([dShow, x] { return lowerCase(VUX::Internal::Show::show(dShow, x)); }));
}

// The lower-cased `show` of each calling convention and safety, one shared document each.
#define VUX_PPR_SHOWN(name, T, C)                                               \
    RTS_CONSTANT(name##_closure) {                                              \
        VUX_CAF(#name);                                                         \
        return document(::Text::PrettyPrint::Drovane::text(                     \
            lowerCase(VUX::Internal::Show::show(S::inst_Show_##T(), S::C())))); \
    }
namespace {
VUX_PPR_SHOWN(kwCCall, Callconv, CCall)
VUX_PPR_SHOWN(kwStdCall, Callconv, StdCall)
VUX_PPR_SHOWN(kwCApi, Callconv, CApi)
VUX_PPR_SHOWN(kwPrim, Callconv, Prim)
VUX_PPR_SHOWN(kwJavaScript, Callconv, JavaScript)
VUX_PPR_SHOWN(kwUnsafe, Safety, Unsafe)
VUX_PPR_SHOWN(kwSafe, Safety, Safe)
VUX_PPR_SHOWN(kwInterruptible, Safety, Interruptible)
}  // namespace
#undef VUX_PPR_SHOWN
Value pprCallconv(const Value& cc) {
    VUX_FUNCTION;
    static const rts::Constant* const shown[] = {&kwCCall_closure, &kwStdCall_closure, &kwCApi_closure,
                                                 &kwPrim_closure, &kwJavaScript_closure};
    return shown[formOf(cc)]->get();
}
Value pprSafety(const Value& safety) {
    VUX_FUNCTION;
    static const rts::Constant* const shown[] = {&kwUnsafe_closure, &kwSafe_closure,
                                                 &kwInterruptible_closure};
    return shown[formOf(safety)]->get();
}

Value bytesToString(const Value& bytes) {
    return rts::delay([bytes]() -> Value {
        const Value& l = rts::force(bytes);
        if (l->tag != VUX::Types::Cons_tag) return VUX::Types::Nil();
        Value byte = rts::field(l, 0), rest = rts::field(l, 1);
        return VUX::Types::Cons(
            rts::delay([byte] {
                return VUX::Types::C_hash(uint32_t(VUX::Internal::Word::wordNOf(rts::force(byte))));
            }),
            bytesToString(rest));
    });
}

// ForallVisFlag: two constructors without fields, their text forms derived.
namespace {
constinit const rts::StaticNullary ForallVis_closure{ForallVis_tag};
constinit const rts::StaticNullary ForallInvis_closure{ForallInvis_tag};
}  // namespace
Value ForallVis() { return ForallVis_closure.value(); }
Value ForallInvis() { return ForallInvis_closure.value(); }
VUX_DERIVE_TEXT_FORMS(ForallVisFlag, {"ForallVis"}, {"ForallInvis"})

// ---------------------------------------------------------------------------------------------
// Names and fixity

bool isSymOcc(const Value& name) {
    VUX_FUNCTION;
    const Value& occ = S::nameOcc(name);
    if (occ->tag == VUX::Types::Nil_tag) return true;
    return S::isVarSymChar(VUX::Types::charOf(rts::force(rts::field(occ, 0))));
}

Value pprPrefixOcc(const Value& name) {
    VUX_FUNCTION;
    const Value& occ = S::nameOcc(name);
    bool operatorName = occ->tag == VUX::Types::Nil_tag;
    if (!operatorName) {
        uint32_t first = VUX::Types::charOf(rts::force(rts::field(occ, 0)));
        operatorName = first == ':' || S::okSymChar(first);
    }
    Value alone = pprName_prime(S::Alone(), name);
    return operatorName ? parens(alone) : alone;
}

Value pprNamespaceSpecifier(const Value& ns) {
    VUX_FUNCTION;
    switch (formOf(ns)) {
        case S::TypeNamespaceSpecifier_tag: return kwType();
        case S::DataNamespaceSpecifier_tag: return kwData();
        default: return empty();
    }
}

Value pprFixity(const Value& name, const Value& fixity, const Value& ns) {
    VUX_FUNCTION;
    const Value& precedence = rts::force(fieldOf(fixity, 0));
    const Value& direction = rts::force(fieldOf(fixity, 1));
    if (VUX::Types::intOf(precedence) == 9 && direction->tag == S::InfixL_tag) return empty();
    Value keyword = direction->tag == S::InfixL_tag   ? kwInfixl()
                    : direction->tag == S::InfixR_tag ? kwInfixr()
                                                      : kwInfix();
    return op_lt_plus_gt(op_lt_plus_gt(op_lt_plus_gt(keyword, int_(precedence)), pprNamespaceSpecifier(ns)),
                         pprName_prime(S::Infix(), name));
}

// ---------------------------------------------------------------------------------------------
// The small syntax types

Value pprTyLit(const Value& lit) {
    VUX_FUNCTION;
    const Value& v = rts::force(lit);
    const Value& x = rts::field(v, 0);
    switch (v->tag) {
        case S::NumTyLit_tag: return integer(x);
        case S::StrTyLit_tag: return detail::quotedString(x);
        default:
            return text(rts::delay([x] {
                return VUX::Internal::Show::showCharLiteral(VUX::Types::charOf(rts::force(x)), Nil());
            }));
    }
}

Value ppr_overlap(const Value& overlap) {
    VUX_FUNCTION;
    switch (formOf(overlap)) {
        case S::Overlappable_tag: return kwOverlappable();
        case S::Overlapping_tag: return kwOverlapping();
        case S::Overlaps_tag: return kwOverlaps();
        default: return kwIncoherent();
    }
}

namespace {
Value pprNameAlone(const Value& n) { return pprName(n); }

Value pprFunDep(const Value& fd) {
    VUX_SCC("ppr_FunDep");
    return op_lt_plus_gt(op_lt_plus_gt(hsep(names(fieldOf(fd, 0))), kwFunDepArrow()),
                         hsep(names(fieldOf(fd, 1))));
}
Value pprFunDeps(const Value& fds) {
    VUX_SCC("ppr_list_FunDep");
    if (formOf(fds) == VUX::Types::Nil_tag) return empty();
    return op_lt_plus_gt(bar(), commaSeparated(each(fds, [](const Value& fd) { return pprFunDep(fd); })));
}

Value pprPatSynArgs(const Value& args) {
    VUX_SCC("ppr_PatSynArgs");
    const Value& a = rts::force(args);
    switch (a->tag) {
        case S::PrefixPatSyn_tag: return sep(names(rts::field(a, 0)));
        case S::InfixPatSyn_tag:
            return op_lt_plus_gt(pprName_prime(S::Alone(), rts::field(a, 0)),
                                 pprName_prime(S::Alone(), rts::field(a, 1)));
        default:
            return braces(commaSeparated(each(rts::field(a, 0), [](const Value& f) { return applied(f); })));
    }
}

Value pprInjectivityAnn(const Value& ann) {
    VUX_SCC("ppr_InjectivityAnn");
    return op_lt_plus_gt(op_lt_plus_gt(op_lt_plus_gt(bar(), pprName(fieldOf(ann, 0))), kwInjectivityArrow()),
                         hsep(names(fieldOf(ann, 1))));
}

Value pprModule(const Value& m) {
    VUX_SCC("ppr_Module");
    return op_lt_plus_gt(text(fieldOf(m, 0)), text(fieldOf(m, 1)));
}
Value pprModuleInfo(const Value& info) {
    VUX_SCC("ppr_ModuleInfo");
    return op_lt_plus_gt(kwModule(),
                         vcat(each(fieldOf(info, 0), [](const Value& m) { return pprModule(m); })));
}

// "(line,column)"
Value position(const Value& p) {
    return parens(op_lt_gt(op_lt_gt(int_(fieldOf(p, 0)), comma()), int_(fieldOf(p, 1))));
}
Value pprLoc(const Value& loc) {
    VUX_SCC("ppr_Loc");
    const Value& l = rts::force(loc);
    return hcat(S::list({text(rts::field(l, 1)), colon(), text(rts::field(l, 2)), colon(),
                         position(rts::field(l, 3)), kwDash(), position(rts::field(l, 4))}));
}

Value pprInline(const Value& i) {
    VUX_SCC("ppr_Inline");
    switch (formOf(i)) {
        case S::NoInline_tag: return kwNoInline();
        case S::Inline_tag: return kwInline();
        default: return kwInlinable();
    }
}
Value pprRuleMatch(const Value& m) {
    VUX_SCC("ppr_RuleMatch");
    return formOf(m) == S::ConLike_tag ? kwConLike() : empty();
}
Value pprPhases(const Value& p) {
    VUX_SCC("ppr_Phases");
    const Value& v = rts::force(p);
    switch (v->tag) {
        case S::AllPhases_tag: return empty();
        case S::FromPhase_tag: return brackets(int_(rts::field(v, 0)));
        default: return brackets(op_lt_gt(kwTilde(), int_(rts::field(v, 0))));
    }
}
Value pprPatSynDir(const Value& d) {
    VUX_SCC("ppr_PatSynDir");
    return formOf(d) == S::ImplBidir_tag ? kwEquals() : kwLeftArrow();
}
Value pprSourceUnpackedness(const Value& u) {
    VUX_SCC("ppr_SourceUnpackedness");
    switch (formOf(u)) {
        case S::NoSourceUnpackedness_tag: return empty();
        case S::SourceNoUnpack_tag: return kwNoUnpack();
        default: return kwUnpack();
    }
}
Value pprSourceStrictness(const Value& s) {
    VUX_SCC("ppr_SourceStrictness");
    switch (formOf(s)) {
        case S::NoSourceStrictness_tag: return empty();
        case S::SourceLazy_tag: return kwTilde();
        default: return kwBang();
    }
}
Value pprDecidedStrictness(const Value& s) {
    VUX_SCC("ppr_DecidedStrictness");
    switch (formOf(s)) {
        case S::DecidedLazy_tag: return empty();
        case S::DecidedStrict_tag: return kwBang();
        default: return kwUnpackStrict();
    }
}
Value pprBang(const Value& b) {
    VUX_SCC("ppr_Bang");
    return op_lt_plus_gt(pprSourceUnpackedness(fieldOf(b, 0)), pprSourceStrictness(fieldOf(b, 1)));
}
Value pprRole(const Value& r) {
    VUX_SCC("ppr_Role");
    switch (formOf(r)) {
        case S::NominalR_tag: return kwNominal();
        case S::RepresentationalR_tag: return kwRepresentational();
        case S::PhantomR_tag: return kwPhantom();
        default: return kwInferRole();
    }
}
}  // namespace

VUX_PPR_INSTANCE(Name, pprNameAlone)
VUX_PPR_INSTANCE(TyLit, pprTyLit)
VUX_PPR_INSTANCE(PatSynArgs, pprPatSynArgs)
VUX_PPR_INSTANCE(InjectivityAnn, pprInjectivityAnn)
VUX_PPR_INSTANCE(Module, pprModule)
VUX_PPR_INSTANCE(ModuleInfo, pprModuleInfo)
VUX_PPR_INSTANCE(Loc, pprLoc)
VUX_PPR_INSTANCE(Inline, pprInline)
VUX_PPR_INSTANCE(RuleMatch, pprRuleMatch)
VUX_PPR_INSTANCE(Phases, pprPhases)
VUX_PPR_INSTANCE(PatSynDir, pprPatSynDir)
VUX_PPR_INSTANCE(Bang, pprBang)
VUX_PPR_INSTANCE(SourceUnpackedness, pprSourceUnpackedness)
VUX_PPR_INSTANCE(SourceStrictness, pprSourceStrictness)
VUX_PPR_INSTANCE(DecidedStrictness, pprDecidedStrictness)
VUX_PPR_INSTANCE(Role, pprRole)
constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_FunDep_closure{fn<&pprFunDep>, fn<&pprFunDeps>};

}  // namespace VUX::Boot::TH::Ppr
