#include "VUX/Profiling/Eras.h"

#include <type_traits>

#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"
#include "rts/Threads.h"

VUX_MODULE("VUX.Profiling.Eras");

namespace VUX::Profiling::Eras {

using VUX::Internal::IO::io;
using VUX::Types::W_hash;
using VUX::Types::wordOf;

namespace {

// Runs `call` as a safe, non-interruptible foreign call: the thread leaves the runtime for it and
// comes back after it.
template <class F>
auto safeCall(F&& call) {
    void* token = suspendThread(nullptr, false);
    if constexpr (std::is_void_v<decltype(call())>) {
        call();
        resumeThread(token);
    } else {
        auto result = call();
        resumeThread(token);
        return result;
    }
}

Value getUserEraAction(const Value&) {
    VUX_SCC("getUserEra");
    return W_hash(safeCall([] { return ::getUserEra(); }));
}

}  // namespace

constinit const rts::StaticFun getUserEra_closure{rts::static_fun_info<&getUserEraAction>};

Value setUserEra(Value w) {
    return io([w = std::move(w)] {
        VUX_SCC("setUserEra");
        uint64_t era = wordOf(rts::force(w));
        safeCall([era] { ::setUserEra(era); });
        return VUX::Tuple::Unit();
    });
}

Value incrementUserEra(Value w) {
    return io([w = std::move(w)] {
        VUX_SCC("incrementUserEra");
        uint64_t by = wordOf(rts::force(w));
        return W_hash(safeCall([by] { return ::incrementUserEra(by); }));
    });
}

}  // namespace VUX::Profiling::Eras
