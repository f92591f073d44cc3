// Basic combinators and the records of the structural classes:
//   C_Functor     fmap, <$
//   C_Applicative Functor record, pure, <*>, liftA2, *>, <*
//   C_Monad       Applicative record, >>=, >>, return
//   C_Semigroup   <>, sconcat, stimes
//   C_Monoid      Semigroup record, mempty, mappend, mconcat
// with their instances for lists, functions and non-empty lists (Maybe, Either and IO have
// theirs in their own modules).
#pragma once

#include <cstdint>

#include "VUX/Record.h"
#include "rts/rts.h"

namespace VUX::Internal::Base {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Combinators (language values; C++ callers apply them with rts::apply)

extern const rts::StaticFun id_closure;        // id x = x
extern const rts::StaticFun const__closure;    // const x _ = x
extern const rts::StaticFun op_dot_closure;    // (.) f g x = f (g x)
extern const rts::StaticFun flip_closure;      // flip f x y = f y x
extern const rts::StaticFun fst_closure;       // fst (a, _) = a
extern const rts::StaticFun snd_closure;       // snd (_, b) = b
extern const rts::StaticFun op_dollar_closure; // f $ x = f x

// `f . g` as a value (no call happens until it is applied).
Value op_dot(Value f, Value g);
// `const x`.
Value const_(Value x);
// `fix f`: the value x = f x, a suspended computation that passes itself to f.
// Knot: when f's result holds its argument (`fix (1 :)`, a recursive record), the evaluated value
// refers to itself, a cycle of counted references that is never freed. Use it for values meant to
// live as long as the program; leak checkers report such a knot. When f ignores its argument, or
// x is never evaluated, nothing is kept.
Value fix(const Value& f);
Value fst(const Value& p);
Value snd(const Value& p);

// ---------------------------------------------------------------------------------------------
// Records

VUX_CLASS(Functor, (), fmap, op_lt_dollar);
VUX_CLASS(Applicative, (Functor), pure, op_lt_star_gt, liftA2, op_star_gt, op_lt_star);
VUX_CLASS(Monad, (Applicative), op_gt_gt_eq, op_gt_gt, return_);
VUX_CLASS(Semigroup, (), op_lt_gt, sconcat, stimes);
VUX_CLASS(Monoid, (Semigroup), mempty, mappend, mconcat);

// Records from the essential operations, the others by their standard definitions:
//   functorRecord(fmap)                    x <$ m = fmap (const x) m
//   applicativeRecord(dF, pure, ap)        liftA2 f a b = fmap f a <*> b; a *> b = (id <$ a) <*> b;
//                                          a <* b = liftA2 const a b
//   monadRecord(dA, bind)                  m >> k = m >>= \_ -> k; return = pure
//   semigroupRecord(op)                    sconcat (a :| as) folds <> from the right;
//                                          stimes by repeated doubling (n <= 0 fails)
//   monoidRecord(dS, mempty)               mappend = <>; mconcat = foldr mappend mempty
Value functorRecord(Value fmap);
Value applicativeRecord(Value dFunctor, Value pure, Value ap);
Value monadRecord(Value dApplicative, Value bind);
Value semigroupRecord(Value op_lt_gt);
Value monoidRecord(Value dSemigroup, Value mempty);

// Defaults through the Semigroup record: `sconcat` folds `<>` from the right; `stimes` doubles
// with `<>` in n's own integral type and raises "stimes: positive multiplier expected" (no call
// stack) when n <= 0.
Value default_sconcat(const Value& dSemigroup, const Value& ne);
Value default_stimes(const Value& dSemigroup, const Value& dIntegral, const Value& n, const Value& x);

// Calling through records.
Value fmap(const Value& dFunctor, const Value& f, const Value& x);
Value pure(const Value& dApplicative, const Value& x);
Value op_gt_gt_eq(const Value& dMonad, const Value& m, const Value& k);
Value op_gt_gt(const Value& dMonad, const Value& m, const Value& k);
Value return_(const Value& dMonad, const Value& x);
Value op_lt_gt(const Value& dSemigroup, const Value& a, const Value& b);

// ---------------------------------------------------------------------------------------------
// Non-empty lists: a :| as

inline constexpr uint8_t op_colon_bar_tag = 0;
inline Value op_colon_bar(Value head, Value tail) {
    return rts::con(op_colon_bar_tag, std::move(head), std::move(tail));
}

// ---------------------------------------------------------------------------------------------
// Instances

VUX_STATIC_INSTANCE(inst_Functor_List, C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_List, C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_List, C_Monad_class);
VUX_STATIC_INSTANCE(inst_Semigroup_List, C_Semigroup_class);
VUX_STATIC_INSTANCE(inst_Monoid_List, C_Monoid_class);
// Functions `r -> a` for any r.
VUX_STATIC_INSTANCE(inst_Functor_Function, C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_Function, C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_Function, C_Monad_class);
VUX_STATIC_INSTANCE(inst_Functor_NonEmpty, C_Functor_class);
VUX_STATIC_INSTANCE(inst_Semigroup_NonEmpty, C_Semigroup_class);
// Unit: the trivial monoid.
VUX_STATIC_INSTANCE(inst_Semigroup_Unit, C_Semigroup_class);
VUX_STATIC_INSTANCE(inst_Monoid_Unit, C_Monoid_class);

}  // namespace VUX::Internal::Base
