// The class of layered computation types: `MonadTrans`.
//
//   C_MonadTrans(Monad, lift)
// Monad: the superclass field, a function from the Monad record of m to the Monad record of t m
//        (the class requires that t m is a monad whenever m is);
// lift:  a function of (the Monad record of m, an m computation) to the t m computation that
//        runs it.
#pragma once

#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Class {

using rts::Value;
using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadTrans, (Monad), lift);

// `Monad (t m)` from the MonadTrans record of t and `Monad m`.
Value monadOf(const Value& dMonadTrans, const Value& dMonad);
// `lift m`.
Value lift(const Value& dMonadTrans, const Value& dMonad, const Value& m);

}  // namespace Control::Monad::Trans::Class
