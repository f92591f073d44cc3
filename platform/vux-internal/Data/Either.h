// `Either`: Left a | Right b, with its class instances.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace Data::Either {

using rts::Value;

inline constexpr uint8_t Left_tag = 0;
inline constexpr uint8_t Right_tag = 1;
inline Value Left(Value x) { return rts::con(Left_tag, std::move(x)); }
inline Value Right(Value x) { return rts::con(Right_tag, std::move(x)); }

// `either f g e`.
Value either(const Value& f, const Value& g, const Value& e);

// Instances for `Either e` (static: they need nothing of e). The Semigroup keeps the first Right.
extern const rts::StaticCon<2> inst_Functor_Either;
extern const rts::StaticCon<6> inst_Applicative_Either;
extern const rts::StaticCon<4> inst_Monad_Either;
extern const rts::StaticCon<3> inst_Semigroup_Either;

}  // namespace Data::Either
