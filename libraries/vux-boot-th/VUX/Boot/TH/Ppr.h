// The syntax printer: the printable class, precedence levels, `pprint`, names and fixity
// declarations, and the printers of the small syntax types.
//
// Every printer yields a document computation of the document layer (PprLib.h); `pprint` runs
// one from the initial renumbering state and renders it. The printers of expressions, patterns,
// types, literals, declarations and the other large tree types join this module later; their
// `Ppr` instances are built the same way (a static record, or a function of the records of the
// type's parameters).
#pragma once

#include <cstdint>

#include "VUX/Boot/TH/PprLib.h"
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

}  // namespace VUX::Boot::TH::Ppr
