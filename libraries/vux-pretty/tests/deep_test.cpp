// Very long compositions: a million lines composed with $$ and a million chunks composed with <>,
// each folded from the left (deep left spine) and from the right (deep right spine), are reduced
// and rendered on the runtime's large-stack thread, and the whole text comes out.
#include <gtest/gtest.h>

#include <string>

#include "PrettyTesting.h"
#include "rts/Stack.h"

using namespace pretty_testing;

namespace {

constexpr int64_t kCount = 1'000'000;

// A few shared chunks of different widths; member i of a composition is chunk i % kChunks.
const char* const kChunkTexts[] = {"a", "bc", "def", "ghij", "k"};
constexpr int64_t kChunks = 5;

enum class Composition { Above, Beside };
enum class Fold { Left, Right };

struct DeepCase {
    const char* name;
    Composition composition;
    Fold fold;
};

// Summary of a text: its length, line count and a position-sensitive hash.
struct TextSummary {
    uint64_t length = 0, lines = 1, hash = 1469598103934665603ull;
    void add(char c) {
        ++length;
        if (c == '\n') ++lines;
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    bool operator==(const TextSummary&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TextSummary& s) {
    return os << "{length " << s.length << ", lines " << s.lines << ", hash " << s.hash << "}";
}

TextSummary expected(Composition c) {
    TextSummary s;
    for (int64_t i = 0; i < kCount; ++i) {
        if (i > 0 && c == Composition::Above) s.add('\n');
        for (const char* p = kChunkTexts[i % kChunks]; *p; ++p) s.add(*p);
    }
    return s;
}

Value compose(Composition c, const Value& a, const Value& b) {
    return c == Composition::Above ? D::op_dollar_dollar(a, b) : D::op_lt_gt(a, b);
}

Value build(const DeepCase& dc) {
    std::vector<Value> chunks;
    for (const char* s : kChunkTexts) chunks.push_back(t(s));
    if (dc.fold == Fold::Left) {
        Value acc = chunks[0];
        for (int64_t i = 1; i < kCount; ++i) acc = compose(dc.composition, acc, chunks[i % kChunks]);
        return acc;
    }
    Value acc = chunks[(kCount - 1) % kChunks];
    for (int64_t i = kCount - 1; i-- > 0;) acc = compose(dc.composition, chunks[i % kChunks], acc);
    return acc;
}

// Consumes a rendered string cell by cell, keeping no reference to what was read.
TextSummary consume(Value text) {
    TextSummary s;
    for (;;) {
        const Value& cell = rts::force(text);
        if (cell->tag == VUX::Types::Nil_tag) return s;
        s.add(static_cast<char>(VUX::Types::charOf(rts::force(rts::field(cell, 0)))));
        Value next = rts::field(cell, 1);
        text = std::move(next);
    }
}

class Deep : public ::testing::TestWithParam<DeepCase> {};

}  // namespace

TEST_P(Deep, ReducesAndRendersWithoutOverflow) {
    const DeepCase dc = GetParam();
    TextSummary got;
    rts::run_on_large_stack([&] {
        Value rendered;
        {
            Value doc = build(dc);
            // The reduced document starts with the first chunk whatever the nesting of the chain.
            const Value& reduced = rts::force(D::reduceDoc(doc));
            ASSERT_EQ(reduced->tag, D::TextBeside_tag);
            rendered = D::render(doc);
        }
        got = consume(std::move(rendered));
    });
    EXPECT_EQ(got, expected(dc.composition));
}

INSTANTIATE_TEST_SUITE_P(MillionMembers, Deep,
                         ::testing::Values(DeepCase{"LinesFoldedFromTheLeft", Composition::Above, Fold::Left},
                                           DeepCase{"LinesFoldedFromTheRight", Composition::Above, Fold::Right},
                                           DeepCase{"ChunksFoldedFromTheLeft", Composition::Beside, Fold::Left},
                                           DeepCase{"ChunksFoldedFromTheRight", Composition::Beside, Fold::Right}),
                         [](const ::testing::TestParamInfo<DeepCase>& info) { return std::string(info.param.name); });

// A line of a million empty texts, made on demand, as the first alternative of a choice: the test
// of whether it fits walks the whole line, which never runs out of width, in a small stack.
TEST(Deep, ChoiceOverALongLineOfEmptyTextsInASmallStack) {
    struct SmallStack {
        uintptr_t previous = rts::limit_stack_depth(256 * 1024);
        ~SmallStack() { rts::restore_stack_limit(previous); }
    } small;
    Value line = D::hcat(VUX::Internal::List::replicate(kCount, t("")));
    Value doc = D::sep(VUX::Internal::List::fromValues({line, t("x")}));
    EXPECT_EQ(VUX::Internal::List::toUtf8(D::render(doc)), " x");
}
