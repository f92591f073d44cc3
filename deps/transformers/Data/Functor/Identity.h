// The identity computation: `Identity a` is a plain renaming of `a`, so an `Identity` computation
// is its value itself and binding passes the value on unevaluated.
#pragma once

#include "rts/rts.h"

namespace Data::Functor::Identity {

using rts::Value;

// The constructor and the field: both the value itself.
inline Value Identity(Value x) { return x; }
inline Value runIdentity(Value x) { return x; }

extern const rts::StaticCon<2> inst_Functor_Identity;
extern const rts::StaticCon<6> inst_Applicative_Identity;
extern const rts::StaticCon<4> inst_Monad_Identity;

// Equality and ordering are those of the value; the text form is "Identity " and the value at
// precedence 11, in parentheses at precedence 11 or more.
inline Value inst_Eq_Identity(Value dEq) { return dEq; }
inline Value inst_Ord_Identity(Value dOrd) { return dOrd; }
Value inst_Show_Identity(Value dShow);

}  // namespace Data::Functor::Identity
