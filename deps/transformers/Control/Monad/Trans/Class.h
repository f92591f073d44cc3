// The class of layered computation types: `MonadTrans`.
//
//   C_MonadTrans(superclass, lift)
// superclass: a function from the Monad record of m to the Monad record of t m (the class
//             requires that t m is a monad whenever m is);
// lift:       a function of (the Monad record of m, an m computation) to the t m computation
//             that runs it.
#pragma once

#include <cstdint>

#include "VUX/Internal/Base.h"
#include "rts/rts.h"

namespace Control::Monad::Trans::Class {

using rts::Value;

inline constexpr uint8_t C_MonadTrans_tag = 0;
inline Value C_MonadTrans(Value superclass, Value lift) {
    return rts::con(C_MonadTrans_tag, std::move(superclass), std::move(lift));
}

// The superclass selector: the function from `Monad m` to `Monad (t m)`.
inline const Value& p1MonadTrans(const Value& dMonadTrans) { return rts::field(rts::force(dMonadTrans), 0); }
inline const Value& lift_sel(const Value& dMonadTrans) { return rts::field(rts::force(dMonadTrans), 1); }

// `Monad (t m)` from the MonadTrans record of t and `Monad m`.
Value monadOf(const Value& dMonadTrans, const Value& dMonad);
// `lift m`.
Value lift(const Value& dMonadTrans, const Value& dMonad, const Value& m);

// A static MonadTrans record from two plain functions `Value(const Value& dMonad)` and
// `Value(const Value& dMonad, const Value& m)`.
template <auto Superclass, auto Lift>
constexpr rts::StaticCon<2> staticMonadTransRecord() {
    return rts::StaticCon<2>(C_MonadTrans_tag, VUX::Internal::Base::static_fun_slot<Superclass>(),
                             VUX::Internal::Base::static_fun_slot<Lift>());
}

}  // namespace Control::Monad::Trans::Class
