// Module Prelude.Experimental only re-exports definitions of other modules and has no code of its own; this file
// gives the module its registration in the profiling variant.
#include "rts/Profiling.h"

VUX_MODULE("Prelude.Experimental");
