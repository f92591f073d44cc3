// Every comparison is inline in the header; this unit keeps the module's place in the library.
#include "VUX/Prim/PtrEq.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Prim.PtrEq");
