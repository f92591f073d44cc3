#include "VUX/Prim/Ext.h"

#include "rts/Threads.h"

namespace VUX::Prim::Ext {

int64_t getThreadAllocationCounter_hash() { return rts::getThreadAllocationCounter_hash(); }

}  // namespace VUX::Prim::Ext
