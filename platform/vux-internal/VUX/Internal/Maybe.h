// `Maybe`: Nothing | Just a, with its class instances.
#pragma once

#include <cstdint>

#include "VUX/Internal/Base.h"
#include "rts/rts.h"

namespace VUX::Internal::Maybe {

using rts::Value;

inline constexpr uint8_t Nothing_tag = 0;
inline constexpr uint8_t Just_tag = 1;
extern const rts::StaticNullary Nothing_closure;
inline Value Nothing() { return Nothing_closure.value(); }
inline Value Just(Value x) { return rts::con(Just_tag, std::move(x)); }

// `maybe n f m`, `fromMaybe d m`, `isJust`, `isNothing`.
Value maybe(Value n, const Value& f, const Value& m);
Value fromMaybe(Value d, const Value& m);
bool isJust(const Value& m);
inline bool isNothing(const Value& m) { return !isJust(m); }

// Instances (static records; Semigroup and Monoid take the element's Semigroup record).
VUX_STATIC_INSTANCE(inst_Functor_Maybe, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_Maybe, VUX::Internal::Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_Maybe, VUX::Internal::Base::C_Monad_class);
Value inst_Semigroup_Maybe(Value dSemigroup);
Value inst_Monoid_Maybe(Value dSemigroup);

}  // namespace VUX::Internal::Maybe
