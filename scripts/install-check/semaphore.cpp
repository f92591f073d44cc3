// A consumer of the installed vux-semaphore: a named semaphore created, posted, waited on and
// removed.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "System/Semaphore.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Types.h"

namespace S = System::Semaphore;
using VUX::Internal::IO::runIO;

int main() {
    std::string name = "/vux-consumer-" + std::to_string(getpid());
    rts::Value s = runIO(S::createSemaphore(VUX::Internal::List::fromBytes(name), VUX::Types::I_hash(0)));
    runIO(S::destroySemaphore(s));
    runIO(S::releaseSemaphore(s, VUX::Types::I_hash(2)));
    runIO(S::waitOnSemaphore(s));
    int64_t left = VUX::Types::intOf(rts::force(runIO(S::getSemaphoreValue(s))));
    std::printf("consumer of vux-semaphore: %lld left\n", static_cast<long long>(left));
    return left == 1 ? 0 : 1;
}
