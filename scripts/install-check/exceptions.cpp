// A consumer of the installed exceptions: an error thrown in IO and caught by type.
#include <cstdio>

#include "Control/Monad/Catch.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"

namespace C = Control::Monad::Catch;
namespace E = VUX::Internal::Exception;

int main() {
    rts::Value thrown = C::throwM(C::inst_MonadThrow_IO(), E::inst_Exception_ErrorCall(),
                                  E::ErrorCall(VUX::Internal::List::fromBytes("boom")));
    rts::Value handler =
        rts::fun<1>([](const rts::Value&) { return VUX::Internal::IO::returnIO(VUX::Types::I_hash(1)); });
    rts::Value caught = C::catch_(C::inst_MonadCatch_IO(), E::inst_Exception_ErrorCall(), thrown, handler);
    int64_t got = VUX::Types::intOf(rts::force(VUX::Internal::IO::runIO(caught)));
    std::printf("consumer of exceptions: handler gave %lld\n", static_cast<long long>(got));
    return got == 1 ? 0 : 1;
}
