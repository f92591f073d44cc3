// The text form of UTC instants and its reader.
//
// Written: the date, a blank, the time of day, a blank and "UTC": "2024-05-17 08:30:00.25 UTC".
// The year has at least four digits (after a "-" for years before 1), the seconds' fraction is
// written to at most twelve digits with trailing zeros dropped, and left out when zero; a leap
// second shows as second 60. The form ignores the precedence and is never parenthesised.
//
// Read (`readsPrec`, the precedence ignored): white space, then "YYYY-MM-DD", white space,
// "HH:MM:SS" and an optional fraction ("." and digits, cut to picoseconds), optionally inside any
// number of parentheses; then, optionally, white space and a zone: "UTC", "UT", "GMT", "Z", a
// North American zone name (EST, EDT, CST, CDT, MST, MDT, PST, PDT) or an offset "+HHMM",
// "-HHMM", "+HH:MM", again optionally in parentheses. The local time is taken in that zone and
// converted to UTC. Like the time library's reader, it answers the parse with the zone first and
// then the parse that stops before it (as if the zone were UTC), so a complete read of a text with
// a zone has exactly one result. A date or time out of range (month 13, February 30, hour 24,
// second 61 and more) gives no parse.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::Time::Format {

using rts::Value;

std::string showUTCTimeText(const Value& t);
Value showsUTCTime(int64_t d, const Value& t, Value s);
VUX_STATIC_INSTANCE(inst_Show_UTCTime, VUX::Internal::Show::C_Show_class);

// `readsPrec d s` of UTCTime: a list of pairs (UTCTime, remaining text).
Value readsPrecUTCTime(const Value& d, const Value& s);
extern const rts::StaticFun readsPrecUTCTime_closure;
// The Read record of UTCTime: readsPrec as above, the others by their defaults (a list is
// "[", the instants separated by ",", "]"). Made on first use, then shared.
Value inst_Read_UTCTime();
// A complete read of C++ text: the one parse that leaves only white space, or nothing.
std::optional<Value> readUTCTime(std::string_view text);

}  // namespace Data::Time::Format
