// Every comparison is inline in the header; this unit keeps the module's place in the library.
#include "VUX/Prim/PtrEq.h"
