// A second file of Fixture.Counting, linked after Fixture.Later: the module still registers once,
// from its first file, with this file's centres after those of the first.
#include "fixture_prof.h"
#include "rts/Profiling.h"

VUX_MODULE("Fixture.Counting");

namespace Fixture::Counting {

int64_t extra(int64_t n) {
    VUX_SCC("extra");
    return n + 1;
}

}  // namespace Fixture::Counting
