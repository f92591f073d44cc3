// Module Control.Monad.Except has no operations of its own; this file gives the module its registration in
// the profiling variant.
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Except");
