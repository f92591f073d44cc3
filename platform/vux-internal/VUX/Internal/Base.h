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

inline constexpr uint8_t C_Functor_tag = 0;
inline constexpr uint8_t C_Applicative_tag = 0;
inline constexpr uint8_t C_Monad_tag = 0;
inline constexpr uint8_t C_Semigroup_tag = 0;
inline constexpr uint8_t C_Monoid_tag = 0;

inline Value C_Functor(Value fmap, Value op_lt_dollar) {
    return rts::con(C_Functor_tag, std::move(fmap), std::move(op_lt_dollar));
}
inline Value C_Applicative(Value dFunctor, Value pure, Value ap, Value liftA2, Value then, Value before) {
    return rts::con(C_Applicative_tag, std::move(dFunctor), std::move(pure), std::move(ap), std::move(liftA2),
                    std::move(then), std::move(before));
}
inline Value C_Monad(Value dApplicative, Value bind, Value then, Value return_) {
    return rts::con(C_Monad_tag, std::move(dApplicative), std::move(bind), std::move(then), std::move(return_));
}
inline Value C_Semigroup(Value op_lt_gt, Value sconcat, Value stimes) {
    return rts::con(C_Semigroup_tag, std::move(op_lt_gt), std::move(sconcat), std::move(stimes));
}
inline Value C_Monoid(Value dSemigroup, Value mempty, Value mappend, Value mconcat) {
    return rts::con(C_Monoid_tag, std::move(dSemigroup), std::move(mempty), std::move(mappend), std::move(mconcat));
}

// Selectors: evaluate the record, return the field.
inline const Value& sel(const Value& record, size_t i) { return rts::field(rts::force(record), i); }
inline const Value& fmap_sel(const Value& d) { return sel(d, 0); }
inline const Value& op_lt_dollar_sel(const Value& d) { return sel(d, 1); }
inline const Value& functor_of_applicative(const Value& d) { return sel(d, 0); }
inline const Value& pure_sel(const Value& d) { return sel(d, 1); }
inline const Value& op_lt_star_gt_sel(const Value& d) { return sel(d, 2); }
inline const Value& liftA2_sel(const Value& d) { return sel(d, 3); }
inline const Value& op_star_gt_sel(const Value& d) { return sel(d, 4); }
inline const Value& op_lt_star_sel(const Value& d) { return sel(d, 5); }
inline const Value& applicative_of_monad(const Value& d) { return sel(d, 0); }
inline const Value& op_gt_gt_eq_sel(const Value& d) { return sel(d, 1); }
inline const Value& op_gt_gt_sel(const Value& d) { return sel(d, 2); }
inline const Value& return_sel(const Value& d) { return sel(d, 3); }
inline const Value& op_lt_gt_sel(const Value& d) { return sel(d, 0); }
inline const Value& sconcat_sel(const Value& d) { return sel(d, 1); }
inline const Value& stimes_sel(const Value& d) { return sel(d, 2); }
inline const Value& semigroup_of_monoid(const Value& d) { return sel(d, 0); }
inline const Value& mempty_sel(const Value& d) { return sel(d, 1); }
inline const Value& mappend_sel(const Value& d) { return sel(d, 2); }
inline const Value& mconcat_sel(const Value& d) { return sel(d, 3); }

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

// The default `stimes` given `<>`: arguments (dIntegral, n, x); "stimes: positive multiplier
// expected" (no call stack) when n <= 0.
Value default_stimes(const Value& op, const Value& dIntegral, const Value& n, const Value& x);

// Calling through records.
Value fmap(const Value& dFunctor, const Value& f, const Value& x);
Value pure(const Value& dApplicative, const Value& x);
Value op_gt_gt_eq(const Value& dMonad, const Value& m, const Value& k);
Value op_gt_gt(const Value& dMonad, const Value& m, const Value& k);
Value return_(const Value& dMonad, const Value& x);
Value op_lt_gt(const Value& dSemigroup, const Value& a, const Value& b);
Value mempty(const Value& dMonoid);

// ---------------------------------------------------------------------------------------------
// Static records from plain C++ functions `Value fn(const Value&, ...)`, for instances whose
// operations need no captured values. Each function gets one static function object, shared by
// every record that holds it (`>>` and `return` of a monad are its `*>` and `pure`). A record
// that contains another takes it as an argument, so the exported instances stay separate named
// objects:
//   using Records = StaticMonadRecords<&fmap, &replace, &pure, &ap, &liftA2, &then, &before, &bind>;
//   constinit const rts::StaticCon<2> inst_Functor_T = Records::functor();
//   constinit const rts::StaticCon<6> inst_Applicative_T = Records::applicative(inst_Functor_T);
//   constinit const rts::StaticCon<4> inst_Monad_T = Records::monad(inst_Applicative_T);

template <auto Fn>
inline constexpr rts::StaticFun static_fun{rts::static_fun_info<Fn>};

template <auto Fn>
constexpr rts::Slot static_fun_slot() {
    return rts::ref_slot(static_fun<Fn>.object());
}

template <auto Fmap, auto Replace>
constexpr rts::StaticCon<2> staticFunctorRecord() {
    return rts::StaticCon<2>(C_Functor_tag, static_fun_slot<Fmap>(), static_fun_slot<Replace>());
}

template <auto Fmap, auto Replace, auto Pure, auto Ap, auto LiftA2, auto Then, auto Before, auto Bind>
struct StaticMonadRecords {
    static constexpr rts::StaticCon<2> functor() { return staticFunctorRecord<Fmap, Replace>(); }
    static constexpr rts::StaticCon<6> applicative(const rts::StaticCon<2>& dFunctor) {
        return rts::StaticCon<6>(C_Applicative_tag, rts::ref_slot(dFunctor.object()), static_fun_slot<Pure>(),
                                 static_fun_slot<Ap>(), static_fun_slot<LiftA2>(), static_fun_slot<Then>(),
                                 static_fun_slot<Before>());
    }
    static constexpr rts::StaticCon<4> monad(const rts::StaticCon<6>& dApplicative) {
        return rts::StaticCon<4>(C_Monad_tag, rts::ref_slot(dApplicative.object()), static_fun_slot<Bind>(),
                                 static_fun_slot<Then>(), static_fun_slot<Pure>());
    }
};

template <auto Append, auto Sconcat, auto Stimes>
constexpr rts::StaticCon<3> staticSemigroupRecord() {
    return rts::StaticCon<3>(C_Semigroup_tag, static_fun_slot<Append>(), static_fun_slot<Sconcat>(),
                             static_fun_slot<Stimes>());
}

// mappend is the semigroup's <>, given again as `Append`.
template <auto Append, auto Mconcat>
constexpr rts::StaticCon<4> staticMonoidRecord(const rts::StaticCon<3>& dSemigroup, const rts::Object* mempty) {
    return rts::StaticCon<4>(C_Monoid_tag, rts::ref_slot(dSemigroup.object()), rts::ref_slot(mempty),
                             static_fun_slot<Append>(), static_fun_slot<Mconcat>());
}

// ---------------------------------------------------------------------------------------------
// Non-empty lists: a :| as

inline constexpr uint8_t op_colon_bar_tag = 0;
inline Value op_colon_bar(Value head, Value tail) {
    return rts::con(op_colon_bar_tag, std::move(head), std::move(tail));
}

// ---------------------------------------------------------------------------------------------
// Instances

extern const rts::StaticCon<2> inst_Functor_List;
extern const rts::StaticCon<6> inst_Applicative_List;
extern const rts::StaticCon<4> inst_Monad_List;
extern const rts::StaticCon<3> inst_Semigroup_List;
extern const rts::StaticCon<4> inst_Monoid_List;
// Functions `r -> a` for any r.
extern const rts::StaticCon<2> inst_Functor_Function;
extern const rts::StaticCon<6> inst_Applicative_Function;
extern const rts::StaticCon<4> inst_Monad_Function;
extern const rts::StaticCon<2> inst_Functor_NonEmpty;
extern const rts::StaticCon<3> inst_Semigroup_NonEmpty;
// Unit: the trivial monoid.
extern const rts::StaticCon<3> inst_Semigroup_Unit;
extern const rts::StaticCon<4> inst_Monoid_Unit;

}  // namespace VUX::Internal::Base
