// The arithmetic exceptions that compiled code raises: top-level constants whose evaluation raises
// the runtime's overflow, underflow or division-by-zero exception in the evaluating thread. Like
// any constant that fails, each keeps its exception and raises it again on every later demand.
#pragma once

#include "rts/rts.h"

namespace VUX::Prim::Exception {

extern rts::Constant raiseOverflow;
extern rts::Constant raiseUnderflow;
extern rts::Constant raiseDivZero;

}  // namespace VUX::Prim::Exception
