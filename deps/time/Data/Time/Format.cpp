#include "Data/Time/Format.h"

#include <vector>

#include "Data/Time/Calendar.h"
#include "Data/Time/Clock.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Data::Time::Format {

using namespace VUX::Num::Integer;
using Calendar::paddedDecimal;
using Clock::kPicosecondsPerSecond;

namespace {
constexpr int64_t kPicosecondsPerMinute = 60 * kPicosecondsPerSecond;
constexpr int64_t kPicosecondsPerDay = 86400 * kPicosecondsPerSecond;

// "SS" or "SS.fraction" of a non-negative number of picoseconds.
std::string secondsText(const Value& picoseconds) {
    auto [whole, fraction] = integerDivMod_hash(picoseconds, IS(kPicosecondsPerSecond));
    std::string text = paddedDecimal(whole, 2);
    int64_t f = integerToInt_hash(fraction);
    if (f == 0) return text;
    std::string digits = paddedDecimal(IS(f), 12);
    digits.erase(digits.find_last_not_of('0') + 1);
    return text + "." + digits;
}

// "HH:MM:SS[.fraction]" of a time of day in picoseconds; 86400 s and beyond is 23:59:60 and on.
std::string timeOfDayText(const Value& dayTime) {
    if (integerGe_hash(dayTime, IS(kPicosecondsPerDay)))
        return "23:59:" + secondsText(integerAdd(integerSub(dayTime, IS(kPicosecondsPerDay)),
                                                 IS(60 * kPicosecondsPerSecond)));
    auto [minutes, seconds] = integerDivMod_hash(dayTime, IS(kPicosecondsPerMinute));
    auto [hours, minute] = integerDivMod_hash(minutes, IS(60));
    return paddedDecimal(hours, 2) + ":" + paddedDecimal(minute, 2) + ":" + secondsText(seconds);
}
}  // namespace

std::string showUTCTimeText(const Value& t) {
    return Calendar::showGregorianText(Clock::utctDay(t)) + " " + timeOfDayText(Clock::utctDayTime(t)) +
           " UTC";
}

Value showsUTCTime(int64_t, const Value& t, Value s) {
    return VUX::Internal::Show::showText(showUTCTimeText(t), std::move(s));
}

constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_UTCTime_closure{
    VUX::Record::fn<&VUX::Internal::Show::showsPrecWith<&showsUTCTime>>,
    VUX::Record::fn<&VUX::Internal::Show::default_show, &inst_Show_UTCTime_closure>,
    VUX::Record::fn<&VUX::Internal::Show::default_showList, &inst_Show_UTCTime_closure>};

// ---------------------------------------------------------------------------------------------
// Reading

namespace {
// A position in a character list; the list is evaluated as far as it is read.
class Cursor {
  public:
    explicit Cursor(Value text) : text_(std::move(text)) {}
    // The next character's code point, or -1 at the end.
    int64_t peek() const {
        const Value& cell = rts::force(text_);
        if (cell->tag == VUX::Types::Nil_tag) return -1;
        return VUX::Types::charOf(rts::force(rts::field(cell, 0)));
    }
    void advance() {
        Value next = rts::field(rts::force(text_), 1);
        text_ = std::move(next);
    }
    bool accept(char32_t c) {
        if (peek() != c) return false;
        advance();
        return true;
    }
    void skipSpace() {
        for (int64_t c = peek(); c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0; c = peek()) advance();
    }
    static bool isDigit(int64_t c) { return c >= '0' && c <= '9'; }
    // Exactly n digits.
    std::optional<int64_t> digits(int n) {
        int64_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (!isDigit(peek())) return std::nullopt;
            v = v * 10 + (peek() - '0');
            advance();
        }
        return v;
    }
    // At least `min` digits, as text.
    std::optional<std::string> digitRun(size_t min) {
        std::string s;
        while (isDigit(peek())) s.push_back(static_cast<char>(peek())), advance();
        if (s.size() < min) return std::nullopt;
        return s;
    }
    const Value& rest() const { return text_; }

  private:
    Value text_;
};

struct LocalTime {
    Value day;            // Integer day number
    int64_t minuteOfDay;  // hours * 60 + minutes
    int64_t picoseconds;  // within the minute, up to (not including) 61 s
};

template <class T>
using Parses = std::vector<std::pair<T, Value>>;

// `readParen False g`: g, or g inside one or more parentheses (white space allowed around them).
template <class T, class G>
Parses<T> optionalParens(const Value& text, G g) {
    rts::stack_check();
    Parses<T> results = g(text);
    Cursor c(text);
    c.skipSpace();
    if (!c.accept('(')) return results;
    for (auto& [x, inner] : optionalParens<T>(c.rest(), g)) {
        Cursor after(inner);
        after.skipSpace();
        if (after.accept(')')) results.emplace_back(std::move(x), after.rest());
    }
    return results;
}

Parses<LocalTime> readLocalTime(const Value& text) {
    Cursor c(text);
    c.skipSpace();
    bool negative = c.accept('-');
    auto year = c.digitRun(4);
    if (!year || !c.accept('-')) return {};
    auto month = c.digits(2);
    if (!month || !c.accept('-')) return {};
    auto day = c.digits(2);
    if (!day) return {};
    int64_t next = c.peek();
    if (!(next == ' ' || (next >= '\t' && next <= '\r'))) return {};
    c.skipSpace();
    auto hour = c.digits(2);
    if (!hour || !c.accept(':')) return {};
    auto minute = c.digits(2);
    if (!minute || !c.accept(':')) return {};
    auto second = c.digits(2);
    if (!second) return {};
    int64_t fraction = 0;
    if (c.accept('.')) {
        int64_t scale = kPicosecondsPerSecond;
        while (Cursor::isDigit(c.peek())) {
            scale /= 10;
            fraction += (c.peek() - '0') * scale;
            c.advance();
        }
    }
    if (*hour > 23 || *minute > 59 || *second > 60) return {};
    auto yearValue = integerFromDecimal((negative ? "-" : "") + *year);
    Value dayNumber = Calendar::fromGregorianValid(*yearValue, *month, *day);
    if (VUX::Internal::Maybe::isNothing(rts::force(dayNumber))) return {};
    LocalTime t{rts::field(rts::force(dayNumber), 0), *hour * 60 + *minute,
                *second * kPicosecondsPerSecond + fraction};
    Parses<LocalTime> result;
    result.emplace_back(std::move(t), c.rest());
    return result;
}

// Offsets of the zone names the reader knows, in minutes east of UTC.
struct NamedZone {
    const char* name;
    int minutes;
};
constexpr NamedZone kZones[] = {{"UTC", 0},    {"UT", 0},     {"GMT", 0},    {"Z", 0},
                                {"EST", -300}, {"EDT", -240}, {"CST", -360}, {"CDT", -300},
                                {"MST", -420}, {"MDT", -360}, {"PST", -480}, {"PDT", -420}};

Parses<int64_t> readZone(const Value& text) {
    Cursor c(text);
    c.skipSpace();
    Parses<int64_t> result;
    if (c.peek() == '+' || c.peek() == '-') {
        int sign = c.peek() == '-' ? -1 : 1;
        c.advance();
        auto hours = c.digits(2);
        if (!hours) return {};
        c.accept(':');
        auto minutes = c.digits(2);
        if (!minutes || *minutes > 59) return {};
        result.emplace_back(sign * (*hours * 60 + *minutes), c.rest());
        return result;
    }
    std::string name;
    while (c.peek() >= 'A' && c.peek() <= 'Z') name.push_back(static_cast<char>(c.peek())), c.advance();
    for (const NamedZone& z : kZones)
        if (name == z.name) result.emplace_back(z.minutes, c.rest());
    return result;
}

// The instant of a local time in a zone `offset` minutes east of UTC.
Value toUTC(const LocalTime& t, int64_t offset) {
    int64_t minutes = t.minuteOfDay - offset;
    int64_t dayShift = minutes >= 0 ? minutes / 1440 : -((-minutes + 1439) / 1440);
    int64_t minuteOfDay = minutes - dayShift * 1440;
    return Clock::UTCTime(integerAdd(t.day, IS(dayShift)),
                          IS(minuteOfDay * kPicosecondsPerMinute + t.picoseconds));
}
}  // namespace

Value readsPrecUTCTime(const Value&, const Value& s) {
    VUX::Internal::List::ListBuilder results;
    for (auto& [local, afterLocal] : optionalParens<LocalTime>(s, readLocalTime)) {
        for (auto& [offset, afterZone] : optionalParens<int64_t>(afterLocal, readZone))
            results.push(VUX::Tuple::Tuple2(toUTC(local, offset), afterZone));
        results.push(VUX::Tuple::Tuple2(toUTC(local, 0), afterLocal));
    }
    return results.finish(VUX::Types::Nil());
}

constinit const rts::StaticFun readsPrecUTCTime_closure{rts::static_fun_info<&readsPrecUTCTime>};

RTS_CONSTANT(readRecordUTCTime) {
    return VUX::Internal::Read::readsPrecRecord(readsPrecUTCTime_closure.value());
}

Value inst_Read_UTCTime() { return Value(readRecordUTCTime.get()); }

std::optional<Value> readUTCTime(std::string_view text) {
    std::optional<Value> found;
    Value parses = readsPrecUTCTime(VUX::Types::I_hash(0), VUX::Internal::List::fromBytes(text));
    for (Value cur = parses; rts::force(cur)->tag == VUX::Types::Cons_tag;) {
        const Value& pair = rts::force(rts::field(rts::force(cur), 0));
        Cursor rest(rts::field(pair, 1));
        rest.skipSpace();
        if (rest.peek() == -1) {
            if (found) return std::nullopt;
            found = rts::field(pair, 0);
        }
        Value next = rts::field(rts::force(cur), 1);
        cur = std::move(next);
    }
    return found;
}

}  // namespace Data::Time::Format
