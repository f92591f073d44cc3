// A consumer of the installed time: the days of a leap February.
#include <cstdio>

#include "Data/Time/Calendar.h"
#include "VUX/Num/Integer.h"

int main() {
    namespace Calendar = Data::Time::Calendar;
    using VUX::Num::Integer::integerFromInt_hash;
    rts::Value year = integerFromInt_hash(2024);
    rts::Value days =
        Calendar::diffDays(Calendar::fromGregorian(year, 3, 1), Calendar::fromGregorian(year, 2, 1));
    int64_t n = VUX::Num::Integer::integerToInt_hash(rts::force(days));
    std::printf("consumer of time: February 2024 has %lld days\n", static_cast<long long>(n));
    return n == 29 ? 0 : 1;
}
