// A consumer of the installed transformers: a reader over Identity asks for its environment.
#include <cstdio>

#include "Control/Monad/Trans/Reader.h"
#include "Data/Functor/Identity.h"
#include "VUX/Types.h"

namespace R = Control::Monad::Trans::Reader;

int main() {
    rts::Value twice = rts::fun<1>(
        [](const rts::Value& r) { return VUX::Types::I_hash(2 * VUX::Types::intOf(rts::force(r))); });
    rts::Value m = R::reader(Data::Functor::Identity::inst_Monad_Identity(), twice);
    int64_t got = VUX::Types::intOf(rts::force(R::runReader(m, VUX::Types::I_hash(21))));
    std::printf("consumer of transformers: %lld\n", static_cast<long long>(got));
    return got == 42 ? 0 : 1;
}
