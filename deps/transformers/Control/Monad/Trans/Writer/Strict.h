// Module Control.Monad.Trans.Writer.Strict: the strict writer transformer. The operations shared with
// the other variant are in Writer/Shared.h.
#pragma once

#include "Control/Monad/Trans/Writer/Shared.h"

namespace Control::Monad::Trans::Writer::Strict {

using rts::Value;
using Shared::WriterT, Shared::runWriterT, Shared::writer, Shared::tell, Shared::mapWriterT,
    Shared::runWriter, Shared::execWriter;

// The Monad record of `WriterT w m` from `Monoid w` and `Monad m`, and the MonadTrans record of
// `WriterT w` from `Monoid w`.
Value inst_Monad_WriterT_Strict(const Value& dMonoid, const Value& dMonad);
Value inst_MonadTrans_WriterT_Strict(const Value& dMonoid);

Value listen(const Value& dMonad, const Value& m);
Value listens(const Value& dMonad, const Value& f, const Value& m);
Value pass(const Value& dMonad, const Value& m);
Value censor(const Value& dMonad, const Value& f, const Value& m);
Value execWriterT(const Value& dMonad, const Value& m);

}  // namespace Control::Monad::Trans::Writer::Strict
