// Module Control.Monad.Trans.RWS.Strict: the strict reader-writer-state transformer: each step's triple is
// evaluated before the next step runs.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/RWS/Shared.h"

namespace Control::Monad::Trans::RWS::Strict {

inline constexpr Shared::Match kMatch = Shared::Match::Strict;
#include "Control/Monad/Trans/RWS/Variant.inc"

// The Monad record of `RWST r w s m` from `Monoid w` and `Monad m`, and the MonadTrans record of
// `RWST r w s` from `Monoid w`.
inline Value inst_Monad_RWST_Strict(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(dMonoid, dMonad, kMatch);
}
inline Value inst_MonadTrans_RWST_Strict(const Value& dMonoid) {
    return Shared::monadTransRecord(dMonoid, kMatch);
}

}  // namespace Control::Monad::Trans::RWS::Strict
