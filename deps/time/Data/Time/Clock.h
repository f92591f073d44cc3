// Instants of Coordinated Universal Time.
//
//   data UTCTime = UTCTime { utctDay :: Day, utctDayTime :: DiffTime }
//
// The day is a `Day` (an Integer day number, Data/Time/Calendar.h); the time of day a
// `DiffTime`, an Integer number of picoseconds since midnight, at run time the Integer itself.
// A time of day from 86400 s up to (not including) 86401 s is a leap second. Both fields are lazy.
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::Time::Clock {

using rts::Value;

inline constexpr uint8_t UTCTime_tag = 0;
Value UTCTime(Value day, Value dayTime);
// From machine integers: a day number and picoseconds since midnight.
Value utcTime(int64_t day, int64_t picoseconds);
// Selectors: evaluate the time, return the field.
Value utctDay(const Value& t);
Value utctDayTime(const Value& t);

inline constexpr int64_t kPicosecondsPerSecond = 1'000'000'000'000;
// `secondsToDiffTime s` and `picosecondsToDiffTime p` (Integer arguments and results).
Value secondsToDiffTime(const Value& seconds);
Value picosecondsToDiffTime(const Value& picoseconds);

// `getCurrentTime`: an IO action answering the system's real-time clock, to its resolution.
extern const rts::StaticFun getCurrentTime_closure;
inline Value getCurrentTime() { return getCurrentTime_closure.value(); }

// Derived equality and order: the days, then the times of day.
int compareUTCTime(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_UTCTime, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_UTCTime, VUX::Classes::C_Ord_class);

}  // namespace Data::Time::Clock
