// Module Control.Monad.Trans.RWS.Lazy: the lazy reader-writer-state transformer: triples and pairs are
// matched irrefutably.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/RWS/Shared.h"

namespace Control::Monad::Trans::RWS::Lazy {

inline constexpr Shared::Match kMatch = Shared::Match::Lazy;
#include "Control/Monad/Trans/RWS/Variant.inc"

// The Monad record of `RWST r w s m` from `Monoid w` and `Monad m`, and the MonadTrans record of
// `RWST r w s` from `Monoid w`.
inline Value inst_Monad_RWST_Lazy(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(dMonoid, dMonad, kMatch);
}
inline Value inst_MonadTrans_RWST_Lazy(const Value& dMonoid) {
    return Shared::monadTransRecord(dMonoid, kMatch);
}

}  // namespace Control::Monad::Trans::RWS::Lazy
