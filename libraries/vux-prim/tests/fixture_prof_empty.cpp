// Fixture.Empty: a module without code, which still registers.
#include "rts/Profiling.h"

VUX_MODULE("Fixture.Empty");
