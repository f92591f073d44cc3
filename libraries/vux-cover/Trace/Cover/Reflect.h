// Module Trace.Cover.Reflect: the coverage counters of the running program, seen as a Tix.
//
// The runtime's list of module records (rts/Cover.h) is walked once, on first use, and cached
// for the run: records registered later are not seen. Modules keep the runtime's order.
#pragma once

#include "rts/rts.h"

namespace Trace::Cover::Reflect {

using rts::Value;

// `examineTix`: an action giving the Tix of all counters, read while it runs.
Value examineTix();
// `clearTix`: an action setting every counter to 0.
Value clearTix();
// `updateTix tix`: an action storing the counts of the Tix (modulo 2^64) into the counters. The Tix
// must hold the runtime's modules in order, each with the same name, tick count and hash and as
// many counts as ticks; all modules are checked, and every count evaluated, before any counter is
// written, so a mismatch ("updateTix failed") leaves every counter unchanged.
Value updateTix(Value tix);

}  // namespace Trace::Cover::Reflect
