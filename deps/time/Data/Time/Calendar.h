// Days of the proleptic Gregorian calendar.
//
//   newtype Day = ModifiedJulianDay Integer
//
// A `Day` is its day number, an `Integer` counted from 1858-11-17 (day 0); at run time it is the
// Integer itself. Years are Integers too (year 0 is 1 BC, -1 is 2 BC), so every day number has a
// date and every date a day number: the conversions split off whole 400-year cycles (146097
// days) with Integer arithmetic and do the rest on machine integers.
#pragma once

#include <cstdint>
#include <string>

#include "VUX/Classes.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Data::Time::Calendar {

using rts::Value;

// `ModifiedJulianDay n` and `toModifiedJulianDay d`: the day number (an Integer) itself.
Value ModifiedJulianDay(int64_t n);

bool isLeapYear(const Value& year);                      // Integer year
int gregorianMonthLength(const Value& year, int month);  // month clipped to 1 .. 12
// `fromGregorian y m d`: the month clipped to 1 .. 12 and the day to the month's length.
Value fromGregorian(const Value& year, int64_t month, int64_t day);
// `fromGregorianValid y m d`: `Just` the day, or `Nothing` for a month or day out of range.
Value fromGregorianValid(const Value& year, int64_t month, int64_t day);
// `toGregorian d`: the triple (year as Integer, month as Int, day as Int).
Value toGregorian(const Value& day);
struct Date {
    Value year;  // Integer
    int month;   // 1 .. 12
    int day;     // 1 .. 31
};
Date toDate(const Value& day);
// `addDays n d`, `diffDays a b`.
Value addDays(const Value& n, const Value& day);
Value diffDays(const Value& a, const Value& b);

// `showGregorian d`: "YYYY-MM-DD", the year padded to four digits after its sign.
std::string showGregorianText(const Value& day);
Value showGregorian(const Value& day);

int compareDay(const Value& a, const Value& b);
VUX_STATIC_INSTANCE(inst_Eq_Day, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Day, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Show_Day, VUX::Internal::Show::C_Show_class);

// The decimal digits of an Integer, "-" first when negative, zero-padded to `width` digits.
std::string paddedDecimal(const Value& n, size_t width);

}  // namespace Data::Time::Calendar
