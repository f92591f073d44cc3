// The syntax printer's document layer: document computations that thread the renumbering of
// unique names through the construction of a plain document.
//
// A computation is `PprM run` (tag 0), where `run` is a function from a renumbering state to the
// pair (result, state after). The state is the pair (name map, counter): the map, a `Data.Map`
// keyed by names in their order, holds for every unique name printed so far the name printed in
// its place; the counter is the Integer that the next new unique name receives. Every run starts
// from `initialState()`, (empty map, 0), so two runs of one computation print alike.
//
// Order. A computation made of parts runs them one after the other in the order of the
// arguments (left operand first, list elements first to last, the first document of `hang`
// first), each from the state the previous one left. The state is computed at once when a
// computation runs, in that order; the documents are not: each is built when first demanded, so
// a failing part surfaces only when its document is. Building a computation runs nothing.
//
// Every combinator is the plain document library's operation of the same name on the documents
// of its parts. Computations are immutable and may be run from any thread, any number of times.
#pragma once

#include <cstdint>

#include "VUX/Internal/Base.h"
#include "VUX/Internal/Show.h"
#include "rts/rts.h"

namespace VUX::Boot::TH::PprLib {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// The computation type

inline constexpr uint8_t PprM_tag = 0;
// The constructor (the run function is stored unevaluated) and the field `runPprM`.
Value PprM(Value run);
Value runPprM(const Value& m);

// One run from a state: the result (unevaluated) and the state after it (evaluated).
struct Ran {
    Value result;
    Value state;
};
Ran run(const Value& m, const Value& state);

// (Data.Map.empty, 0): a shared constant.
Value initialState();
// The document of a run from the initial state; the final state is dropped.
Value to_Drovane_Doc(const Value& m);
// A computation that leaves the state as it is and yields the value.
Value pure(Value x);

// Functor, Applicative and Monad: the state flows through the left computation first.
Value fmap(const Value& f, const Value& m);
Value op_lt_dollar(const Value& x, const Value& m);
Value op_lt_star_gt(const Value& mf, const Value& mx);
Value liftA2(const Value& f, const Value& ma, const Value& mb);
Value op_star_gt(const Value& ma, const Value& mb);
Value op_lt_star(const Value& ma, const Value& mb);
Value op_gt_gt_eq(const Value& m, const Value& k);
Value op_gt_gt(const Value& ma, const Value& mb);
VUX_STATIC_INSTANCE(inst_Functor_PprM, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_PprM, VUX::Internal::Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_PprM, VUX::Internal::Base::C_Monad_class);

// Rendering (document computations only): the document of a run from the initial state in page
// mode, line length 100, 1.5 ribbons per line; plain chunks give their text, annotation markers
// nothing. `showsPrec` ignores the precedence; `showList` is "[" renderings separated by "," "]".
Value show(const Value& m);
Value showsPrec(const Value& d, const Value& m, const Value& s);
Value showList(const Value& ms, const Value& s);
VUX_STATIC_INSTANCE(inst_Show_PprM_Doc, VUX::Internal::Show::C_Show_class);
// A plain document rendered as `show` renders it.
Value renderDoc(const Value& doc);

// ---------------------------------------------------------------------------------------------
// Documents

// Constants (built once, shared).
Value empty();
Value semi();
Value comma();
Value colon();
Value space();
Value equals();
Value lparen();
Value rparen();
Value lbrack();
Value rbrack();
Value lbrace();
Value rbrace();
Value dcolon();  // "::"
Value arrow();   // "->"

// Documents of values, built on first demand and shared by every run.
Value text(const Value& s);
Value ptext(const Value& s);
Value char_(const Value& c);
Value int_(const Value& n);
Value integer(const Value& n);
Value float_(const Value& x);
Value double_(const Value& x);
Value rational(const Value& r);
// A computation yielding a given document, the state unchanged.
Value document(Value doc);

// Wrapping: the opening and closing characters around a non-empty document, the two characters
// alone around an empty one.
Value parens(const Value& m);
Value brackets(const Value& m);
Value braces(const Value& m);
Value quotes(const Value& m);
Value doubleQuotes(const Value& m);

// <>, <+>, $$, $+$.
Value op_lt_gt(const Value& a, const Value& b);
Value op_lt_plus_gt(const Value& a, const Value& b);
Value op_dollar_dollar(const Value& a, const Value& b);
Value op_dollar_plus_dollar(const Value& a, const Value& b);

// Lists of computations to one computation.
Value hcat(const Value& ms);
Value hsep(const Value& ms);
Value vcat(const Value& ms);
Value sep(const Value& ms);
Value cat(const Value& ms);
Value fsep(const Value& ms);
Value fcat(const Value& ms);

Value nest(const Value& n, const Value& m);
Value hang(const Value& a, const Value& n, const Value& b);
// The list with the separator attached (by <>) after every element but the last; runs nothing.
Value punctuate(const Value& separator, const Value& ms);
// A computation of a Bool: whether the document is the empty document.
Value isEmpty(const Value& m);

// Names: the text of `showName'` for the position; a name of flavour NameU is renumbered (the
// first distinct one printed in a run becomes unique 0, the next 1, ...; later occurrences keep
// their number). The name and its flavour are evaluated when the computation is built.
Value pprName_prime(const Value& position, const Value& name);
Value pprName(const Value& name);

}  // namespace VUX::Boot::TH::PprLib
