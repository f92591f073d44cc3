// Module Control.Monad.Trans.State.Lazy: the lazy state transformer: `>>=` matches the pair of each step
// irrefutably, so a computation may use parts of its own later results.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/State/Shared.h"

namespace Control::Monad::Trans::State::Lazy {

inline constexpr Shared::Match kMatch = Shared::Match::Lazy;
#include "Control/Monad/Trans/State/Variant.inc"

// The Monad record of `StateT s m` from `Monad m` (its Applicative and Functor records inside),
// and the MonadTrans record.
inline Value inst_Monad_StateT_Lazy(const Value& dMonad) { return Shared::monadRecord(dMonad, kMatch); }
VUX_STATIC_INSTANCE(inst_MonadTrans_StateT_Lazy, Class::C_MonadTrans_class);

}  // namespace Control::Monad::Trans::State::Lazy
