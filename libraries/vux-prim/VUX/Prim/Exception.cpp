#include "VUX/Prim/Exception.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Prim.Exception");

namespace VUX::Prim::Exception {

RTS_CONSTANT(raiseOverflow) { VUX_CAF("raiseOverflow"); rts::raise(rts::RtsError::Overflow); }
RTS_CONSTANT(raiseUnderflow) { VUX_CAF("raiseUnderflow"); rts::raise(rts::RtsError::Underflow); }
RTS_CONSTANT(raiseDivZero) { VUX_CAF("raiseDivZero"); rts::raise(rts::RtsError::DivideByZero); }

}  // namespace VUX::Prim::Exception
