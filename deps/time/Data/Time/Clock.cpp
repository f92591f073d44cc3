#include "Data/Time/Clock.h"

#include <time.h>

#include "Data/Time/Calendar.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Num/Integer.h"

namespace Data::Time::Clock {

using namespace VUX::Num::Integer;

namespace {
constexpr int64_t kUnixEpochDay = 40587;  // 1970-01-01

Value currentTime(const Value&) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    int64_t days = now.tv_sec / 86400, seconds = now.tv_sec % 86400;
    if (seconds < 0) seconds += 86400, --days;
    return utcTime(kUnixEpochDay + days, seconds * kPicosecondsPerSecond + int64_t{now.tv_nsec} * 1000);
}
}  // namespace

Value UTCTime(Value day, Value dayTime) { return rts::con(UTCTime_tag, std::move(day), std::move(dayTime)); }
Value utcTime(int64_t day, int64_t picoseconds) { return UTCTime(IS(day), IS(picoseconds)); }
Value utctDay(const Value& t) { return rts::field(rts::force(t), 0); }
Value utctDayTime(const Value& t) { return rts::field(rts::force(t), 1); }

Value secondsToDiffTime(const Value& seconds) { return integerMul(seconds, IS(kPicosecondsPerSecond)); }
Value picosecondsToDiffTime(const Value& picoseconds) { return Value(rts::force(picoseconds)); }

constinit const rts::StaticFun getCurrentTime_closure{rts::static_fun_info<&currentTime>};

int compareUTCTime(const Value& a, const Value& b) {
    const Value& x = rts::force(a);
    const Value& y = rts::force(b);
    if (int c = fast::cmp(rts::field(x, 0), rts::field(y, 0)); c != 0) return c;
    return fast::cmp(rts::field(x, 1), rts::field(y, 1));
}

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_UTCTime_closure =
    VUX::Internal::OrdRecord::eqRecord<&compareUTCTime>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_UTCTime_closure =
    VUX::Internal::OrdRecord::ordRecord<&inst_Eq_UTCTime_closure, &compareUTCTime>();

}  // namespace Data::Time::Clock
