// Runtime operations exposed to compiled code.
#pragma once

#include <cstdint>

namespace VUX::Prim::Ext {

// The calling thread's allocation counter (the runtime's): it goes down by the bytes the thread
// allocates.
int64_t getThreadAllocationCounter_hash();

}  // namespace VUX::Prim::Ext
