// A consumer of the installed time: a calendar day written in its Gregorian form.
#include <cstdio>
#include <string>

#include "Data/Time/Calendar.h"
#include "VUX/Num/Integer.h"

int main() {
    rts::Value day = Data::Time::Calendar::fromGregorian(VUX::Num::Integer::integerFromInt_hash(2024), 2, 29);
    std::string text = Data::Time::Calendar::showGregorianText(day);
    std::printf("consumer of time: %s\n", text.c_str());
    return text == "2024-02-29" ? 0 : 1;
}
