// A consumer of the installed exceptions: bracket_ releases when its action raises.
#include <cstdio>

#include "Control/Monad/Catch.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Tuple.h"

namespace IO = VUX::Internal::IO;
namespace Ex = VUX::Internal::Exception;
namespace C = Control::Monad::Catch;

int main() {
    bool released = false;
    rts::Value release = IO::io([&released] {
        released = true;
        return VUX::Tuple::Unit();
    });
    rts::Value raise = C::throwM(C::inst_MonadThrow_IO(), Ex::inst_Exception_ErrorCall(),
                                 Ex::ErrorCall(VUX::Internal::List::fromBytes("failed")));
    rts::Value act = C::bracket_(C::inst_MonadMask_IO(), IO::returnIO(VUX::Tuple::Unit()), release, raise);
    rts::Value outcome = IO::runIO(C::try_(C::inst_MonadCatch_IO(), Ex::inst_Exception_ErrorCall(), act));
    bool caught = rts::force(outcome)->tag == 0;  // Left
    std::printf("consumer of exceptions: %s, %s\n", caught ? "caught" : "not caught",
                released ? "released" : "kept");
    return caught && released ? 0 : 1;
}
