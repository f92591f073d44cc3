// Module Control.Monad.State.Class: the state capability `MonadState`.
//
//   C_MonadState(Monad, get, put, state)
// get:   the computation yielding the current state;
// put:   s -> the computation making s the current state, yielding ();
// state: f -> the computation applying f to the current state, making the pair's second component
//        the new state and yielding its first.
// Native instances: StateT (lazy, strict) and RWST (CPS, lazy, strict); every other layered type
// lifts the capability of its inner type (a function of the inner record, which it leaves alone
// until a field is used).
#pragma once

#include "Control/Monad/Lifting.h"
#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "VUX/Types.h"

namespace Control::Monad::State::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadState, (Monad), get, put, state);

// The defaults: `get` and `put` through `state`, `state` through `get` and `put`.
Value default_get(const Value& d);
Value default_put(const Value& d, const Value& s);
Value default_state(const Value& d, const Value& f);

// `modify f` (the new state f s suspended), `modify' f` (f s evaluated when the current state
// reaches it, before the new state is put), `gets f` (f s suspended).
Value modify(const Value& d, const Value& f);
Value modify_prime(const Value& d, const Value& f);
Value gets(const Value& d, const Value& f);

// Native instances, from the inner `Monad` record (and the output's `Monoid` record for RWST,
// which the CPS variant takes without using).
Value inst_MonadState_StateT_Lazy(const Value& dMonad);
Value inst_MonadState_StateT_Strict(const Value& dMonad);
Value inst_MonadState_RWST_CPS(const Value& dMonad, const Value& dMonoid);
Value inst_MonadState_RWST_Lazy(const Value& dMonad, const Value& dMonoid);
Value inst_MonadState_RWST_Strict(const Value& dMonad, const Value& dMonoid);

// Lifting instances, from the inner `MonadState` record (after the output or accumulation
// `Monoid` record for WriterT and AccumT; the CPS writer takes it without using it).
Value inst_MonadState_ContT(const Value& d);
Value inst_MonadState_ExceptT(const Value& d);
Value inst_MonadState_IdentityT(const Value& d);
Value inst_MonadState_MaybeT(const Value& d);
Value inst_MonadState_ReaderT(const Value& d);
Value inst_MonadState_SelectT(const Value& d);
Value inst_MonadState_WriterT_CPS(const Value& dMonoid, const Value& d);
Value inst_MonadState_WriterT_Lazy(const Value& dMonoid, const Value& d);
Value inst_MonadState_WriterT_Strict(const Value& dMonoid, const Value& d);
Value inst_MonadState_AccumT(const Value& dMonoid, const Value& d);

// The lifting record of any layer over the inner record d (what the instances above are).
Value liftedMonadState(Lifting::Layer layer, const Value& dMonoid, const Value& d);

// Type representations.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcMonadState;

}  // namespace Control::Monad::State::Class
