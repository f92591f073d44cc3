// `Either`: Left a | Right b, with its class instances.
#pragma once

#include <cstdint>

#include "VUX/Internal/Base.h"
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
VUX_STATIC_INSTANCE(inst_Functor_Either, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_Either, VUX::Internal::Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_Either, VUX::Internal::Base::C_Monad_class);
VUX_STATIC_INSTANCE(inst_Semigroup_Either, VUX::Internal::Base::C_Semigroup_class);

}  // namespace Data::Either
