// A consumer of the installed time: a calendar date as a day number and back as text.
#include <cstdio>
#include <string>

#include "Data/Time/Calendar.h"
#include "VUX/Num/Integer.h"

namespace C = Data::Time::Calendar;

int main() {
    std::string text = C::showGregorianText(C::fromGregorian(VUX::Num::Integer::IS(2024), 2, 29));
    std::printf("consumer of time: %s\n", text.c_str());
    return text == "2024-02-29" ? 0 : 1;
}
