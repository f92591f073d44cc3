// The `WithDict` hook: a one-operation class without required interfaces, so its record is the
// operation itself and selecting the operation returns the record.
#pragma once

#include "rts/rts.h"

namespace VUX::Magic::Dict {

using rts::Value;

inline Value withDict(Value dict) { return dict; }

extern const rts::StaticFun withDict_closure;

}  // namespace VUX::Magic::Dict
