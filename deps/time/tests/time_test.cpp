// Days against a day-by-day calendar, the text form of instants and its reader, the clock and
// the order of instants.
#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>

#include "Data/Time/Calendar.h"
#include "Data/Time/Clock.h"
#include "Data/Time/Format.h"
#include "Testing.h"
#include "VUX/Classes.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Record.h"

namespace {

using rts::Value;
namespace Cal = Data::Time::Calendar;
namespace Clock = Data::Time::Clock;
namespace Fmt = Data::Time::Format;
using VUX::Num::Integer::IS;

int64_t intOf(const Value& v) { return VUX::Num::Integer::integerToInt_hash(rts::force(v)); }
Value day(int64_t y, int m, int d) { return Cal::fromGregorian(IS(y), m, d); }

// A calendar kept by counting: the next date after (y, m, d), by the month lengths alone.
struct Date {
    int64_t y;
    int m, d;
    bool operator==(const Date&) const = default;
};
int lengthOf(int64_t y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}
Date next(Date x) {
    if (x.d < lengthOf(x.y, x.m)) return {x.y, x.m, x.d + 1};
    if (x.m < 12) return {x.y, x.m + 1, 1};
    return {x.y + 1, 1, 1};
}
Date previous(Date x) {
    if (x.d > 1) return {x.y, x.m, x.d - 1};
    if (x.m > 1) return {x.y, x.m - 1, lengthOf(x.y, x.m - 1)};
    return {x.y - 1, 12, 31};
}
void expectDay(const Date& date, int64_t n) {
    ASSERT_EQ(intOf(day(date.y, date.m, date.d)), n) << date.y << "-" << date.m << "-" << date.d;
    Cal::Date back = Cal::toDate(IS(n));
    ASSERT_EQ((Date{intOf(back.year), back.month, back.day}), date) << n;
}

TEST(Calendar, DayNumbersMatchACountedCalendarFrom1600To2400) {
    // 1970-01-01 is day 40587 of the count that starts at 1858-11-17.
    const Date epoch{1970, 1, 1};
    Date date = epoch;
    int64_t n = 40587;
    for (; date.y >= 1600; date = previous(date), --n) expectDay(date, n);
    date = epoch, n = 40587;
    for (; date.y <= 2400; date = next(date), ++n) expectDay(date, n);
    EXPECT_EQ(intOf(day(1858, 11, 17)), 0);
}

TEST(Calendar, LeapDaysAndClipping) {
    struct LeapCase {
        int64_t year;
        bool leap;
    } cases[] = {{1600, true}, {1700, false}, {1900, false}, {2000, true}, {2024, true}, {2100, false},
                 {2400, true}, {0, true},     {-1, false},   {-4, true},   {-100, false}};
    for (const LeapCase& c : cases) {
        EXPECT_EQ(Cal::isLeapYear(IS(c.year)), c.leap) << c.year;
        Value feb29 = Cal::fromGregorianValid(IS(c.year), 2, 29);
        EXPECT_EQ(rts::force(feb29)->tag == 1, c.leap) << c.year;
        // Across the leap day: the day after February 28 is February 29 or March 1.
        Cal::Date after = Cal::toDate(VUX::Num::Integer::integerAdd(day(c.year, 2, 28), IS(1)));
        EXPECT_EQ(after.month, c.leap ? 2 : 3) << c.year;
        // fromGregorian clips the day to the month and the month to the year.
        EXPECT_EQ(intOf(day(c.year, 2, 30)), intOf(day(c.year, 2, c.leap ? 29 : 28)));
    }
    EXPECT_EQ(intOf(day(2023, 13, 40)), intOf(day(2023, 12, 31)));
    EXPECT_EQ(intOf(day(2023, 0, 0)), intOf(day(2023, 1, 1)));
    EXPECT_EQ(rts::force(Cal::fromGregorianValid(IS(2023), 4, 31))->tag, 0);
    // Years beyond the machine integers: whole 400-year cycles are Integers.
    Value huge = *VUX::Num::Integer::integerFromDecimal("123456789012345678901234567888");
    Cal::Date far = Cal::toDate(Cal::fromGregorian(huge, 2, 29));
    EXPECT_EQ(VUX::Num::Integer::integerToDecimal(far.year), "123456789012345678901234567888");
    EXPECT_EQ(far.month, 2);
    EXPECT_EQ(far.day, 29);
    EXPECT_EQ(Cal::showGregorianText(day(-1, 3, 4)), "-0001-03-04");
    EXPECT_EQ(Cal::showGregorianText(day(12, 1, 2)), "0012-01-02");
    EXPECT_EQ(Cal::showGregorianText(day(12345, 10, 31)), "12345-10-31");
}

constexpr int64_t kPico = Clock::kPicosecondsPerSecond;

TEST(TimeText, WrittenFormAndPicosecondFractions) {
    Value may17 = day(2024, 5, 17);
    struct Shown {
        int64_t picoseconds;
        const char* text;
    } cases[] = {
        {(8 * 3600 + 30 * 60) * kPico + kPico / 4, "2024-05-17 08:30:00.25 UTC"},
        {0, "2024-05-17 00:00:00 UTC"},
        {1, "2024-05-17 00:00:00.000000000001 UTC"},
        {9 * kPico + 123456789012, "2024-05-17 00:00:09.123456789012 UTC"},
        {59 * kPico + kPico / 10, "2024-05-17 00:00:59.1 UTC"},
        {86399 * kPico + kPico - 1, "2024-05-17 23:59:59.999999999999 UTC"},
        {86400 * kPico + kPico / 2, "2024-05-17 23:59:60.5 UTC"},  // leap second
    };
    for (const Shown& c : cases) {
        Value t = Clock::UTCTime(may17, IS(c.picoseconds));
        EXPECT_EQ(Fmt::showUTCTimeText(t), c.text);
        // The Show record writes the same text, whatever the precedence.
        Value s = VUX::Internal::Show::showsPrec(Fmt::inst_Show_UTCTime(), 11, t, vux::testing::str("!"));
        EXPECT_EQ(vux::testing::to_string(s), std::string(c.text) + "!");
        auto back = Fmt::readUTCTime(c.text);
        ASSERT_TRUE(back.has_value()) << c.text;
        EXPECT_EQ(Clock::compareUTCTime(*back, t), 0) << c.text;
    }
}

TEST(TimeText, RandomInstantsRoundTrip) {
    std::mt19937_64 rng(1858);
    std::uniform_int_distribution<int64_t> days(-800'000, 800'000), picos(0, 86401 * kPico - 1),
        coarse(0, 86399);
    for (int i = 0; i < 3000; ++i) {
        // Half the instants on whole seconds, to exercise the form without a fraction.
        int64_t p = i % 2 ? picos(rng) : coarse(rng) * kPico;
        Value t = Clock::utcTime(days(rng), p);
        std::string text = Fmt::showUTCTimeText(t);
        auto back = Fmt::readUTCTime(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(Clock::compareUTCTime(*back, t), 0) << text;
        ASSERT_EQ(Fmt::showUTCTimeText(*back), text);
    }
}

std::string readAll(const std::string& text) {
    std::string out;
    Value parses = Fmt::readsPrecUTCTime(VUX::Types::I_hash(11), vux::testing::str(text));
    for (const Value& p : vux::testing::items(parses)) {
        const Value& pair = rts::force(p);
        out += "[" + Fmt::showUTCTimeText(rts::field(pair, 0)) + "|" +
               vux::testing::to_string(rts::field(pair, 1)) + "]";
    }
    return out;
}

TEST(TimeText, ReaderAcceptsZonesParenthesesAndLeavesTheRest) {
    struct ReadCase {
        const char* input;
        const char* parses;
    } cases[] = {
        {"2024-05-17 08:30:00.25 UTC 4822",
         "[2024-05-17 08:30:00.25 UTC| 4822][2024-05-17 08:30:00.25 UTC| UTC 4822]"},
        {"  2024-05-17   08:30:00", "[2024-05-17 08:30:00 UTC|]"},
        {"(2024-05-17 08:30:00) UTC", "[2024-05-17 08:30:00 UTC|][2024-05-17 08:30:00 UTC| UTC]"},
        {"((2024-05-17 08:30:00))", "[2024-05-17 08:30:00 UTC|]"},
        {"2024-05-17 00:30:00 +0100", "[2024-05-16 23:30:00 UTC|][2024-05-17 00:30:00 UTC| +0100]"},
        {"2024-12-31 23:30:00 -01:00", "[2025-01-01 00:30:00 UTC|][2024-12-31 23:30:00 UTC| -01:00]"},
        {"2024-05-17 08:30:00 EST", "[2024-05-17 13:30:00 UTC|][2024-05-17 08:30:00 UTC| EST]"},
        {"2024-05-17 08:30:00 XYZ", "[2024-05-17 08:30:00 UTC| XYZ]"},
        {"2024-05-17 08:30:00.1234567890129", "[2024-05-17 08:30:00.123456789012 UTC|]"},
        {"-0001-03-01 00:00:00", "[-0001-03-01 00:00:00 UTC|]"},
        {"2016-12-31 23:59:60.5 UTC", "[2016-12-31 23:59:60.5 UTC|][2016-12-31 23:59:60.5 UTC| UTC]"},
        {"2023-02-29 00:00:00", ""},
        {"2024-13-01 00:00:00", ""},
        {"2024-05-17 24:00:00", ""},
        {"2024-05-17 23:60:00", ""},
        {"2024-05-17 23:00:61", ""},
        {"24-05-17 08:30:00", ""},
        {"2024-05-17T08:30:00", ""},
        {"2024-05-17 8:30:00", ""},
        {"(2024-05-17 08:30:00", ""},
        {"", ""},
    };
    for (const ReadCase& c : cases) EXPECT_EQ(readAll(c.input), c.parses) << c.input;
    // The reader takes only what it needs of an endless text.
    Value endless = VUX::Internal::List::op_plus_plus(vux::testing::str("2024-05-17 08:30:00 GMT,"),
                                                      VUX::Internal::List::repeat(VUX::Types::C_hash('x')));
    Value parses = Fmt::readsPrecUTCTime(VUX::Types::I_hash(0), endless);
    EXPECT_EQ(vux::testing::items(parses).size(), 2u);
    EXPECT_FALSE(Fmt::readUTCTime("2024-05-17 08:30:00 UTC junk").has_value());
    // Through the Read record: the same parses, and lists of instants.
    Value viaRecord = VUX::Internal::Read::readsPrec(Fmt::inst_Read_UTCTime(), 11,
                                                     vux::testing::str("2024-05-17 08:30:00 UTC"));
    EXPECT_EQ(vux::testing::items(viaRecord).size(), 2u);
    Value lists = VUX::Internal::Read::readList(
        Fmt::inst_Read_UTCTime(), vux::testing::str("[2024-05-17 08:30:00 UTC, 2000-01-01 00:00:00.5]"));
    bool found = false;
    for (const Value& p : vux::testing::items(lists)) {
        const Value& pair = rts::force(p);
        if (vux::testing::to_string(rts::field(pair, 1)) != "") continue;
        std::vector<Value> times = vux::testing::items(rts::field(pair, 0));
        ASSERT_EQ(times.size(), 2u);
        EXPECT_EQ(Fmt::showUTCTimeText(times[1]), "2000-01-01 00:00:00.5 UTC");
        found = true;
    }
    EXPECT_TRUE(found);
}

// Read with the same clock as getCurrentTime: time(2) may lag behind it by a coarse tick.
static int64_t realtimeSeconds() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec;
}

TEST(Clock, CurrentTimeAgreesWithTheSystemClock) {
    int64_t before = realtimeSeconds();
    Value now = VUX::Internal::IO::runIO(Clock::getCurrentTime());
    int64_t after = realtimeSeconds();
    int64_t seconds = (intOf(Clock::utctDay(now)) - 40587) * 86400 + intOf(Clock::utctDayTime(now)) / kPico;
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
}

TEST(Clock, InstantsOrderByDayThenTimeOfDay) {
    Value a = Clock::utcTime(10, 5 * kPico), b = Clock::utcTime(10, 5 * kPico + 1), c = Clock::utcTime(11, 0);
    const Value ord = Clock::inst_Ord_UTCTime(), eq = Clock::inst_Eq_UTCTime();
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_lt(ord), a, b));
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_lt(ord), b, c));
    EXPECT_FALSE(VUX::Record::test(VUX::Classes::op_eq_eq(eq), a, b));
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_eq_eq(eq), a, Clock::utcTime(10, 5 * kPico)));
    // A differing day decides without the time of day being evaluated.
    Value lazyTime = Clock::UTCTime(IS(12), vux::testing::failing());
    EXPECT_TRUE(VUX::Record::test(VUX::Classes::op_gt(ord), lazyTime, c));
    // max answers the second operand and min the first when they are equal.
    Value a2 = Clock::utcTime(10, 5 * kPico);
    EXPECT_TRUE(rts::same(VUX::Record::call(VUX::Classes::max(ord), a, a2), a2));
    EXPECT_TRUE(rts::same(VUX::Record::call(VUX::Classes::min(ord), a, a2), a));
}

}  // namespace
