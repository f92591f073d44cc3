// A consumer of the installed vux-compact: a list compacted, exported as byte strings and
// imported again.
#include <cstdio>
#include <string>

#include "Data/ByteString.h"
#include "VUX/Compact.h"
#include "VUX/Compact/Serialized.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace C = VUX::Compact;
namespace S = VUX::Compact::Serialized;
using rts::Value;
using VUX::Internal::IO::runIO;

int main() {
    Value list = VUX::Types::Cons(VUX::Types::I_hash(42), VUX::Types::Nil());
    Value c = runIO(C::compact(list));
    Value imported;
    runIO(S::withSerializedCompact(
        c, rts::fun<1>([&imported](const Value& record) {
            return VUX::Internal::IO::io([&imported, record] {
                const Value& pair =
                    rts::force(rts::field(rts::force(S::serializedCompactBlockList(record)), 0));
                const char* p = reinterpret_cast<const char*>(S::addressOf(rts::field(pair, 0)));
                Value bs = Data::ByteString::fromBytes(
                    std::string(p, rts::word(rts::force(rts::field(pair, 1)), 0)));
                imported =
                    runIO(S::importCompactByteStrings(record, VUX::Types::Cons(bs, VUX::Types::Nil())));
                return VUX::Tuple::Unit();
            });
        })));
    const Value& m = rts::force(imported);
    if (m->tag != VUX::Internal::Maybe::Just_tag) return 1;
    const Value& root = C::getCompact(rts::field(m, 0));
    std::printf("consumer of vux-compact: %lld\n",
                static_cast<long long>(rts::int_word(rts::force(rts::field(root, 0)), 0)));
    return 0;
}
