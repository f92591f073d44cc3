#include "VUX/Prim/Exception.h"

namespace VUX::Prim::Exception {

RTS_CONSTANT(raiseOverflow) { rts::raise(rts::RtsError::Overflow); }
RTS_CONSTANT(raiseUnderflow) { rts::raise(rts::RtsError::Underflow); }
RTS_CONSTANT(raiseDivZero) { rts::raise(rts::RtsError::DivideByZero); }

}  // namespace VUX::Prim::Exception
