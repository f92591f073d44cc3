// Documents under hostile use: deep compositions on an ordinary thread end in the catchable
// stack-overflow exception, values of the wrong type give an error or a wrong text, extreme
// styles cost no memory, and rendering produces its first characters before the rest is demanded.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <functional>
#include <string>

#include "PrettyTesting.h"
#include "VUX/Internal/List.h"
#include "rts/Stack.h"

using namespace pretty_testing;
using VUX::Types::F_hash;

namespace {

constexpr int64_t kDepth = 100'000;

// Runs `body` with the calling thread's stack limited to a quarter megabyte below this frame.
void onSmallStack(const std::function<void()>& body) {
    struct Limit {
        uintptr_t previous = rts::limit_stack_depth(256 * 1024);
        ~Limit() { rts::restore_stack_limit(previous); }
    } limit;
    body();
}

// The runtime kind of the exception `body` raises (None when it raises none).
rts::RtsError raisedKind(const std::function<void()>& body) {
    try {
        body();
    } catch (const rts::Exception& e) {
        return e.kind();
    }
    return rts::RtsError::None;
}

// At most `n` characters from the front of a rendered text; nothing after them is demanded.
std::string front(Value text, size_t n) {
    std::string out;
    while (out.size() < n) {
        const Value& cell = rts::force(text);
        if (cell->tag == VUX::Types::Nil_tag) break;
        out.push_back(static_cast<char>(VUX::Types::charOf(rts::force(rts::field(cell, 0)))));
        Value next = rts::field(cell, 1);
        text = std::move(next);
    }
    return out;
}
std::string whole(const Value& text) { return front(text, SIZE_MAX); }

Value renderWith(const Value& mode, Value lineLength, Value ribbons, const Value& doc) {
    return D::renderStyle(D::Style(mode, std::move(lineLength), std::move(ribbons)), doc);
}

// ---------------------------------------------------------------------------------------------
// Deep compositions

struct DeepCase {
    const char* name;
    std::function<Value()> build;
    std::function<std::string()> expected;
};

Value leftChain(Value (*compose)(const Value&, const Value&)) {
    Value acc = t("a");
    for (int64_t i = 1; i < kDepth; ++i) acc = compose(acc, t("b"));
    return acc;
}

const DeepCase kDeepCases[] = {
    {"NestedBrackets",
     [] {
         Value acc = t("x");
         for (int64_t i = 0; i < kDepth; ++i) acc = D::brackets(acc);
         return acc;
     },
     [] { return std::string(kDepth, '[') + "x" + std::string(kDepth, ']'); }},
    {"LeftBesideChain", [] { return leftChain(&D::op_lt_gt); },
     [] { return "a" + std::string(kDepth - 1, 'b'); }},
    {"LeftSpacedChain", [] { return leftChain(&D::op_lt_plus_gt); },
     [] {
         std::string s = "a";
         for (int64_t i = 1; i < kDepth; ++i) s += " b";
         return s;
     }},
    {"LeftAboveChain", [] { return leftChain(&D::op_dollar_dollar); },
     [] {
         std::string s = "a";
         for (int64_t i = 1; i < kDepth; ++i) s += "\nb";
         return s;
     }},
};

class Deep : public ::testing::TestWithParam<DeepCase> {};

TEST_P(Deep, OverflowsCatchablyOnASmallStackAndRendersOnTheLargeOne) {
    const DeepCase& dc = GetParam();
    Value doc = dc.build();
    onSmallStack(
        [&] { EXPECT_EQ(raisedKind([&] { whole(D::render(doc)); }), rts::RtsError::StackOverflow); });
    // The thread works on, and the same document renders where the stack is large enough.
    EXPECT_EQ(whole(D::render(t("ok"))), "ok");
    std::string text;
    rts::run_on_large_stack([&] { text = whole(D::render(doc)); });
    EXPECT_EQ(text, dc.expected());
}

// On the thread's own stack, without a lowered limit: the text, or the exception, never a crash.
TEST_P(Deep, NeverCrashesOnTheThreadsOwnStack) {
    const DeepCase& dc = GetParam();
    std::string text;
    rts::RtsError kind = raisedKind([&] { text = whole(D::render(dc.build())); });
    if (kind == rts::RtsError::None)
        EXPECT_EQ(text, dc.expected());
    else
        EXPECT_EQ(kind, rts::RtsError::StackOverflow);
}

INSTANTIATE_TEST_SUITE_P(HundredThousand, Deep, ::testing::ValuesIn(kDeepCases),
                         [](const ::testing::TestParamInfo<DeepCase>& info) {
                             return std::string(info.param.name);
                         });

// sep and fill skip the empty documents in front of a list without taking stack.
TEST(LeadingEmpties, SixtyThousandAreSkippedOnASmallStack) {
    struct Case {
        const char* name;
        Value (*separate)(const Value&);
        const char* expected;
    };
    const Case cases[] = {
        {"sep", &D::sep, "a b"}, {"cat", &D::cat, "ab"}, {"fsep", &D::fsep, "a b"}, {"fcat", &D::fcat, "ab"}};
    std::vector<Value> members(60'000, D::empty());
    members.push_back(t("a"));
    members.push_back(t("b"));
    Value list = VUX::Internal::List::fromValues(members);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text;
        onSmallStack([&] { text = whole(D::render(c.separate(list))); });
        EXPECT_EQ(text, c.expected);
    }
}

// ---------------------------------------------------------------------------------------------
// Values of the wrong type

TEST(Misuse, ADocumentWhereAListIsExpectedRaisesAnError) {
    struct Case {
        const char* name;
        std::function<Value(const Value&)> use;
    };
    const Case cases[] = {
        {"sep", [](const Value& d) { return D::sep(d); }},
        {"fcat", [](const Value& d) { return D::fcat(d); }},
        {"hsep", [](const Value& d) { return D::hsep(d); }},
        {"vcat", [](const Value& d) { return D::vcat(d); }},
        {"punctuate", [](const Value& d) { return D::vcat(D::punctuate(D::comma(), d)); }},
        {"text", [](const Value& d) { return D::text(d); }},
        {"zeroWidthText", [](const Value& d) { return D::zeroWidthText(d); }},
    };
    const Value notLists[] = {t("x"), D::nest(I(2), t("x")), D::op_dollar_dollar(t("x"), t("y"))};
    for (const Case& c : cases) {
        for (const Value& d : notLists) {
            SCOPED_TRACE(c.name);
            auto error = errorOf([&] { whole(D::render(c.use(d))); });
            ASSERT_TRUE(error.has_value());
            EXPECT_NE(error->message.find("not a list"), std::string::npos) << error->message;
        }
    }
}

TEST(Misuse, ValuesOfOtherTypesWhereADocumentIsExpectedRaiseAnError) {
    const Value notDocuments[] = {
        VUX::Types::Cons(I(1), I(2)),                       // a pair-like value with a document's tag
        D::Style(D::PageMode_closure.value(), I(1), I(2)),  // three fields, tag 0
        VUX::Types::I_hash(7),                              // a number
        VUX::Types::Cons(t("x"), VUX::Types::Nil()),        // a list of documents
    };
    const std::function<Value(const Value&)> uses[] = {
        [](const Value& v) { return v; },
        [](const Value& v) { return D::op_lt_gt(t("a"), v); },
        [](const Value& v) { return D::op_dollar_dollar(v, t("a")); },
        [](const Value& v) {
            return D::sep(docs({t("a"), v}));
        },
    };
    for (const Value& v : notDocuments) {
        for (const auto& use : uses) {
            auto error = errorOf([&] { whole(D::render(use(v))); });
            ASSERT_TRUE(error.has_value());
            EXPECT_NE(error->message.find("not a document"), std::string::npos) << error->message;
        }
    }
}

// A float read as an Int gives an absurd but finite number: the text stays right, or is merely
// wrong, and nothing is built that the output does not need.
TEST(Misuse, AFloatWhereAnIntIsExpectedGivesAWrongTextNotAnExhaustedMemory) {
    Value doc = D::op_dollar_dollar(t("a"), t("b"));
    for (const Value& mode : {D::PageMode_closure.value(), D::ZigZagMode_closure.value()})
        EXPECT_EQ(whole(renderWith(mode, F_hash(80.0f), F_hash(1.5f), doc)), "a\nb");
    // A nest of about a billion columns: its first characters are spaces, produced on demand.
    EXPECT_EQ(front(D::render(D::nest(F_hash(2.5f), t("x"))), 64), std::string(64, ' '));
}

// ---------------------------------------------------------------------------------------------
// Extreme styles

TEST(Styles, HugeLinesAndTinyRibbonsCostNoMemoryInPageMode) {
    struct Case {
        const char* name;
        int64_t lineLength;
        float ribbons;
        const char* expected;  // a negative ribbon leaves no room on any line
    };
    const Case cases[] = {{"HundredMillion", 100'000'000, 1.5f, "x y"},
                          {"LargestInt", INT64_MAX, 1.5f, "x y"},
                          {"TinyNegativeRibbons", 100, -FLT_MIN, "x\ny"},
                          {"LargestIntTinyNegativeRibbons", INT64_MAX, -FLT_TRUE_MIN, "x\ny"},
                          {"LargestIntTinyRibbons", INT64_MAX, FLT_TRUE_MIN, "x y"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint64_t before = rts::thread_allocated_bytes();
        std::string text = whole(renderWith(D::PageMode_closure.value(), I(c.lineLength), F_hash(c.ribbons),
                                            D::sep(docs({t("x"), t("y")}))));
        EXPECT_EQ(text, c.expected);
        EXPECT_LT(rts::thread_allocated_bytes() - before, 1u << 20);
    }
}

// ---------------------------------------------------------------------------------------------
// Incremental rendering

// The text of the front of a document comes out before a later part, which fails when demanded,
// is evaluated: composing and reducing do not evaluate what follows ahead of the output.
TEST(Incremental, FirstCharactersComeOutBeforeAFailingLaterPart) {
    using VUX::Types::Cons;
    Value bad = vux::testing::failing();
    // A document whose first chunk is "def" and whose rest fails.
    Value partial = D::TextBeside(D::NoAnnot_hash(D::Str(vux::testing::str("def")), 3), bad);
    struct Case {
        const char* name;
        Value doc;
    };
    const Case cases[] = {
        {"<>", D::op_lt_gt(t("abc"), partial)},
        {"<+>", D::op_lt_plus_gt(t("abc"), partial)},
        {"$$", D::op_dollar_dollar(t("abc"), partial)},
        {"NestedBeside", D::op_lt_gt(t("ab"), D::op_lt_gt(t("c"), partial))},
        {"BesideOfAbove", D::op_lt_gt(D::op_dollar_dollar(t("abc"), t("d")), partial)},
        {"hcatOfAFailingList", D::hcat(Cons(t("abc"), bad))},
        {"vcatOfAFailingList", D::vcat(Cons(t("abc"), Cons(t("def"), bad)))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Value text = D::render(c.doc);
        EXPECT_EQ(front(text, 3), "abc");
        try {
            whole(text);
            ADD_FAILURE() << "the failing part was never demanded";
        } catch (const rts::Exception& e) {
            EXPECT_TRUE(vux::testing::is_failure(e));
        }
    }
}

}  // namespace
