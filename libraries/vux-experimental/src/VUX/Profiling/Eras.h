// The profiler's user era: one process-wide word that the runtime keeps for profiling heap objects
// by era. Each operation is an action that passes its word to the runtime entry point of the same
// name, or its result back, as a safe foreign call: the calling thread is released from the
// runtime for the call, which no asynchronous exception interrupts. The runtime alone decides how
// concurrent updates combine.
#pragma once

#include "rts/rts.h"

namespace VUX::Profiling::Eras {

using rts::Value;

// `setUserEra w`: forces the Word w and makes it the user era; yields ().
Value setUserEra(Value w);
// `getUserEra`: yields the user era as a Word.
extern const rts::StaticFun getUserEra_closure;
inline Value getUserEra() { return getUserEra_closure.value(); }
// `incrementUserEra w`: forces the Word w, advances the user era by it and yields the runtime's
// answer (the new era) as a Word.
Value incrementUserEra(Value w);

}  // namespace VUX::Profiling::Eras
