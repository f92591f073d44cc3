// `Data.String`: the class of types with a value for every string literal.
//
//   class IsString a where fromString :: String -> a
//
// A class of one operation and no required class: its record is `fromString` itself, a function
// from a character list to the type's value.
#pragma once

#include "VUX/Internal/List.h"
#include "rts/rts.h"

namespace Data::String {

using rts::Value;

// `fromString`: applies the record (the operation) to the string.
inline Value fromString(const Value& dIsString, const Value& s) { return rts::apply(dIsString, s); }

// String itself: fromString is the identity, the list is returned as it was (not copied, not
// evaluated).
extern const rts::StaticFun inst_IsString_List;

// The string functions this module also offers.
using VUX::Internal::List::lines;
using VUX::Internal::List::unlines;

}  // namespace Data::String
