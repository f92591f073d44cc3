// The memory GMP allocates for itself. Results live in the runtime's byte arrays, but GMP takes
// scratch space of its own inside a large multiplication or division; by default a failed
// allocation there aborts the process. These functions take the same memory from malloc and,
// when none is left, raise the runtime's catchable heap-overflow exception instead, which unwinds
// out of the GMP call (its frames are plain C with unwind tables; the scratch blocks that call had
// taken before are lost). They are installed when the library is loaded, for the whole process.
#include <gmp.h>

#include <cstdlib>

#include "rts/rts.h"

namespace {

void* allocate(size_t size) {
    void* p = std::malloc(size);
    if (p == nullptr) rts::raise(rts::RtsError::HeapOverflow);
    return p;
}

void* reallocate(void* old, size_t, size_t size) {
    void* p = std::realloc(old, size);
    if (p == nullptr && size != 0) rts::raise(rts::RtsError::HeapOverflow);
    return p;
}

void release(void* p, size_t) { std::free(p); }

[[maybe_unused]] const bool installed = [] {
    mp_set_memory_functions(&allocate, &reallocate, &release);
    return true;
}();

}  // namespace
