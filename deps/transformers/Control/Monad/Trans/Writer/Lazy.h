// Module Control.Monad.Trans.Writer.Lazy: the lazy writer transformer: pairs are matched irrefutably.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Writer/Shared.h"

namespace Control::Monad::Trans::Writer::Lazy {

inline constexpr Shared::Match kMatch = Shared::Match::Lazy;
#include "Control/Monad/Trans/Writer/Variant.inc"

// The Monad record of `WriterT w m` from `Monoid w` and `Monad m`, and the MonadTrans record of
// `WriterT w` from `Monoid w`.
inline Value inst_Monad_WriterT_Lazy(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(dMonoid, dMonad, kMatch);
}
inline Value inst_MonadTrans_WriterT_Lazy(const Value& dMonoid) {
    return Shared::monadTransRecord(dMonoid, kMatch);
}

}  // namespace Control::Monad::Trans::Writer::Lazy
