// A consumer of the installed time: leap years of the Gregorian calendar.
#include <cstdio>

#include "Data/Time/Calendar.h"
#include "VUX/Num/Integer.h"

int main() {
    using Data::Time::Calendar::isLeapYear;
    using VUX::Num::Integer::IS;
    bool ok = isLeapYear(IS(2000)) && !isLeapYear(IS(1900)) && isLeapYear(IS(2024));
    std::printf("consumer of time: leap years %s\n", ok ? "right" : "wrong");
    return ok ? 0 : 1;
}
