// A consumer of the installed vux-caps: a state lifted through an environment over StateT over IO.
#include <cstdio>

#include "Control/Monad/State/Class.h"
#include "VUX/Internal/IO.h"

using namespace VUX::Types;
namespace Base = VUX::Internal::Base;
namespace S = Control::Monad::State::Class;

int main() {
    rts::Value d =
        S::inst_MonadState_ReaderT(S::inst_MonadState_StateT_Strict(VUX::Internal::IO::inst_Monad_IO()));
    rts::Value m = Base::op_gt_gt(
        S::MonadState_Monad(d),
        S::modify_prime(d, rts::fun<1>([](const rts::Value& s) { return I_hash(intOf(rts::force(s)) + 2); })),
        S::get(d));
    rts::Value result = VUX::Internal::IO::runIO(rts::apply(rts::apply(m, I_hash(0)), I_hash(40)));
    int64_t n = intOf(rts::force(rts::field(rts::force(result), 0)));
    std::printf("consumer of vux-caps: state %lld\n", static_cast<long long>(n));
    return n == 42 ? 0 : 1;
}
