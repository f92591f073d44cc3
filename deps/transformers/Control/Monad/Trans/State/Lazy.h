// Module Control.Monad.Trans.State.Lazy: the lazy state transformer. `>>=` matches the pair of each step
// irrefutably, so a computation may use parts of its own later results. The operations shared with the other
// variant are in State/Shared.h.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/State/Shared.h"

namespace Control::Monad::Trans::State::Lazy {

using rts::Value;
using Shared::runStateT, Shared::StateT, Shared::state, Shared::get, Shared::put, Shared::modify,
    Shared::modify_prime, Shared::gets, Shared::mapStateT, Shared::withStateT, Shared::runState,
    Shared::evalState, Shared::execState;

// The Monad record of `StateT s m` from `Monad m` (its Applicative and Functor records inside).
Value inst_Monad_StateT_Lazy(const Value& dMonad);
VUX_STATIC_INSTANCE(inst_MonadTrans_StateT_Lazy, Class::C_MonadTrans_class);

Value evalStateT(const Value& dMonad, const Value& m, const Value& s);
Value execStateT(const Value& dMonad, const Value& m, const Value& s);

}  // namespace Control::Monad::Trans::State::Lazy
