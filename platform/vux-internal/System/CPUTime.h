// Processor time of the running process.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace System::CPUTime {

using rts::Value;

// `getCPUTime`: an action answering the processor time used by the process so far (user and
// system, all threads), as an Integer number of picoseconds.
extern const rts::StaticFun getCPUTime_closure;
inline Value getCPUTime() { return getCPUTime_closure.value(); }
// `cpuTimePrecision`: the smallest difference the clock can show, in picoseconds (an Integer
// constant, never zero).
Value cpuTimePrecision();

// Process times, as times(2) gives them, in clock ticks:
//   data ProcessTimes = ProcessTimes elapsedTime userTime systemTime childUserTime childSystemTime
// (five boxed Ints). `getProcessTimes` is an action; `clockTicks` the ticks per second.
inline constexpr uint8_t ProcessTimes_tag = 0;
extern const rts::StaticFun getProcessTimes_closure;
inline Value getProcessTimes() { return getProcessTimes_closure.value(); }
int64_t clockTicks();

}  // namespace System::CPUTime
