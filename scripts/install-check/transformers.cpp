// A consumer of the installed transformers: a StateT counter over IO.
#include <cstdio>

#include "Control/Monad/Trans/State/Strict.h"
#include "VUX/Internal/IO.h"

using namespace VUX::Types;
namespace Base = VUX::Internal::Base;
namespace S = Control::Monad::Trans::State::Strict;

int main() {
    rts::Value io = VUX::Internal::IO::inst_Monad_IO();
    rts::Value d = S::inst_Monad_StateT_Strict(io);
    rts::Value step =
        S::modify(io, rts::fun<1>([](const rts::Value& s) { return I_hash(intOf(rts::force(s)) + 1); }));
    rts::Value m = Base::op_gt_gt(d, step, Base::op_gt_gt(d, step, S::get(io)));
    rts::Value result = VUX::Internal::IO::runIO(S::runStateT(m, I_hash(40)));
    int64_t n = intOf(rts::force(rts::field(rts::force(result), 0)));
    std::printf("consumer of transformers: state %lld\n", static_cast<long long>(n));
    return n == 42 ? 0 : 1;
}
