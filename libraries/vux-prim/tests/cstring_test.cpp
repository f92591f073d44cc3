// String literals: decoding, laziness, sharing and the end of the literal.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "Testing.h"
#include "VUX/CString.h"

using namespace VUX::CString;
using namespace VUX::Types;
using rts::Value;
namespace vt = vux::testing;

namespace {

// Bytes placed so that the last one given ends a readable page and the next page cannot be read:
// an unpacker that reads one byte too far crashes the test.
class GuardedBytes {
  public:
    explicit GuardedBytes(const std::string& bytes) {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void* m = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        EXPECT_NE(m, MAP_FAILED);
        base_ = static_cast<char*>(m);
        mprotect(base_ + page_, page_, PROT_NONE);
        start_ = base_ + page_ - bytes.size();
        std::memcpy(start_, bytes.data(), bytes.size());
    }
    ~GuardedBytes() { munmap(base_, 2 * page_); }
    const char* addr() const { return start_; }

  private:
    size_t page_;
    char* base_;
    char* start_;
};

// The code points as signed machine words (the UTF-8 table can produce negative values).
std::vector<int64_t> signed_points(const Value& chars) {
    std::vector<int64_t> out;
    for (const Value& c : vt::items(chars)) out.push_back(static_cast<int64_t>(rts::word(rts::force(c), 0)));
    return out;
}

}  // namespace

TEST(OneByte, EachByteIsOneCharacter) {
    EXPECT_EQ(rts::force(unpackCString_hash(""))->tag, Nil_tag);
    EXPECT_EQ(vt::to_string(unpackCString_hash("hello")), "hello");
    EXPECT_EQ(vt::code_points(unpackCString_hash("\xff\x80\x01")), (std::vector<uint32_t>{255, 128, 1}));
    EXPECT_EQ(cstringLength_hash(""), 0);
    EXPECT_EQ(cstringLength_hash("abc\0def"), 3);
    EXPECT_EQ(c_strlen("abcd"), 4);
}

TEST(Utf8, DecodingTable) {
    struct Row {
        const char* bytes;
        std::vector<int64_t> points;
    };
    const Row rows[] = {
        {"", {}},
        {"A", {0x41}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\xC0\x80", {0}},                  // overlong form of 0, accepted
        {"\x80\x80", {-4096}},              // a stray continuation byte takes the two-byte row
        {"\xC3\xA9x", {0xE9, 'x'}},
        {"\xFF\x80\x80\x80", {15 * 262144}},  // 0xF8 to 0xFF take the four-byte row
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bytes);
        EXPECT_EQ(signed_points(unpackCStringUtf8_hash(r.bytes)), r.points);
        Value tail = vt::str("!");
        std::vector<int64_t> appended = r.points;
        appended.push_back('!');
        EXPECT_EQ(signed_points(unpackAppendCStringUtf8_hash(r.bytes, tail)), appended);
    }
}

// A multi-byte sequence cut short by the terminator ends the list there; nothing past the 0 is read.
TEST(Utf8, NeverReadsPastTheTerminator) {
    for (const std::string& cut : {std::string("a\xE2\x82", 3), std::string("a\xF0\x9F\x98", 4), std::string("a\xC3", 2)}) {
        GuardedBytes bytes(cut + std::string(1, '\0'));
        EXPECT_EQ(signed_points(unpackCStringUtf8_hash(bytes.addr())), std::vector<int64_t>{'a'});
        EXPECT_EQ(signed_points(unpackAppendCStringUtf8_hash(bytes.addr(), vt::str("z"))),
                  (std::vector<int64_t>{'a', 'z'}));
        Value z = I_hash(0);
        Value count = rts::fun<2>([](const Value&, const Value& rest) {
            return I_hash(1 + intOf(rts::force(rest)));
        });
        EXPECT_EQ(intOf(rts::force(unpackFoldrCStringUtf8_hash(bytes.addr(), count, z))), 1);
    }
}

// Demanding the first character reads only its bytes: the rest of the literal lies in memory that
// cannot be read, and nothing touches it until the tail is demanded.
TEST(Laziness, TheFirstCellReadsOnlyItsOwnBytes) {
    GuardedBytes one("a");
    Value cell = unpackCString_hash(one.addr());
    EXPECT_EQ(charOf(rts::force(rts::field(cell, 0))), 'a');
    EXPECT_FALSE(rts::is_evaluated(rts::field(cell, 1)));

    GuardedBytes euro("\xE2\x82\xAC");
    Value ucell = unpackCStringUtf8_hash(euro.addr());
    EXPECT_EQ(charOf(rts::force(rts::field(ucell, 0))), 0x20ACu);
    EXPECT_FALSE(rts::is_evaluated(rts::field(ucell, 1)));

    Value acell = unpackAppendCString_hash(one.addr(), vt::failing());
    EXPECT_EQ(charOf(rts::force(rts::field(acell, 0))), 'a');
}

TEST(Laziness, ATailIsComputedOnceAndShared) {
    Value cell = unpackCString_hash("xyz");
    const Value& tail = rts::field(cell, 1);
    const Value& first = rts::force(tail);
    const Value& second = rts::force(tail);
    EXPECT_TRUE(same(first, second));
    EXPECT_EQ(charOf(rts::force(rts::field(first, 0))), 'y');
    // Two calls on the same address are two independent lists.
    EXPECT_FALSE(same(unpackCString_hash("xyz"), unpackCString_hash("xyz")));
}

TEST(Append, TheEmptyLiteralGivesTheTailItself) {
    Value tail = vt::str("rest");
    EXPECT_TRUE(same(unpackAppendCString_hash("", tail), tail));
    EXPECT_TRUE(same(unpackAppendCStringUtf8_hash("", tail), tail));
    // A suspended tail is evaluated and its value returned.
    Value lazy = rts::delay([tail] { return tail; });
    EXPECT_TRUE(same(unpackAppendCString_hash("", lazy), tail));
    // A non-empty literal ends in the very same tail cells.
    Value joined = unpackAppendCString_hash("ab", tail);
    EXPECT_EQ(vt::to_string(joined), "abrest");
    const Value& last = rts::force(rts::field(rts::force(rts::field(joined, 1)), 1));
    EXPECT_TRUE(same(last, tail));
}

TEST(Foldr, BuildsNoListAndHandsFTheSuspendedRest) {
    Value z = vt::str("<end>");
    EXPECT_TRUE(same(unpackFoldrCString_hash("", rts::fun<2>([](const Value&, const Value&) { return Nil(); }), z), z));
    // f = (:) rebuilds the literal.
    Value cons = rts::fun<2>([](const Value& c, const Value& rest) { return Cons(c, rest); });
    EXPECT_EQ(vt::to_string(unpackFoldrCString_hash("abc", cons, z)), "abc<end>");
    EXPECT_EQ(vt::code_points(unpackFoldrCStringUtf8_hash("\xE2\x82\xAC!", cons, Nil())),
              (std::vector<uint32_t>{0x20AC, '!'}));
    // An f that ignores the rest stops the fold after the first character.
    int calls = 0;
    Value first = rts::fun<2>([&calls](const Value& c, const Value&) {
        ++calls;
        return c;
    });
    GuardedBytes one("q");
    EXPECT_EQ(charOf(rts::force(unpackFoldrCString_hash(one.addr(), first, vt::failing()))), 'q');
    EXPECT_EQ(calls, 1);
}

TEST(NBytes, CountsBytesNotTerminators) {
    const char bytes[] = {'a', 0, 'b'};
    EXPECT_EQ(vt::code_points(unpackNBytes_hash(bytes, 3)), (std::vector<uint32_t>{'a', 0, 'b'}));
    EXPECT_EQ(rts::force(unpackNBytes_hash(bytes, 0))->tag, Nil_tag);
    for (int64_t negative : {int64_t(-2), INT64_MIN, INT64_MIN + 1})
        EXPECT_EQ(rts::force(unpackNBytes_hash(bytes, negative))->tag, Nil_tag) << negative;
    // Built at once: no cell is left suspended.
    Value list = unpackNBytes_hash(bytes, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(rts::is_evaluated(rts::field(list, 1)));
        Value next = rts::field(list, 1);
        list = next;
    }
}

namespace {
constinit StaticCString greeting{"hello"};
constinit StaticCStringUtf8 euro_sign{"\xE2\x82\xAC"};
}  // namespace

TEST(StaticLiteral, UnpacksOnFirstUseAndSharesTheList) {
    EXPECT_FALSE(rts::is_evaluated(greeting.value()));
    const Value& first = greeting.get();
    EXPECT_EQ(vt::to_string(first), "hello");
    EXPECT_TRUE(same(first, greeting.get()));
    EXPECT_TRUE(same(rts::force(greeting.value()), first));
    EXPECT_EQ(vt::code_points(euro_sign.get()), std::vector<uint32_t>{0x20AC});
}
