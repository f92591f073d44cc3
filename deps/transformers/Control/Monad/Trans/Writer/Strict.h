// Module Control.Monad.Trans.Writer.Strict: the strict writer transformer: each step's pair is evaluated
// before the next step runs.
#pragma once

#include "Control/Monad/Trans/Class.h"
#include "Control/Monad/Trans/Writer/Shared.h"

namespace Control::Monad::Trans::Writer::Strict {

inline constexpr Shared::Match kMatch = Shared::Match::Strict;
#include "Control/Monad/Trans/Writer/Variant.inc"

// The Monad record of `WriterT w m` from `Monoid w` and `Monad m`, and the MonadTrans record of
// `WriterT w` from `Monoid w`.
inline Value inst_Monad_WriterT_Strict(const Value& dMonoid, const Value& dMonad) {
    return Shared::monadRecord(dMonoid, dMonad, kMatch);
}
inline Value inst_MonadTrans_WriterT_Strict(const Value& dMonoid) {
    return Shared::monadTransRecord(dMonoid, kMatch);
}

}  // namespace Control::Monad::Trans::Writer::Strict
