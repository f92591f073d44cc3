// What the layered computation types share: the Functor, Applicative and Monad records built from
// `pure` and `>>=`, access to the inner monad, pair and triple patterns (irrefutable or strict),
// and the bind over IO that runs chains of binds in a loop.
//
// A layered computation is represented by its underlying form (the type is a plain renaming): a
// `StateT` computation is the function from the state to the inner computation, a `WriterT` one
// the inner computation of the pair, and so on. Every inner computation that a layer builds from
// a user's function is passed on suspended, so nothing runs before the inner monad runs it.
#pragma once

#include <array>

#include "VUX/Internal/Base.h"
#include "VUX/Tuple.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Internal {

using rts::Value;

// The Monad record (holding its Applicative record, holding its Functor record) of a type given
// its `pure` (arity 1) and `>>=` (arity 2):
//   fmap f m = m >>= pure . f        x <$ m = m >>= const (pure x)
//   mf <*> mx = mf >>= \f -> mx >>= \x -> pure (f x)      liftA2 likewise
//   a *> b = a >> b = a >>= const b  a <* b = a >>= \x -> b >>= const (pure x)
// Each application of a function to its argument is suspended.
Value monadRecord(Value pure, Value bind);

// The inner monad: `return x` and `m >>= k` through the record. Over IO the bind is a node that a
// loop runs: a chain of such binds, nested on either side, runs in constant C++ stack (the
// continuations waiting for a result are kept on the heap), as the language runs IO.
Value ret(const Value& dMonad, Value x);
Value bind(const Value& dMonad, Value m, Value k);
// `m >>= \x -> return (f x)` with f x suspended.
Value liftM(const Value& dMonad, Value f, Value m);

// `f x...` suspended.
template <class... A>
Value suspend(Value f, A... args) {
    return rts::delay([f = std::move(f), ... args = std::move(args)]() { return rts::apply(f, args...); });
}

// Pair and triple patterns. Irrefutable: the components are suspended selections that share one
// evaluation of the value (the value is not evaluated now). Strict: the value is evaluated now.
enum class Match : bool { Lazy, Strict };
std::array<Value, 2> pair(const Value& p, Match match);
std::array<Value, 3> triple(const Value& t, Match match);
// Field i of a value, as a suspended selection (taken at once when the value is evaluated).
Value selectField(const Value& v, size_t i);

// The `Monoid` operations: `mempty` as a suspended selection, `a <> b` suspended, and `a <> b`
// evaluated to weak head normal form (the writers that keep their output evaluated).
Value mempty(const Value& dMonoid);
Value mappendLazy(const Value& dMonoid, Value a, Value b);
Value mappendStrict(const Value& dMonoid, const Value& a, const Value& b);

inline Value Tuple2(Value a, Value b) { return VUX::Tuple::Tuple2(std::move(a), std::move(b)); }
inline Value Tuple3(Value a, Value b, Value c) {
    return VUX::Tuple::Tuple3(std::move(a), std::move(b), std::move(c));
}
inline Value unit() { return VUX::Tuple::Unit(); }

}  // namespace Control::Monad::Trans::Internal
