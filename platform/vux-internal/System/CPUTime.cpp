#include "System/CPUTime.h"

#include <sys/times.h>
#include <time.h>
#include <unistd.h>

#include "VUX/Internal/IOError.h"
#include "VUX/Num/Integer.h"
#include "VUX/Types.h"

namespace System::CPUTime {

namespace Integer = VUX::Num::Integer;

namespace {
constexpr int64_t kPicosPerSecond = 1000000000000;

Value cpuTime(const Value&) {
    timespec t;
    if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0) VUX::Internal::IOError::throwErrno("getCPUTime");
    Value seconds = Integer::integerMul(Integer::IS(t.tv_sec), Integer::IS(kPicosPerSecond));
    return Integer::integerAdd(seconds, Integer::IS(static_cast<int64_t>(t.tv_nsec) * 1000));
}

Value processTimes(const Value&) {
    struct tms t;
    clock_t elapsed = ::times(&t);
    if (elapsed == static_cast<clock_t>(-1)) VUX::Internal::IOError::throwErrno("getProcessTimes");
    using VUX::Types::I_hash;
    return rts::con(ProcessTimes_tag, I_hash(elapsed), I_hash(t.tms_utime), I_hash(t.tms_stime),
                    I_hash(t.tms_cutime), I_hash(t.tms_cstime));
}
}  // namespace

constinit const rts::StaticFun getCPUTime_closure{rts::static_fun_info<&cpuTime>};
constinit const rts::StaticFun getProcessTimes_closure{rts::static_fun_info<&processTimes>};

RTS_CONSTANT(precision) {
    timespec r;
    int64_t picos = 1000;
    if (::clock_getres(CLOCK_PROCESS_CPUTIME_ID, &r) == 0)
        picos = r.tv_sec * kPicosPerSecond + r.tv_nsec * 1000;
    return Integer::IS(picos > 0 ? picos : 1000);
}

Value cpuTimePrecision() { return precision.get(); }

int64_t clockTicks() { return ::sysconf(_SC_CLK_TCK); }

}  // namespace System::CPUTime
