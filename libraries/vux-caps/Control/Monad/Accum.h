// Module Control.Monad.Accum: the accumulation capability `MonadAccum` and the wrapper
// `LiftingAccum`.
//
//   C_MonadAccum(Monoid, Monad, look, add, accum)
// look:  the computation yielding everything accumulated so far, appending nothing (mempty);
// add:   w -> the computation appending w, yielding ();
// accum: f -> the computation applying f to the accumulation, appending the pair's second
//        component and yielding its first.
// Native instance: AccumT over Identity. `LiftingAccum t m` is the computation of t m itself (no
// wrapper at run time) with the capability of m lifted by t's `lift`; the derived instances are
// that lifting written out per layered type (every layer but AccumT itself).
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::Accum {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;
using VUX::Internal::Base::C_Monoid_class;

VUX_CLASS(MonadAccum, (Monoid, Monad), look, add, accum);

// The defaults, each through the record's own operations: `look` through `accum` (appending one
// shared mempty), `add x` through `accum` (the pair ((), x) built once), `accum f` through `look`
// and `add` (the pair f acc matched lazily: f is applied only when a component is demanded).
Value default_look(const Value& d);
Value default_add(const Value& d, const Value& x);
Value default_accum(const Value& d, const Value& f);
// `looks g`: g applied to the accumulation (through `fmap`), appending what `look` appends.
Value looks(const Value& d, const Value& g);

// AccumT w Identity, from the Monoid record of w (not evaluated when the record is built).
Value inst_MonadAccum_AccumT(const Value& dMonoid);

// The wrapper's records: each field a suspended selection of the wrapped type's record.
Value inst_Functor_LiftingAccum(const Value& dFunctor);
Value inst_Applicative_LiftingAccum(const Value& dApplicative);
Value inst_Monad_LiftingAccum(const Value& dMonad);
// From the MonadTrans record of t, the Monad record of t m and the MonadAccum record of m.
Value inst_MonadAccum_LiftingAccum(const Value& dMonadTrans, const Value& dMonad, const Value& d);

// Derived instances, from the inner MonadAccum record (then the output's Monoid record for the
// lazy and strict WriterT and RWST).
Value inst_MonadAccum_MaybeT(const Value& d);
Value inst_MonadAccum_ContT(const Value& d);
Value inst_MonadAccum_ExceptT(const Value& d);
Value inst_MonadAccum_IdentityT(const Value& d);
Value inst_MonadAccum_ReaderT(const Value& d);
Value inst_MonadAccum_SelectT(const Value& d);
Value inst_MonadAccum_StateT_Lazy(const Value& d);
Value inst_MonadAccum_StateT_Strict(const Value& d);
Value inst_MonadAccum_WriterT_CPS(const Value& d);
Value inst_MonadAccum_WriterT_Lazy(const Value& d, const Value& dMonoid);
Value inst_MonadAccum_WriterT_Strict(const Value& d, const Value& dMonoid);
Value inst_MonadAccum_RWST_CPS(const Value& d);
Value inst_MonadAccum_RWST_Lazy(const Value& d, const Value& dMonoid);
Value inst_MonadAccum_RWST_Strict(const Value& d, const Value& dMonoid);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadAccum, tcLiftingAccum, tc_prime_LiftingAccum;

}  // namespace Control::Monad::Accum
