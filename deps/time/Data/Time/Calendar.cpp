#include "Data/Time/Calendar.h"

#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Data::Time::Calendar {

using namespace VUX::Num::Integer;

namespace {
constexpr int64_t kCycleDays = 146097;   // days in 400 Gregorian years
constexpr int64_t kMjdOfYear1 = 678576;  // day number of 0001-01-01, negated, plus one
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int64_t mod400(const Value& year) { return integerToInt_hash(integerMod(year, IS(400))); }
bool leapInCycle(int64_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }
int monthLength(bool leap, int month) { return month == 2 && leap ? 29 : kMonthDays[month - 1]; }

// The day number of a valid date.
Value dayNumber(const Value& year, int month, int day) {
    // Days before the year: with y = year - 1 = 400q + r, 365y + y/4 - y/100 + y/400 is
    // 146097q + 365r + r/4 - r/100 (floor divisions).
    auto [q, rv] = integerDivMod_hash(integerSub(year, IS(1)), IS(400));
    int64_t r = integerToInt_hash(rv);
    bool leap = isLeapYear(year);
    int64_t dayOfYear = day;
    for (int m = 1; m < month; ++m) dayOfYear += monthLength(leap, m);
    int64_t rest = 365 * r + r / 4 - r / 100 + dayOfYear - kMjdOfYear1;
    return integerAdd(integerMul(q, IS(kCycleDays)), IS(rest));
}
}  // namespace

Value ModifiedJulianDay(int64_t n) { return IS(n); }

bool isLeapYear(const Value& year) { return leapInCycle(mod400(year)); }

int gregorianMonthLength(const Value& year, int month) {
    return monthLength(isLeapYear(year), month < 1 ? 1 : month > 12 ? 12 : month);
}

Value fromGregorian(const Value& year, int64_t month, int64_t day) {
    int m = static_cast<int>(month < 1 ? 1 : month > 12 ? 12 : month);
    int length = gregorianMonthLength(year, m);
    int d = static_cast<int>(day < 1 ? 1 : day > length ? length : day);
    return dayNumber(year, m, d);
}

Value fromGregorianValid(const Value& year, int64_t month, int64_t day) {
    if (month < 1 || month > 12 || day < 1 || day > gregorianMonthLength(year, static_cast<int>(month)))
        return VUX::Internal::Maybe::Nothing();
    return VUX::Internal::Maybe::Just(dayNumber(year, static_cast<int>(month), static_cast<int>(day)));
}

Date toDate(const Value& day) {
    // Whole 400-year cycles from 0001-01-01 as an Integer, the rest (under 146097) on machine words.
    auto [cycles, inCycle] = integerDivMod_hash(integerAdd(day, IS(kMjdOfYear1 - 1)), IS(kCycleDays));
    int64_t b = integerToInt_hash(inCycle);
    int64_t century = std::min<int64_t>(b / 36524, 3);
    int64_t c = b - century * 36524;
    int64_t quad = c / 1461;
    int64_t d = c % 1461;
    int64_t y = std::min<int64_t>(d / 365, 3);
    int64_t dayOfYear = d - y * 365 + 1;
    Value year = integerAdd(integerMul(cycles, IS(400)), IS(century * 100 + quad * 4 + y + 1));
    bool leap = isLeapYear(year);
    int month = 1;
    while (dayOfYear > monthLength(leap, month)) dayOfYear -= monthLength(leap, month++);
    return {std::move(year), month, static_cast<int>(dayOfYear)};
}

Value toGregorian(const Value& day) {
    Date date = toDate(day);
    return VUX::Tuple::Tuple3(std::move(date.year), VUX::Types::I_hash(date.month),
                              VUX::Types::I_hash(date.day));
}

Value addDays(const Value& n, const Value& day) { return integerAdd(n, day); }
Value diffDays(const Value& a, const Value& b) { return integerSub(a, b); }

std::string paddedDecimal(const Value& n, size_t width) {
    std::string digits = integerToDecimal(n);
    std::string sign;
    if (!digits.empty() && digits[0] == '-') sign = "-", digits.erase(0, 1);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return sign + digits;
}

std::string showGregorianText(const Value& day) {
    Date date = toDate(day);
    return paddedDecimal(date.year, 4) + "-" + paddedDecimal(IS(date.month), 2) + "-" +
           paddedDecimal(IS(date.day), 2);
}

Value showGregorian(const Value& day) { return VUX::Internal::List::fromBytes(showGregorianText(day)); }

int compareDay(const Value& a, const Value& b) { return fast::cmp(a, b); }

namespace {
Value showsDay(int64_t, const Value& day, Value s) {
    return VUX::Internal::Show::showText(showGregorianText(day), std::move(s));
}
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Day_closure =
    VUX::Internal::OrdRecord::eqRecord<&compareDay>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_Day_closure =
    VUX::Internal::OrdRecord::ordRecord<&inst_Eq_Day_closure, &compareDay>();
constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_Day_closure{
    VUX::Record::fn<&VUX::Internal::Show::showsPrecWith<&showsDay>>,
    VUX::Record::fn<&VUX::Internal::Show::default_show, &inst_Show_Day_closure>,
    VUX::Record::fn<&VUX::Internal::Show::default_showList, &inst_Show_Day_closure>};

}  // namespace Data::Time::Calendar
