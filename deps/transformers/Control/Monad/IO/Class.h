// Computation types that can run IO actions: `MonadIO`.
//
//   C_MonadIO(Monad record of m, liftIO)
// liftIO: a function from an IO action to the m computation that runs it.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace Control::Monad::IO::Class {

using rts::Value;

inline constexpr uint8_t C_MonadIO_tag = 0;
inline Value C_MonadIO(Value dMonad, Value liftIO) {
    return rts::con(C_MonadIO_tag, std::move(dMonad), std::move(liftIO));
}

inline const Value& p1MonadIO(const Value& dMonadIO) { return rts::field(rts::force(dMonadIO), 0); }
inline const Value& liftIO_sel(const Value& dMonadIO) { return rts::field(rts::force(dMonadIO), 1); }
// `liftIO act`.
Value liftIO(const Value& dMonadIO, const Value& act);

// IO itself: liftIO is the identity.
extern const rts::StaticCon<2> inst_MonadIO_IO;
// Any layered type t over a MonadIO m: the Monad record of t m (from the MonadTrans record of t,
// suspended) and liftIO = lift . liftIO.
Value inst_MonadIO_Lifted(Value dMonadTrans, Value dMonadIO);

}  // namespace Control::Monad::IO::Class
