// Fixture.Later: registered after the modules linked before it.
#include "fixture_prof.h"
#include "rts/Profiling.h"

VUX_MODULE("Fixture.Later");

namespace Fixture::Later {

Value delegate(int64_t n) {
    VUX_SCC("delegate");
    return Counting::countdown(n);
}

}  // namespace Fixture::Later
