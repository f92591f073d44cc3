// Process identity and process times.
//
//   data ProcessTimes = ProcessTimes { elapsedTime, userTime, systemTime,
//                                      childUserTime, childSystemTime :: ClockTick }
//
// Clock ticks are boxed signed 64-bit counts of the system's clock ticks (sysconf _SC_CLK_TCK).
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace System::Posix::Process {

using rts::Value;

inline constexpr uint8_t ProcessTimes_tag = 0;
enum ProcessTimesField : size_t { elapsedTime = 0, userTime, systemTime, childUserTime, childSystemTime };
// `getProcessTimes`: the record, from times(2).
Value getProcessTimes();
inline int64_t processTime(const Value& times, ProcessTimesField f) {
    return rts::int_word(rts::force(rts::field(rts::force(times), f)), 0);
}
// `getProcessID`: the process identifier, a boxed signed 32-bit number.
Value getProcessID();
int32_t processId();

}  // namespace System::Posix::Process
