// Floor division on signed machine integers of 8, 16, 32 and 64 bits.
//
// The machine's division truncates toward zero. When the operands' signs differ and the dividend
// is not 0, the dividend is first moved one step toward zero (`bias`) and the truncated quotient is
// then lowered by one (`hard`); no branch depends on the operand signs. The 8-bit forms divide in
// 16 bits, so -128 / -1 gives 128 cut back to -128. At the other widths the two cases that C++
// leaves undefined raise the language's arithmetic exceptions instead.
#include "VUX/Classes.h"

#include <limits>
#include "rts/Profiling.h"

VUX_MODULE("VUX.Classes");

namespace VUX::Classes {

namespace {

// T is the operands' width, Wide the width the division is done in.
template <class T, class Wide>
struct FloorDiv {
    struct Bias {
        Wide bias;  // -1, 0 or 1
        Wide hard;  // 0 or 1
    };
    static RTS_INLINE Bias bias_of(T x, T y) {
        Wide c = (x < 0) & (y >= 0);
        Wide b = (x > 0) & (y < 0);
        return {static_cast<Wide>(c - b), static_cast<Wide>(c | b)};
    }
    static RTS_INLINE void check(T x, T y) {
        if (RTS_UNLIKELY(y == 0)) rts::raise(rts::RtsError::DivideByZero);
        if constexpr (sizeof(Wide) == sizeof(T)) {
            if (RTS_UNLIKELY(y == -1 && x == std::numeric_limits<T>::min())) rts::raise(rts::RtsError::Overflow);
        }
    }
    static RTS_INLINE T div(T x, T y) {
        check(x, y);
        Bias k = bias_of(x, y);
        // The bias is added at T's width: it moves x toward zero, so it cannot overflow.
        Wide moved = static_cast<T>(x + k.bias);
        return static_cast<T>(moved / Wide{y} - k.hard);
    }
    static RTS_INLINE T mod(T x, T y) {
        if (RTS_UNLIKELY(y == 0)) rts::raise(rts::RtsError::DivideByZero);
        if (y == -1) return 0;  // every remainder by -1 is 0 (and x % -1 may overflow in C++)
        T r = static_cast<T>(Wide{x} % Wide{y});
        if (r == 0) return 0;
        bool differ = (y < 0 && x > 0) || (y >= 0 && x < 0);
        return differ ? static_cast<T>(r + y) : r;
    }
    static RTS_INLINE std::pair<T, T> div_mod(T x, T y) {
        check(x, y);
        Bias k = bias_of(x, y);
        Wide moved = static_cast<T>(x + k.bias);
        Wide d = moved / Wide{y};
        Wide m = moved % Wide{y};
        return {static_cast<T>(d - k.hard), static_cast<T>(m + (k.hard ? Wide{y} : Wide{0}) - k.bias)};
    }
};

using Div8 = FloorDiv<int8_t, int16_t>;
using Div16 = FloorDiv<int16_t, int16_t>;
using Div32 = FloorDiv<int32_t, int32_t>;
using Div64 = FloorDiv<int64_t, int64_t>;

}  // namespace

int64_t divInt_hash(int64_t x, int64_t y) { VUX_SCC("divInt#"); return Div64::div(x, y); }
int8_t divInt8_hash(int8_t x, int8_t y) { VUX_SCC("divInt8#"); return Div8::div(x, y); }
int16_t divInt16_hash(int16_t x, int16_t y) { VUX_SCC("divInt16#"); return Div16::div(x, y); }
int32_t divInt32_hash(int32_t x, int32_t y) { VUX_SCC("divInt32#"); return Div32::div(x, y); }

int64_t modInt_hash(int64_t x, int64_t y) { VUX_SCC("modInt#"); return Div64::mod(x, y); }
int8_t modInt8_hash(int8_t x, int8_t y) { VUX_SCC("modInt8#"); return Div8::mod(x, y); }
int16_t modInt16_hash(int16_t x, int16_t y) { VUX_SCC("modInt16#"); return Div16::mod(x, y); }
int32_t modInt32_hash(int32_t x, int32_t y) { VUX_SCC("modInt32#"); return Div32::mod(x, y); }

std::pair<int64_t, int64_t> divModInt_hash(int64_t x, int64_t y) { VUX_SCC("divModInt#"); return Div64::div_mod(x, y); }
std::pair<int8_t, int8_t> divModInt8_hash(int8_t x, int8_t y) { VUX_SCC("divModInt8#"); return Div8::div_mod(x, y); }
std::pair<int16_t, int16_t> divModInt16_hash(int16_t x, int16_t y) { VUX_SCC("divModInt16#"); return Div16::div_mod(x, y); }
std::pair<int32_t, int32_t> divModInt32_hash(int32_t x, int32_t y) { VUX_SCC("divModInt32#"); return Div32::div_mod(x, y); }

}  // namespace VUX::Classes
