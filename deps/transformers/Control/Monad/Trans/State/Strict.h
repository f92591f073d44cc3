// Module Control.Monad.Trans.State.Strict: the strict state transformer: `>>=` evaluates the pair of each
// step before the next step runs.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/State/Shared.h"

namespace Control::Monad::Trans::State::Strict {

inline constexpr Shared::Match kMatch = Shared::Match::Strict;
#include "Control/Monad/Trans/State/Variant.inc"

// The Monad record of `StateT s m` from `Monad m` (its Applicative and Functor records inside),
// and the MonadTrans record.
inline Value inst_Monad_StateT_Strict(const Value& dMonad) { return Shared::monadRecord(dMonad, kMatch); }
VUX_STATIC_INSTANCE(inst_MonadTrans_StateT_Strict, Class::C_MonadTrans_class);

}  // namespace Control::Monad::Trans::State::Strict
