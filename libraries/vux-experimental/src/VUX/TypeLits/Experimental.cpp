#include "VUX/TypeLits/Experimental.h"

#include "VUX/Internal/Char.h"
#include "VUX/Internal/List.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.TypeLits.Experimental");

namespace VUX::TypeLits::Experimental {

Value appendSSymbol(Value a, Value b) {
    VUX_FUNCTION;
    return VUX::Internal::List::op_plus_plus(std::move(a), std::move(b));
}

Value consSSymbol(Value c, Value s) {
    VUX_FUNCTION;
    return VUX::Types::Cons(std::move(c), std::move(s));
}

Value sCharToSNat(Value c) {
    VUX_FUNCTION;
    return rts::delay([c = std::move(c)] {
        uint32_t code = VUX::Types::charOf(rts::force(c));
        return VUX::Num::Integer::integerToNatural(VUX::Num::Integer::integerFromInt_hash(code));
    });
}

Value sNatToSChar(const Value&, Value n) {
    VUX_FUNCTION;
    return rts::delay([n = std::move(n)] {
        namespace I = VUX::Num::Integer;
        int64_t code = I::integerToInt_hash(I::integerFromNatural(n));
        return VUX::Internal::Char::chr(code);
    });
}

}  // namespace VUX::TypeLits::Experimental
