// Module Control.Monad.State.Strict has no operations of its own; this file gives the module its registration
// in the profiling variant.
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.State.Strict");
