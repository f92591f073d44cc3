// Computation types that can run IO actions: `MonadIO`.
//
//   C_MonadIO(Monad record of m, liftIO)
// liftIO: a function from an IO action to the m computation that runs it.
#pragma once

#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Control::Monad::IO::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadIO, (Monad), liftIO);

// `liftIO act`.
Value liftIO(const Value& dMonadIO, const Value& act);

// IO itself: liftIO is the identity.
VUX_STATIC_INSTANCE(inst_MonadIO_IO, C_MonadIO_class);
// Any layered type t over a MonadIO m: the Monad record of t m (from the MonadTrans record of t,
// suspended) and liftIO = lift . liftIO.
Value inst_MonadIO_Lifted(const Value& dMonadTrans, const Value& dMonadIO);

}  // namespace Control::Monad::IO::Class
