// The metaprogramming syntax tree: the values that the syntax printer (vux-boot-th) prints.
//
// Every type is a sum of constructors numbered from 0 in declaration order; a constructor's tag
// is that number (`VarE_tag`, `AppE_tag`...), and its fields are references in the order given in
// the lists below. Each constructor has a builder of the same name taking exactly its fields, so
// a tree reads like the tree:
//
//     // f x = x + 1
//     Value x = mkName("x");
//     Value dec = FunD(mkName("f"),
//                      list({Clause(list({VarP(x)}),
//                                   NormalB(InfixE(just(VarE(x)), VarE(mkName("+")),
//                                                  just(LitE(IntegerL(integer(1)))))),
//                                   list({}))}));
//
// Constructors without fields are static objects (one per tag, shared by every type: an object
// without fields holds nothing but its tag). Newtypes of the language (OccName, ModName, PkgName,
// Uniq, Cxt, Kind...) have no representation of their own: an occurrence or a module name is a
// character list, a unique an Integer, a context a list of types. Optional fields are `Maybe`,
// pairs are `(,)`, non-empty lists `:|`, machine numbers boxed `Int`.
//
// Decisions of this library that the printers rely on:
//   - `showName'`: a `NameS` is its occurrence; `NameQ m` and `NameG _ _ m` are "m.occ"; `NameU u`
//     and `NameL u` are the occurrence, "_", then u in decimal ("x_0"). In the `Applied` position
//     an operator (its occurrence starts with a symbol character or ':') is put in parentheses, in
//     the `Infix` position any other name is put in backquotes; a text that already starts with
//     '(' or '`' is never wrapped again. An empty occurrence is written as it is.
//   - Names are equal when flavour and occurrence are; they are ordered by flavour first (by
//     constructor, then by fields: module, unique, or name space, package and module), then by
//     occurrence.
//   - Symbol characters are the ASCII ones, "!#$%&*+./<=>?@\^|-~:"; other characters count as
//     letters (there are no Unicode category tables in the base layer).
//   - `mk_tup_name n space boxed`: the one-element boxed tuple is "Solo" as a type and "MkSolo"
//     as a data constructor, other boxed arities "()", "(,)", "(,,)"...; unboxed ones "Solo#",
//     "(# #)", "(#,#)"...; all global names of package "vux-prim", module "VUX.Tuple" (boxed) or
//     "VUX.Prim" (unboxed).
//   - `oneName` and `manyName` are the global data constructors "One" and "Many" of "VUX.Types"
//     in "vux-prim", the two multiplicities.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "VUX/Classes.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Internal::TH::Syntax {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Constructor lists: X(Type, Constructor, number of fields), in declaration order, fields noted.

#define VUX_TH_Lit(X, T)                                                                       \
    X(T, CharL, 1)                                                                             \
    X(T, StringL, 1) X(T, IntegerL, 1) X(T, RationalL, 1) X(T, IntPrimL, 1) X(T, WordPrimL, 1) \
        X(T, FloatPrimL, 1) X(T, DoublePrimL, 1) X(T, StringPrimL, 1) /* [Word8] */            \
        X(T, BytesPrimL, 1) X(T, CharPrimL, 1)

// Exp: VarE n | ConE n | LitE l | AppE f a | AppTypeE e t | InfixE (Maybe e) op (Maybe e)
// | UInfixE l op r | ParensE e | LamE [Pat] e | LamCaseE [Match] | LamCasesE [Clause]
// | TupE [Maybe e] | UnboxedTupE [Maybe e] | UnboxedSumE e alt arity | CondE c t e
// | MultiIfE [(Guard, e)] | LetE [Dec] e | CaseE e [Match] | DoE (Maybe ModName) [Stmt]
// | MDoE (Maybe ModName) [Stmt] | CompE [Stmt] | ArithSeqE Range | ListE [e] | SigE e t
// | RecConE n [(n, e)] | RecUpdE e [(n, e)] | StaticE e | UnboundVarE n | LabelE s
// | ImplicitParamVarE s | GetFieldE e s | ProjectionE (NonEmpty s) | TypedBracketE e
// | TypedSpliceE e | TypeE t | ForallE [TyVarBndr Specificity] e | ForallVisE [TyVarBndr ()] e
// | ConstrainedE [e] e
#define VUX_TH_Exp(X, T)                                                                                   \
    X(T, VarE, 1)                                                                                          \
    X(T, ConE, 1) X(T, LitE, 1) X(T, AppE, 2) X(T, AppTypeE, 2) X(T, InfixE, 3) X(T, UInfixE, 3)           \
        X(T, ParensE, 1) X(T, LamE, 2) X(T, LamCaseE, 1) X(T, LamCasesE, 1) X(T, TupE, 1)                  \
            X(T, UnboxedTupE, 1) X(T, UnboxedSumE, 3) X(T, CondE, 3) X(T, MultiIfE, 1) X(T, LetE, 2)       \
                X(T, CaseE, 2) X(T, DoE, 2) X(T, MDoE, 2) X(T, CompE, 1) X(T, ArithSeqE, 1) X(T, ListE, 1) \
                    X(T, SigE, 2) X(T, RecConE, 2) X(T, RecUpdE, 2) X(T, StaticE, 1) X(T, UnboundVarE, 1)  \
                        X(T, LabelE, 1) X(T, ImplicitParamVarE, 1) X(T, GetFieldE, 2) X(T, ProjectionE, 1) \
                            X(T, TypedBracketE, 1) X(T, TypedSpliceE, 1) X(T, TypeE, 1) X(T, ForallE, 2)   \
                                X(T, ForallVisE, 2) X(T, ConstrainedE, 2)

// Pat: LitP l | VarP n | TupP [p] | UnboxedTupP [p] | UnboxedSumP p alt arity | ConP n [Type] [p]
// | InfixP p n p | UInfixP p n p | ParensP p | TildeP p | BangP p | AsP n p | WildP
// | RecP n [(n, p)] | ListP [p] | SigP p t | ViewP e p | TypeP t | InvisP t | OrP (NonEmpty p)
#define VUX_TH_Pat(X, T)                                                                                \
    X(T, LitP, 1)                                                                                       \
    X(T, VarP, 1) X(T, TupP, 1) X(T, UnboxedTupP, 1) X(T, UnboxedSumP, 3) X(T, ConP, 3) X(T, InfixP, 3) \
        X(T, UInfixP, 3) X(T, ParensP, 1) X(T, TildeP, 1) X(T, BangP, 1) X(T, AsP, 2) X(T, WildP, 0)    \
            X(T, RecP, 2) X(T, ListP, 1) X(T, SigP, 2) X(T, ViewP, 2) X(T, TypeP, 1) X(T, InvisP, 1)    \
                X(T, OrP, 1)

// Type: ForallT [TyVarBndr Specificity] Cxt t | ForallVisT [TyVarBndr ()] t | AppT t t
// | AppKindT t k | SigT t k | VarT n | ConT n | PromotedT n | InfixT t n t | UInfixT t n t
// | PromotedInfixT t n t | PromotedUInfixT t n t | ParensT t | TupleT Int | UnboxedTupleT Int
// | UnboxedSumT Int | ArrowT | MulArrowT | EqualityT | ListT | PromotedTupleT Int | PromotedNilT
// | PromotedConsT | StarT | ConstraintT | LitT TyLit | WildCardT | ImplicitParamT s t
#define VUX_TH_Type(X, T)                                                                                    \
    X(T, ForallT, 3)                                                                                         \
    X(T, ForallVisT, 2) X(T, AppT, 2) X(T, AppKindT, 2) X(T, SigT, 2) X(T, VarT, 1) X(T, ConT, 1)            \
        X(T, PromotedT, 1) X(T, InfixT, 3) X(T, UInfixT, 3) X(T, PromotedInfixT, 3) X(T, PromotedUInfixT, 3) \
            X(T, ParensT, 1) X(T, TupleT, 1) X(T, UnboxedTupleT, 1) X(T, UnboxedSumT, 1) X(T, ArrowT, 0)     \
                X(T, MulArrowT, 0) X(T, EqualityT, 0) X(T, ListT, 0) X(T, PromotedTupleT, 1)                 \
                    X(T, PromotedNilT, 0) X(T, PromotedConsT, 0) X(T, StarT, 0) X(T, ConstraintT, 0)         \
                        X(T, LitT, 1) X(T, WildCardT, 0) X(T, ImplicitParamT, 2)

#define VUX_TH_TyLit(X, T) X(T, NumTyLit, 1) X(T, StrTyLit, 1) X(T, CharTyLit, 1)

// Dec: FunD n [Clause] | ValD Pat Body [Dec] | DataD Cxt n [TyVarBndr BndrVis] (Maybe Kind) [Con]
// [DerivClause] | NewtypeD Cxt n [TyVarBndr BndrVis] (Maybe Kind) Con [DerivClause]
// | TypeDataD n [TyVarBndr BndrVis] (Maybe Kind) [Con] | TySynD n [TyVarBndr BndrVis] t
// | ClassD Cxt n [TyVarBndr BndrVis] [FunDep] [Dec] | InstanceD (Maybe Overlap) Cxt t [Dec]
// | SigD n t | KiSigD n k | ForeignD Foreign | InfixD Fixity NamespaceSpecifier n
// | DefaultD [t] | PragmaD Pragma | DataFamilyD n [TyVarBndr BndrVis] (Maybe Kind)
// | DataInstD Cxt (Maybe [TyVarBndr ()]) t (Maybe Kind) [Con] [DerivClause]
// | NewtypeInstD Cxt (Maybe [TyVarBndr ()]) t (Maybe Kind) Con [DerivClause] | TySynInstD TySynEqn
// | OpenTypeFamilyD TypeFamilyHead | ClosedTypeFamilyD TypeFamilyHead [TySynEqn]
// | RoleAnnotD n [Role] | StandaloneDerivD (Maybe DerivStrategy) Cxt t | DefaultSigD n t
// | PatSynD n PatSynArgs PatSynDir Pat | PatSynSigD n t | ImplicitParamBindD s e
#define VUX_TH_Dec(X, T)                                                                                     \
    X(T, FunD, 2)                                                                                            \
    X(T, ValD, 3) X(T, DataD, 6) X(T, NewtypeD, 6) X(T, TypeDataD, 4) X(T, TySynD, 3) X(T, ClassD, 5)        \
        X(T, InstanceD, 4) X(T, SigD, 2) X(T, KiSigD, 2) X(T, ForeignD, 1) X(T, InfixD, 3) X(T, DefaultD, 1) \
            X(T, PragmaD, 1) X(T, DataFamilyD, 3) X(T, DataInstD, 6) X(T, NewtypeInstD, 6)                   \
                X(T, TySynInstD, 1) X(T, OpenTypeFamilyD, 1) X(T, ClosedTypeFamilyD, 2) X(T, RoleAnnotD, 2)  \
                    X(T, StandaloneDerivD, 3) X(T, DefaultSigD, 2) X(T, PatSynD, 4) X(T, PatSynSigD, 2)      \
                        X(T, ImplicitParamBindD, 2)

// Con: NormalC n [(Bang, t)] | RecC n [(n, Bang, t)] | InfixC (Bang, t) n (Bang, t)
// | ForallC [TyVarBndr Specificity] Cxt Con | GadtC [n] [(Bang, t)] t | RecGadtC [n] [(n, Bang, t)] t
#define VUX_TH_Con(X, T) \
    X(T, NormalC, 2) X(T, RecC, 2) X(T, InfixC, 3) X(T, ForallC, 3) X(T, GadtC, 3) X(T, RecGadtC, 3)

#define VUX_TH_Bang(X, T) X(T, Bang, 2) /* SourceUnpackedness SourceStrictness */
#define VUX_TH_SourceUnpackedness(X, T) \
    X(T, NoSourceUnpackedness, 0) X(T, SourceNoUnpack, 0) X(T, SourceUnpack, 0)
#define VUX_TH_SourceStrictness(X, T) X(T, NoSourceStrictness, 0) X(T, SourceLazy, 0) X(T, SourceStrict, 0)
#define VUX_TH_DecidedStrictness(X, T) X(T, DecidedLazy, 0) X(T, DecidedStrict, 0) X(T, DecidedUnpack, 0)

#define VUX_TH_Clause(X, T) X(T, Clause, 3) /* [Pat] Body [Dec] */
#define VUX_TH_Match(X, T) X(T, Match, 3)   /* Pat Body [Dec] */
#define VUX_TH_Body(X, T) X(T, GuardedB, 1) /* [(Guard, Exp)] */ X(T, NormalB, 1)
#define VUX_TH_Guard(X, T) X(T, NormG, 1) X(T, PatG, 1) /* [Stmt] */
// Stmt: BindS Pat Exp | LetS [Dec] | NoBindS Exp | ParS [[Stmt]] | RecS [Stmt]
#define VUX_TH_Stmt(X, T) X(T, BindS, 2) X(T, LetS, 1) X(T, NoBindS, 1) X(T, ParS, 1) X(T, RecS, 1)
#define VUX_TH_Range(X, T) X(T, FromR, 1) X(T, FromThenR, 2) X(T, FromToR, 2) X(T, FromThenToR, 3)

// Foreign: ImportF Callconv Safety entity n t | ExportF Callconv entity n t
#define VUX_TH_Foreign(X, T) X(T, ImportF, 5) X(T, ExportF, 4)
#define VUX_TH_Callconv(X, T) X(T, CCall, 0) X(T, StdCall, 0) X(T, CApi, 0) X(T, Prim, 0) X(T, JavaScript, 0)
#define VUX_TH_Safety(X, T) X(T, Unsafe, 0) X(T, Safe, 0) X(T, Interruptible, 0)

// Pragma: InlineP n Inline RuleMatch Phases | OpaqueP n | SpecialiseP n t (Maybe Inline) Phases
// | SpecialiseInstP t | RuleP s (Maybe [TyVarBndr ()]) [RuleBndr] e e Phases | AnnP AnnTarget e
// | LineP Int s | CompleteP [n] (Maybe n) | SCCP n (Maybe s)
#define VUX_TH_Pragma(X, T)                                                                     \
    X(T, InlineP, 4)                                                                            \
    X(T, OpaqueP, 1) X(T, SpecialiseP, 4) X(T, SpecialiseInstP, 1) X(T, RuleP, 6) X(T, AnnP, 2) \
        X(T, LineP, 2) X(T, CompleteP, 2) X(T, SCCP, 2)
#define VUX_TH_Inline(X, T) X(T, NoInline, 0) X(T, Inline, 0) X(T, Inlinable, 0)
#define VUX_TH_RuleMatch(X, T) X(T, ConLike, 0) X(T, FunLike, 0)
#define VUX_TH_Phases(X, T) X(T, AllPhases, 0) X(T, FromPhase, 1) X(T, BeforePhase, 1) /* Int */
#define VUX_TH_RuleBndr(X, T) X(T, RuleVar, 1) X(T, TypedRuleVar, 2)
#define VUX_TH_AnnTarget(X, T) X(T, ModuleAnnotation, 0) X(T, TypeAnnotation, 1) X(T, ValueAnnotation, 1)
#define VUX_TH_Overlap(X, T) X(T, Overlappable, 0) X(T, Overlapping, 0) X(T, Overlaps, 0) X(T, Incoherent, 0)

// Deriving and families: DerivClause (Maybe DerivStrategy) Cxt; TypeFamilyHead n
// [TyVarBndr BndrVis] FamilyResultSig (Maybe InjectivityAnn); TySynEqn (Maybe [TyVarBndr ()]) t t;
// InjectivityAnn n [n].
#define VUX_TH_DerivClause(X, T) X(T, DerivClause, 2)
#define VUX_TH_DerivStrategy(X, T) \
    X(T, StockStrategy, 0) X(T, AnyclassStrategy, 0) X(T, NewtypeStrategy, 0) X(T, ViaStrategy, 1)
#define VUX_TH_TypeFamilyHead(X, T) X(T, TypeFamilyHead, 4)
#define VUX_TH_TySynEqn(X, T) X(T, TySynEqn, 3)
#define VUX_TH_FamilyResultSig(X, T) X(T, NoSig, 0) X(T, KindSig, 1) X(T, TyVarSig, 1)
#define VUX_TH_InjectivityAnn(X, T) X(T, InjectivityAnn, 2)

#define VUX_TH_Fixity(X, T) X(T, Fixity, 2) /* Int FixityDirection */
#define VUX_TH_FixityDirection(X, T) X(T, InfixL, 0) X(T, InfixR, 0) X(T, InfixN, 0)
#define VUX_TH_NamespaceSpecifier(X, T) \
    X(T, NoNamespaceSpecifier, 0) X(T, TypeNamespaceSpecifier, 0) X(T, DataNamespaceSpecifier, 0)
#define VUX_TH_FunDep(X, T) X(T, FunDep, 2) /* [n] [n] */
#define VUX_TH_Role(X, T) X(T, NominalR, 0) X(T, RepresentationalR, 0) X(T, PhantomR, 0) X(T, InferR, 0)
#define VUX_TH_PatSynDir(X, T) X(T, Unidir, 0) X(T, ImplBidir, 0) X(T, ExplBidir, 1) /* [Clause] */
#define VUX_TH_PatSynArgs(X, T) X(T, PrefixPatSyn, 1) X(T, InfixPatSyn, 2) X(T, RecordPatSyn, 1)

// Type-variable binders over a flag: PlainTV n flag | KindedTV n flag k.
#define VUX_TH_TyVarBndr(X, T) X(T, PlainTV, 2) X(T, KindedTV, 3)
#define VUX_TH_Specificity(X, T) X(T, SpecifiedSpec, 0) X(T, InferredSpec, 0)
#define VUX_TH_BndrVis(X, T) X(T, BndrReq, 0) X(T, BndrInvis, 0)

// Modules and locations: Module PkgName ModName; ModuleInfo [Module];
// Loc filename package module (line, column) (line, column).
#define VUX_TH_Module(X, T) X(T, Module, 2)
#define VUX_TH_ModuleInfo(X, T) X(T, ModuleInfo, 1)
#define VUX_TH_Loc(X, T) X(T, Loc, 5)

// Info: ClassI Dec [Dec] | ClassOpI n t n | TyConI Dec | FamilyI Dec [Dec] | PrimTyConI n Int Bool
// | DataConI n t n | PatSynI n t | VarI n t (Maybe Dec) | TyVarI n t
#define VUX_TH_Info(X, T)                                                                    \
    X(T, ClassI, 2)                                                                          \
    X(T, ClassOpI, 3) X(T, TyConI, 1) X(T, FamilyI, 2) X(T, PrimTyConI, 3) X(T, DataConI, 3) \
        X(T, PatSynI, 2) X(T, VarI, 3) X(T, TyVarI, 2)

// Names: Name occurrence flavour; NameS | NameQ ModName | NameU Integer | NameL Integer
// | NameG NameSpace PkgName ModName; VarName | DataName | TcClsName | FldName parent.
#define VUX_TH_Name(X, T) X(T, Name, 2)
#define VUX_TH_NameFlavour(X, T) X(T, NameS, 0) X(T, NameQ, 1) X(T, NameU, 1) X(T, NameL, 1) X(T, NameG, 3)
#define VUX_TH_NameSpace(X, T) X(T, VarName, 0) X(T, DataName, 0) X(T, TcClsName, 0) X(T, FldName, 1)
#define VUX_TH_NameIs(X, T) X(T, Alone, 0) X(T, Applied, 0) X(T, Infix, 0)

// Every type above, in one list.
#define VUX_TH_TYPES(Y)                                                                                    \
    Y(Lit)                                                                                                 \
    Y(Exp) Y(Pat) Y(Type) Y(TyLit) Y(Dec) Y(Con) Y(Bang) Y(SourceUnpackedness) Y(SourceStrictness)         \
        Y(DecidedStrictness) Y(Clause) Y(Match) Y(Body) Y(Guard) Y(Stmt) Y(Range) Y(Foreign) Y(Callconv)   \
            Y(Safety) Y(Pragma) Y(Inline) Y(RuleMatch) Y(Phases) Y(RuleBndr) Y(AnnTarget) Y(Overlap)       \
                Y(DerivClause) Y(DerivStrategy) Y(TypeFamilyHead) Y(TySynEqn) Y(FamilyResultSig)           \
                    Y(InjectivityAnn) Y(Fixity) Y(FixityDirection) Y(NamespaceSpecifier) Y(FunDep) Y(Role) \
                        Y(PatSynDir) Y(PatSynArgs) Y(TyVarBndr) Y(Specificity) Y(BndrVis) Y(Module)        \
                            Y(ModuleInfo) Y(Loc) Y(Info) Y(Name) Y(NameFlavour) Y(NameSpace) Y(NameIs)

// ---------------------------------------------------------------------------------------------
// Tags and builders

// The static objects of constructors without fields, by tag.
inline constexpr size_t kNullaryTags = 32;
extern const rts::StaticNullary nullary_closure_tbl[kNullaryTags];

template <size_t N, class... F>
RTS_INLINE Value build(uint8_t tag, F&&... fields) {
    if constexpr (N == 0)
        return nullary_closure_tbl[tag].value();
    else
        return rts::con(tag, std::forward<F>(fields)...);
}

#define VUX_TH_ENUMERATOR(T, C, N) C,
#define VUX_TH_BUILDER(T, C, N)                                                                        \
    inline constexpr uint8_t C##_tag = T##_forms::C;                                                   \
    static_assert(N > 0 || C##_tag < kNullaryTags);                                                    \
    template <class... F>                                                                              \
    requires(sizeof...(F) == N && (std::is_convertible_v<F, Value> && ...)) inline Value C(F&&... f) { \
        return build<N>(C##_tag, std::forward<F>(f)...);                                               \
    }
// `<T>_forms::count` is the number of constructors of T; `<T>_forms::<C>` the tag of C.
#define VUX_TH_DECLARE_TYPE(T)                                     \
    struct T##_forms {                                             \
        enum : uint8_t { VUX_TH_##T(VUX_TH_ENUMERATOR, T) count }; \
    };                                                             \
    VUX_TH_##T(VUX_TH_BUILDER, T)
VUX_TH_TYPES(VUX_TH_DECLARE_TYPE)
#undef VUX_TH_DECLARE_TYPE
#undef VUX_TH_BUILDER
#undef VUX_TH_ENUMERATOR

static_assert(Exp_forms::count == 38 && Pat_forms::count == 20 && Dec_forms::count == 26 &&
              Type_forms::count == 28 && Lit_forms::count == 11 && Con_forms::count == 6 &&
              Pragma_forms::count == 9 && Info_forms::count == 9);

// ---------------------------------------------------------------------------------------------
// Helpers for building trees from C++

Value str(std::string_view utf8);                // a character list
Value list(std::initializer_list<Value> items);  // a list of the given values
Value just(Value x);
Value nothing();
Value pair(Value a, Value b);
Value triple(Value a, Value b, Value c);
Value nonEmpty(Value head, Value tail);  // `head :| tail`
Value int_(int64_t n);                   // a boxed Int
Value integer(int64_t n);                // an Integer
Value unit();

// Names: `mkName "x"` (NameS), qualified, with a unique, global.
Value mkName(std::string_view occ);
Value mkNameQ(std::string_view module, std::string_view occ);
Value mkNameU(std::string_view occ, int64_t unique);
Value mkNameL(std::string_view occ, int64_t unique);
Value mkNameG(Value nameSpace, std::string_view package, std::string_view module, std::string_view occ);

// The fields of a name, evaluated.
inline const Value& nameOcc(const Value& name) { return rts::force(rts::field(rts::force(name), 0)); }
inline const Value& nameFlavour(const Value& name) { return rts::force(rts::field(rts::force(name), 1)); }

// ---------------------------------------------------------------------------------------------
// Operations

// `showName' position name`: the text of a name in that position (see the top of this file).
Value showName_prime(const Value& position, const Value& name);
// `showName name`: `showName' Alone`.
Value showName(const Value& name);
// Whether a character may occur in an operator (`okSymChar`); the same without ':' (`isVarSymChar`).
bool okSymChar(uint32_t c);
bool isVarSymChar(uint32_t c);
// `mk_tup_name n space boxed`: the name of the n-tuple's type or data constructor.
Value mk_tup_name(int64_t arity, const Value& nameSpace, bool boxed);
Value oneName();
Value manyName();

// Equality and order of names; the Eq and Ord records of Name.
int compareName(const Value& a, const Value& b);
bool eqName(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_Name, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Name, VUX::Classes::C_Ord_class);

// Text forms of the enumerations, as derived from their declarations (Show and Read records).
VUX_DECLARE_TEXT_FORMS(Callconv);
VUX_DECLARE_TEXT_FORMS(Safety);
VUX_DECLARE_TEXT_FORMS(Inline);
VUX_DECLARE_TEXT_FORMS(RuleMatch);
VUX_DECLARE_TEXT_FORMS(Overlap);
VUX_DECLARE_TEXT_FORMS(FixityDirection);
VUX_DECLARE_TEXT_FORMS(NamespaceSpecifier);
VUX_DECLARE_TEXT_FORMS(Role);
VUX_DECLARE_TEXT_FORMS(Specificity);
VUX_DECLARE_TEXT_FORMS(BndrVis);
VUX_DECLARE_TEXT_FORMS(SourceUnpackedness);
VUX_DECLARE_TEXT_FORMS(SourceStrictness);
VUX_DECLARE_TEXT_FORMS(DecidedStrictness);
VUX_DECLARE_TEXT_FORMS(NameIs);

}  // namespace VUX::Internal::TH::Syntax
