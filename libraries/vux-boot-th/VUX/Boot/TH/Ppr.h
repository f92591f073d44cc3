// The syntax printer: the printable class, precedence levels, `pprint`, names and fixity
// declarations, and the printers of the small syntax types.
//
// Every printer yields a document computation of the document layer (PprLib.h); `pprint` runs
// one from the initial renumbering state and renders it. Precedences are the levels below
// (`noPrec` ... `appPrec`): a printer given level p parenthesises what binds more loosely than a
// position of that level. `Ppr` instances are static records, or functions of the records of the
// type's parameters. The module's sources: Ppr.cpp (class, names, small types, brackets and
// lists), PprLit.cpp (literals), PprType.cpp (types, contexts, foralls), PprKeywords.cpp (the
// fixed vocabulary of the larger printers), PprExp.cpp, PprPat.cpp and PprClause.cpp
// (expressions, patterns, bodies, clauses and statements), PprDec.cpp (declarations and where
// blocks), PprData.cpp (data types, constructors, deriving clauses), PprFamily.cpp (synonyms and
// families), PprPragma.cpp, PprForeign.cpp and PprInfo.cpp (pragmas, foreign declarations and
// pattern-synonym signatures, reified information).
#pragma once

#include <cstdint>

#include "VUX/Boot/TH/PprLib.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Boot::TH::Ppr {

using PprLib::pprName;
using PprLib::pprName_prime;
using rts::Value;

// ---------------------------------------------------------------------------------------------
// The class

// `ppr` (a value to its document computation), `ppr_list` (a list of values to one computation).
VUX_CLASS(Ppr, (), ppr, ppr_list);
// The operations called through a record.
Value ppr(const Value& dPpr, const Value& x);
Value ppr_list(const Value& dPpr, const Value& xs);
// The default ppr_list: vcat of ppr of each element, in order.
Value default_ppr_list(const Value& dPpr, const Value& xs);

// `ppr` of a list is the element's ppr_list; ppr_list of a list of lists is vcat of those.
Value inst_Ppr_List(const Value& dPpr);

// Binder flags: a one-operation class, so a flag's record is its `pprTyVarBndr` itself.
Value pprTyVarBndr(const Value& dPprFlag, const Value& binder);
// Binders print by their flag's printer; ppr_list is vcat of it.
Value inst_Ppr_TyVarBndr(const Value& dPprFlag);

// ---------------------------------------------------------------------------------------------
// Precedence levels and entry points

inline constexpr int64_t noPrec = 0;
inline constexpr int64_t sigPrec = 1;
inline constexpr int64_t qualPrec = 2;
inline constexpr int64_t funPrec = 3;
inline constexpr int64_t unopPrec = 4;
inline constexpr int64_t opPrec = 5;
inline constexpr int64_t appPrec = 6;
inline constexpr int64_t nestDepth = 4;

// The computation itself when the flag is False, its `parens` when True.
Value parensIf(bool flag, const Value& m);
Value parensIf(const Value& flag, const Value& m);
// The rendered text (a character list) of ppr of the value, from the initial state.
Value pprint(const Value& dPpr, const Value& x);

// ---------------------------------------------------------------------------------------------
// Names and fixity

// Whether the name is an operator: an empty occurrence, or one whose first character is a
// symbol character other than ':'.
bool isSymOcc(const Value& name);
// The name in prefix position: in parentheses when its occurrence is empty, starts with ':' or
// with a symbol character. The test is made when the computation is built.
Value pprPrefixOcc(const Value& name);
// Nothing, "type" or "data".
Value pprNamespaceSpecifier(const Value& ns);
// "infixl 6 +", "infixr 5 type :+"...; nothing for the default fixity (infixl 9).
Value pprFixity(const Value& name, const Value& fixity, const Value& ns);

// ---------------------------------------------------------------------------------------------
// The small syntax types

Value pprTyLit(const Value& lit);
Value ppr_overlap(const Value& overlap);
// The shared "|" document.
Value bar();

VUX_STATIC_INSTANCE(inst_Ppr_Name, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_TyLit, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_FunDep, C_Ppr_class);  // ppr_list: "|" then the dependencies, comma-separated
VUX_STATIC_INSTANCE(inst_Ppr_PatSynArgs, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_InjectivityAnn, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Module, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_ModuleInfo, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Loc, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Inline, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_RuleMatch, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Phases, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_PatSynDir, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Bang, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_SourceUnpackedness, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_SourceStrictness, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_DecidedStrictness, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Role, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// Brackets, separators and list printers

// `sep` of the printed elements, each but the last followed directly by the separator.
// `printer` is a function (element to computation); the elements print in list order.
Value sepWith(const Value& separator, const Value& printer, const Value& xs);
Value commaSep(const Value& dPpr, const Value& xs);
Value commaSepWith(const Value& printer, const Value& xs);
Value commaSepApplied(const Value& names);  // each name by pprName' Applied
Value semiSep(const Value& dPpr, const Value& xs);
Value semiSepWith(const Value& printer, const Value& xs);
// "'(" d ")"; "(# " d " #)".
Value quoteParens(const Value& m);
Value hashParens(const Value& m);
// "(# " (alt - 1 bars) d (arity - alt bars) " #)": the bars separated by spaces, directly against
// d. `alt` and `arity` are boxed Ints.
Value unboxedSumBars(const Value& m, const Value& alt, const Value& arity);
// d for BndrReq, "@" d for BndrInvis.
Value pprBndrVis(const Value& vis, const Value& m);
// One chunk: `show` of the value (through its Show record) mapped to lower case.
Value showtextl(const Value& dShow, const Value& x);
// The shared lower-cased documents of the calling conventions ("ccall"...) and safeties
// ("unsafe", "safe", "interruptible"), one per constructor.
Value pprCallconv(const Value& cc);
Value pprSafety(const Value& safety);
// A list of Word8 as the characters of the same codes, produced lazily.
Value bytesToString(const Value& bytes);

// The visibility of a forall: ForallVis prints "->" after its binders, ForallInvis ".".
inline constexpr uint8_t ForallVis_tag = 0;
inline constexpr uint8_t ForallInvis_tag = 1;
Value ForallVis();
Value ForallInvis();
VUX_DECLARE_TEXT_FORMS(ForallVisFlag);  // "ForallVis", "ForallInvis"

// ---------------------------------------------------------------------------------------------
// Literals

// A literal at the precedence of its position (a boxed Int, evaluated only for the numeric
// forms): negative numbers in parentheses above noPrec; rationals as exact decimals ("2.5",
// "1.23456789e8", "1e-3") when finite in base 10, else as fractions ("1 / 3", parenthesised
// above noPrec). A zero numerator prints "0.0" whatever its power-of-ten denominator.
Value pprLit(const Value& p, const Value& lit);
Value pprLit(int64_t p, const Value& lit);
// A string literal, one line per line of the string (broken after each embedded newline).
Value pprString(const Value& s);
VUX_STATIC_INSTANCE(inst_Ppr_Lit, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// Types

// One argument of an application spine: an ordinary one, or a kind argument printed after "@".
// The field is stored unevaluated.
inline constexpr uint8_t TANormal_tag = 0;
inline constexpr uint8_t TyArg_tag = 1;
Value TANormal(Value t);
Value TyArg(Value k);
// Just the type of a TANormal, Nothing for a TyArg.
Value fromTANormal(const Value& arg);

// The type printer. Applications print through pprTyApp of their spine.
Value pprType(int64_t p, const Value& t);
Value pprParendType(const Value& t);  // at appPrec
Value pprFunArgType(const Value& t);  // at funPrec
// The four infix forms ("a + b", "a '+ b"), parenthesised at opPrec (unopPrec for the U forms);
// any other type at appPrec.
Value pprInfixT(int64_t p, const Value& t);
// (head, [TypeArg]) of the application spine, arguments leftmost first; the head is evaluated.
Value split(const Value& t);
// An application: the head (evaluated) and its arguments. Tuples, arrows (plain and with a
// multiplicity), equality, lists and promoted tuples print in their own syntax when saturated
// with ordinary arguments; anything else as "h a @k b", parenthesised at appPrec.
Value pprTyApp(int64_t p, const Value& head, const Value& args);
Value pprTyApp(int64_t p, const Value& headAndArgs);  // the pair
bool isStarT(const Value& t);
// An argument in argument position: "t" at appPrec, "@k" ("@(*)" for the star kind).
Value pprParendTypeArg(const Value& arg);
VUX_STATIC_INSTANCE(inst_Ppr_Type, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_TypeArg, C_Ppr_class);
// "name :: type", the name by pprName' Applied.
Value ppr_sig(const Value& name, const Value& type);

// ---------------------------------------------------------------------------------------------
// Contexts, foralls and binders

// The predicates of a context: "()" for none; one by `printer` (a function of the precedence, a
// boxed Int, and the predicate) at p; several as "(a, b)", each by the Ppr record at noPrec.
Value ppr_ctx_preds_with(const Value& dPpr, const Value& printer, const Value& p, const Value& preds);
// Nothing for an empty context, else its predicates at funPrec then "=>".
Value pprCtxWith(const Value& dPpr, const Value& printer, const Value& preds);
Value ppr_cxt_preds(int64_t p, const Value& preds);  // with pprType
Value pprCxt(const Value& preds);                    // with pprType
// "forall a b ." / "forall a b ->" then the context; the context alone without binders. The
// binders stay on one line. `dPprFlag` is the binders' flag record.
Value pprForall_prime(const Value& dPprFlag, const Value& visibility, const Value& binders, const Value& ctx);
Value pprForall(const Value& binders, const Value& ctx);     // Specificity binders, "."
Value pprForallVis(const Value& binders, const Value& ctx);  // () binders, "->"
// Nothing for Nothing; "forall" then the binders (laid out by sep) directly followed by ".".
Value ppr_bndrs(const Value& dPprFlag, const Value& maybeBinders);
// The binder printers of the three flag types: "a", "(a :: k)"; Specificity's inferred ones in
// braces ("{a}", "{a :: k}"); BndrVis's invisible ones after "@" ("@a", "@(a :: k)").
VUX_STATIC_INSTANCE(inst_PprFlag_Unit, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_PprFlag_Specificity, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_PprFlag_BndrVis, VUX::Record::Operation);

// ---------------------------------------------------------------------------------------------
// Expressions, patterns, bodies, clauses and statements

// An expression at the precedence of its position. Blocks of several items print with explicit
// braces and semicolons; sections and record forms carry their own brackets.
Value pprExp(int64_t p, const Value& e);
// A pattern at the precedence of its position.
Value pprPat(int64_t p, const Value& pat);
// Nothing prints nothing; Just e prints e at p.
Value pprMaybeExp(int64_t p, const Value& m);
// An expression in operator position: a name as an infix name, anything else in backquotes.
Value pprInfixExp(const Value& e);
// "f = e, g = e2": record field assignments, each name by pprName' Applied.
Value pprFields(const Value& fields);
// The inside of an arithmetic sequence's brackets ("a, b .. c").
Value pprRange(const Value& range);
// A right-hand side: "= e"/"-> e" (flag True/False), or the guarded alternatives nested by 4.
Value pprBody(bool eq, const Value& body);
// One guarded alternative with the separator document given ("=" or "->").
Value pprGuarded(const Value& eqDoc, const Value& guardAndExp);
// A function clause: its argument patterns at appPrec, then its body, then its where block.
Value pprClause(bool eq, const Value& clause);
// The pattern of a case alternative: a signature pattern in parentheses.
Value pprMatchPat(const Value& pat);
VUX_STATIC_INSTANCE(inst_Ppr_Exp, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Pat, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Clause, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Match, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Stmt, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Range, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// Declarations, pragmas, foreign declarations and reified information.

// A declaration on its own (alone True) or as a member of a where block (False): inside a block
// the clauses of a function are joined by ";", GADT constructors stand in braces, and families
// and instances lose their "family" or "instance" keyword.
Value ppr_dec(bool alone, const Value& dec);
// The "where" block of local declarations, nested by 4: "where {d1; d2}", the members on one line
// when they fit, else one per line aligned after "{"; nothing for none.
Value where_clause(const Value& decs);
VUX_STATIC_INSTANCE(inst_Ppr_Dec, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// Data types and their constructors

// The declarations of algebraic types: the head line (keyword, prefix, context, name and
// arguments or the instance head, kind, and "where" when every constructor is in GADT form), the
// constructors nested by 4 (after "=" and "|", one per line under "where", or in braces inside a
// block), then the deriving clauses nested by 4; on one line when it fits. `keyword` is a
// document computation ("data", "newtype", "type data"), `name` a Maybe Name, `kind` a Maybe Kind.
Value ppr_typedef(const Value& keyword, bool alone, const Value& prefix, const Value& ctx, const Value& name,
                  const Value& arguments, const Value& kind, const Value& cons, const Value& derivings);
Value ppr_data(bool alone, const Value& prefix, const Value& ctx, const Value& name, const Value& arguments,
               const Value& kind, const Value& cons, const Value& derivings);
Value ppr_newtype(bool alone, const Value& prefix, const Value& ctx, const Value& name,
                  const Value& arguments, const Value& kind, const Value& con, const Value& derivings);
Value ppr_type_data(bool alone, const Value& prefix, const Value& ctx, const Value& name,
                    const Value& arguments, const Value& kind, const Value& cons, const Value& derivings);
// Nothing for Nothing, ":: k" for Just k.
Value ksigDoc(const Value& maybeKind);
// "deriving stock (Eq, Ord)", "deriving C via T": the strategy's word before the classes, or the
// via type after them.
Value ppr_deriv_clause(const Value& clause);
// "stock", "anyclass", "newtype", "via T" (the type at appPrec).
Value ppr_deriv_strategy(const Value& strategy);

// A field's type at appPrec after its marks: "!Int", "{-# UNPACK #-} !Int", "{-# UNPACK #-} Int".
// The field is the pair (bang, type).
Value pprBangType(const Value& field);
Value pprStrictType(const Value& field);
// "name :: !Int", from the triple (name, bang, type).
Value pprVarBangType(const Value& field);
Value pprVarStrictType(const Value& field);
// "{a :: A, b :: B} -> R".
Value pprRecFields(const Value& fields, const Value& result);
// "A -> B -> R", or the result alone without fields.
Value pprGadtRHS(const Value& fields, const Value& result);
VUX_STATIC_INSTANCE(inst_Ppr_Con, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// Type synonyms and type families

// "type" prefix name-and-arguments "=" type; `name` is a Maybe Name (absent for type instances,
// whose left-hand side comes as `arguments`).
Value ppr_tySyn(const Value& prefix, const Value& name, const Value& arguments, const Value& type);
// The head of a family: name, binders, result signature, injectivity annotation.
Value ppr_tf_head(const Value& head);
// An equation of a closed family: its explicit binders, "lhs = rhs".
Value ppr_eqn(const Value& equation);
// Nothing, ":: k", or "= binder".
VUX_STATIC_INSTANCE(inst_Ppr_FamilyResultSig, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Pragma, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_RuleBndr, C_Ppr_class);
VUX_STATIC_INSTANCE(inst_Ppr_Foreign, C_Ppr_class);
// "pattern P :: t"; the type of a pattern synonym with its required and provided contexts.
Value pprPatSynSig(const Value& name, const Value& type);
Value pprPatSynType(const Value& type);
VUX_STATIC_INSTANCE(inst_Ppr_Info, C_Ppr_class);

// ---------------------------------------------------------------------------------------------
// The fixed vocabulary of the declaration, pragma, expression, pattern, statement and
// reified-information printers: one shared document of one chunk per text (leading and trailing
// blanks included, as in " in"), built on first use.

#define VUX_PPR_KEYWORDS(X)                            \
    X(kwDotDot, "..")                                  \
    X(kwComma, ",")                                    \
    X(kwClass, "class")                                \
    X(kwInstance, "instance")                          \
    X(kwType, "type")                                  \
    X(kwData, "data")                                  \
    X(kwTypeData, "type data")                         \
    X(kwFamily, "family")                              \
    X(kwTypeFamily, "type family")                     \
    X(kwWhere, "where")                                \
    X(kwEquals, "=")                                   \
    X(kwTypeRole, "type role")                         \
    X(kwDeriving, "deriving")                          \
    X(kwDefault, "default")                            \
    X(kwPattern, "pattern")                            \
    X(kwStock, "stock")                                \
    X(kwAnyclass, "anyclass")                          \
    X(kwNewtype, "newtype")                            \
    X(kwVia, "via")                                    \
    X(kwBang, "!")                                     \
    X(kwTilde, "~")                                    \
    X(kwForall, "forall")                              \
    X(kwDot, ".")                                      \
    X(kwEmptyContext, "() =>")                         \
    X(kwForeignImport, "foreign import")               \
    X(kwForeignExport, "foreign export")               \
    X(kwPragmaOpen, "{-#")                             \
    X(kwOpaque, "{-# OPAQUE")                          \
    X(kwSpecialise, "{-# SPECIALISE")                  \
    X(kwSpecialiseInstance, "{-# SPECIALISE instance") \
    X(kwRules, "{-# RULES")                            \
    X(kwAnn, "{-# ANN")                                \
    X(kwLine, "{-# LINE")                              \
    X(kwComplete, "{-# COMPLETE")                      \
    X(kwScc, "{-# SCC")                                \
    X(kwPragmaClose, "#-}")                            \
    X(kwModule, "module")                              \
    X(kwAt, "@")                                       \
    X(kwBackslash, "\\")                               \
    X(kwArrow, "->")                                   \
    X(kwLambdaCase, "\\case")                          \
    X(kwLambdaCases, "\\cases")                        \
    X(kwIf, "if")                                      \
    X(kwThen, "then")                                  \
    X(kwElse, "else")                                  \
    X(kwLet, "let")                                    \
    X(kwIn, " in")                                     \
    X(kwCase, "case")                                  \
    X(kwOf, "of")                                      \
    X(kwDo, "do")                                      \
    X(kwMdo, "mdo")                                    \
    X(kwOpenBracket, "[")                              \
    X(kwCloseBracket, "]")                             \
    X(kwEmptyCompExp, "<<Empty CompExp>>")             \
    X(kwEmptyMultiIf, "if {}")                         \
    X(kwStatic, "static")                              \
    X(kwHash, "#")                                     \
    X(kwTypedQuoteOpen, "[||")                         \
    X(kwTypedQuoteClose, "||]")                        \
    X(kwTypedSplice, "$$")                             \
    X(kwLeftArrow, "<-")                               \
    X(kwRec, "rec")                                    \
    X(kwWildcard, "_")                                 \
    X(kwBackquote, "`")                                \
    X(kwClassOpFrom, "Class op from")                  \
    X(kwPrimitive, "Primitive")                        \
    X(kwUnlifted, "unlifted")                          \
    X(kwTypeConstructor, "type constructor")           \
    X(kwArity, "arity")                                \
    X(kwConstructorFrom, "Constructor from")           \
    X(kwTypeVariable, "Type variable")

namespace Keywords {
#define VUX_PPR_DECLARE_KEYWORD(name, literal) Value name();
VUX_PPR_KEYWORDS(VUX_PPR_DECLARE_KEYWORD)
#undef VUX_PPR_DECLARE_KEYWORD
}  // namespace Keywords

// "|" d: the prefix of every constructor alternative after the first.
Value barPrefix(const Value& m);
// "." then the field name (a character list) directly after it.
Value fieldProjection(const Value& field);
// Whether a constructor is written in GADT form (GadtC, RecGadtC, or ForallC of one); whether a
// declaration's constructors all are (False for none; stops at the first that is not).
bool isGadtCon(const Value& con);
bool isGadtDecl(const Value& cons);
// " ->" (a space then the arrow): what follows each argument type of a GADT constructor.
Value gadtArgSeparator();
// The one-element list of "if {}", what a multi-way conditional without alternatives prints.
Value emptyMultiIf();

}  // namespace VUX::Boot::TH::Ppr
