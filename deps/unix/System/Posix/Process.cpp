#include "System/Posix/Process.h"

#include <sys/times.h>
#include <unistd.h>

#include "System/Posix/Error.h"
#include "VUX/Internal/Int.h"
#include "VUX/Types.h"

namespace System::Posix::Process {

Value getProcessTimes() {
    struct tms t;
    clock_t elapsed = times(&t);
    if (elapsed == static_cast<clock_t>(-1)) Error::throwErrno("getProcessTimes", errno);
    auto tick = [](clock_t c) { return VUX::Types::I_hash(static_cast<int64_t>(c)); };
    return rts::con(ProcessTimes_tag, tick(elapsed), tick(t.tms_utime), tick(t.tms_stime), tick(t.tms_cutime),
                    tick(t.tms_cstime));
}

int32_t processId() { return static_cast<int32_t>(getpid()); }
Value getProcessID() { return VUX::Internal::Int::I32_hash(processId()); }

}  // namespace System::Posix::Process
