// Module Text.PrettyPrint: the plain document library under its short name. It has no code of its
// own (see the header); this file gives the module its registration in the profiling variant.
#include "Text/PrettyPrint.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint");
