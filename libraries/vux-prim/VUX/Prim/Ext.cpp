#include "VUX/Prim/Ext.h"

#include "rts/Threads.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Prim.Ext");

namespace VUX::Prim::Ext {

int64_t getThreadAllocationCounter_hash() { VUX_SCC("getThreadAllocationCounter#"); return rts::getThreadAllocationCounter_hash(); }

}  // namespace VUX::Prim::Ext
