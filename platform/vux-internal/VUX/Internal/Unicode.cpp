#include "VUX/Internal/Unicode.h"

#include <algorithm>
#include <iterator>

#include "VUX/Internal/List.h"
#include "VUX/Types.h"

namespace VUX::Internal::Unicode {

namespace {
struct Run {
    uint32_t first, last;
    int32_t delta;
    uint32_t stride;
};
constexpr Run kLowerRuns[] = {
#include "VUX/Internal/UnicodeTables.inc"
};
static_assert(std::size(kLowerRuns) < 1024, "the table stays compact");
}  // namespace

uint32_t toSimpleLowerCase(uint32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    // The last run starting at or before c.
    const Run* it = std::upper_bound(std::begin(kLowerRuns), std::end(kLowerRuns), c,
                                     [](uint32_t x, const Run& r) { return x < r.first; });
    if (it == std::begin(kLowerRuns)) return c;
    const Run& r = *(it - 1);
    if (c > r.last || (c - r.first) % r.stride != 0) return c;
    return static_cast<uint32_t>(static_cast<int64_t>(c) + r.delta);
}

rts::Value toSimpleLowerCase(const rts::Value& c) {
    return List::boxChar(toSimpleLowerCase(VUX::Types::charOf(rts::force(c))));
}

}  // namespace VUX::Internal::Unicode
