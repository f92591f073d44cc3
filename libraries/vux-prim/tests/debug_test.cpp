// Debug output: the exact bytes written for a character list, on the right stream, and nothing at
// all when the list or one of its characters fails.
#include <string>

#include <gtest/gtest.h>

#include "Testing.h"
#include "VUX/Debug.h"
#include "VUX/Magic.h"
#include "VUX/Tuple.h"

namespace {

using rts::Value;
using namespace VUX::Types;
using namespace vux::testing;

// Runs an action and returns its result.
Value run(const Value& action) { return rts::apply(action, VUX::Magic::realWorld_hash()); }

Value chars(const std::vector<uint32_t>& code_points) {
    std::vector<Value> items;
    for (uint32_t c : code_points) items.push_back(C_hash(c));
    return list(items);
}

struct Written {
    std::string out, err;
};

// Runs `body`, returning what it wrote to each stream; `threw` tells whether it raised.
template <class Body>
Written capture(Body body, bool* threw = nullptr) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    bool raised = false;
    try {
        body();
    } catch (const rts::Exception&) {
        raised = true;
    }
    Written w;
    w.out = ::testing::internal::GetCapturedStdout();
    w.err = ::testing::internal::GetCapturedStderr();
    if (threw) *threw = raised;
    return w;
}

// Runs the action, checking that its result is unit.
Written capture_run(const Value& action, bool* threw = nullptr) {
    return capture(
        [&] {
            Value result = run(action);
            EXPECT_EQ(rts::force(result)->tag, VUX::Tuple::Unit_tag);
        },
        threw);
}

struct LineCase {
    const char* what;
    std::vector<uint32_t> code_points;
    std::string bytes;  // written before the newline
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }

class DebugLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(DebugLine, StandardOutputGetsTheLowByteOfEachCharacter) {
    const LineCase& c = GetParam();
    Written w = capture_run(VUX::Debug::debugLn(chars(c.code_points)));
    EXPECT_EQ(w.out, c.bytes + "\n");
    EXPECT_EQ(w.err, "");
}

TEST_P(DebugLine, StandardErrorGetsTheSameBytes) {
    const LineCase& c = GetParam();
    Written w = capture_run(VUX::Debug::debugErrLn(chars(c.code_points)));
    EXPECT_EQ(w.err, c.bytes + "\n");
    EXPECT_EQ(w.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DebugLine,
    ::testing::Values(LineCase{"the empty list", {}, ""},
                      LineCase{"plain text", {'h', 'e', 'y', ' ', '!'}, "hey !"},
                      LineCase{"Latin-1 is written raw, not as UTF-8", {0xE9, 0x80, 0xFF}, "\xE9\x80\xFF"},
                      LineCase{"U+0141 keeps its low byte", {0x141}, "A"},
                      LineCase{"U+20AC keeps its low byte", {'x', 0x20AC, 'y'}, "x\xACy"},
                      LineCase{"a character 0 ends the text", {'a', 'b', 0, 'c', 'd'}, "ab"},
                      LineCase{"so does a character whose low byte is 0", {'a', 0x100, 'b'}, "a"},
                      LineCase{"a leading 0 leaves just the newline", {0, 'z'}, ""},
                      LineCase{"an embedded newline is written as it is", {'a', '\n', 'b'}, "a\nb"}));

TEST(DebugLine, AFailingCharacterWritesNothingAndPropagates) {
    Value text = Cons(C_hash('a'), Cons(C_hash('b'), Cons(failing("third"), str("de"))));
    for (Value action : {VUX::Debug::debugLn(text), VUX::Debug::debugErrLn(text)}) {
        bool failed_on_third = false;
        Written w = capture([&] {
            try {
                run(action);
            } catch (const rts::Exception& e) {
                failed_on_third = is_failure(e, "third");
            }
        });
        EXPECT_TRUE(failed_on_third);
        EXPECT_EQ(w.out, "");
        EXPECT_EQ(w.err, "");
    }
}

TEST(DebugLine, AFailingSpineWritesNothingAndPropagates) {
    bool threw = false;
    Written w = capture_run(VUX::Debug::debugLn(Cons(C_hash('a'), Cons(C_hash('b'), failing()))), &threw);
    EXPECT_TRUE(threw);
    EXPECT_EQ(w.out, "");
}

TEST(DebugLine, BuildingTheActionEvaluatesNothingAndEachRunWritesALine) {
    Counter list_runs, char_runs;
    Value text = counting(list_runs, Cons(counting(char_runs, C_hash('q')), Nil()));
    Value action = VUX::Debug::debugLn(text);
    EXPECT_EQ(list_runs.count(), 0);
    EXPECT_EQ(capture_run(action).out, "q\n");
    EXPECT_EQ(capture_run(action).out, "q\n");
    EXPECT_EQ(list_runs.count(), 1);  // shared: the second run finds the list evaluated
    EXPECT_EQ(char_runs.count(), 1);
}

TEST(DebugLine, TheFunctionTakesTheListAndTheStateToken) {
    Value result;
    Written w = capture([&] {
        result =
            rts::apply(VUX::Debug::debugErrLn_closure.value(), str("direct"), VUX::Magic::realWorld_hash());
    });
    EXPECT_EQ(w.err, "direct\n");
    EXPECT_EQ(rts::force(result)->tag, VUX::Tuple::Unit_tag);
}

TEST(DebugLine, ALongListIsWalkedWithoutDeepRecursion) {
    std::string text(1'000'000, ' ');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    EXPECT_EQ(capture_run(VUX::Debug::debugLn(str(text))).out, text + "\n");
}

}  // namespace
