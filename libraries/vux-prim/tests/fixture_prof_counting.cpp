// Fixture.Counting: annotated functions and one annotated constant. The report test names the
// source lines of the annotations in `countdown` and `twice`.
#include <stdexcept>

#include "fixture_prof.h"
#include "rts/Profiling.h"

VUX_MODULE("Fixture.Counting");

namespace Fixture::Counting {

using namespace VUX::Types;

Value countdown(int64_t n) {
    VUX_SCC("countdown");
    Value xs = Nil();
    for (int64_t i = 1; i <= n; ++i) xs = Cons(I_hash(i), std::move(xs));
    return xs;
}

Value twice(int64_t n) {
    VUX_SCC("twice");
    return rts::con(0, countdown(n), countdown(n));
}

std::vector<std::string> probe() {
    VUX_SCC("probe");
#ifdef VUX_PROFILING
    return rts::prof::stack_labels(rts::prof::current_stack());
#else
    return {};
#endif
}

int64_t depth(int64_t n) {
    VUX_FUNCTION;
    return n == 0 ? 0 : 1 + depth(n - 1);
}

void fails() {
    VUX_SCC("fails");
    throw std::runtime_error("fails");
}

// [7, 2, 1]: one cell and one box here, the rest in countdown.
RTS_CONSTANT(table) {
    VUX_CAF("table");
    return Cons(I_hash(7), countdown(2));
}

int64_t useTable() {
    VUX_SCC("useTable");
    return intOf(rts::force(rts::field(table.get(), 0)));
}

}  // namespace Fixture::Counting
