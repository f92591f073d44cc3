// The identity computation: `Identity a` is a plain renaming of `a`, so an `Identity` computation
// is its value itself and binding passes the value on unevaluated.
#pragma once

#include "VUX/Internal/Base.h"
#include "rts/rts.h"

namespace Data::Functor::Identity {

using rts::Value;

// The constructor and the field: both the value itself.
inline Value Identity(Value x) { return x; }
inline Value runIdentity(Value x) { return x; }

VUX_STATIC_INSTANCE(inst_Functor_Identity, VUX::Internal::Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_Identity, VUX::Internal::Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_Identity, VUX::Internal::Base::C_Monad_class);

// Equality and ordering are those of the value; the text form is "Identity " and the value at
// precedence 11, in parentheses at precedence 11 or more.
inline Value inst_Eq_Identity(const Value& dEq) { return dEq; }
inline Value inst_Ord_Identity(const Value& dOrd) { return dOrd; }
Value inst_Show_Identity(const Value& dShow);

}  // namespace Data::Functor::Identity
