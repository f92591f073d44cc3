// The internal errors of the layout engine: each is reached by a hand-built document that breaks
// the reduced form (an unreduced composition, a union or nest where none may stand, an empty set
// of layouts), and raises an error exception whose text is the message, then its call stack.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "PrettyTesting.h"

using namespace pretty_testing;
using vux::testing::to_string;

namespace {

Value no() { return VUX::Types::False(); }
Value yes() { return VUX::Types::True(); }

// Nodes that a reduced document never holds, built directly.
Value badAbove() { return D::Above(t("x"), no(), t("y")); }
Value badBeside() { return D::Beside(t("x"), yes(), t("y")); }
// A line of text whose rest is `d`, so that the fault is met after some text.
Value after(const Value& d) { return D::TextBeside(D::NoAnnot_hash(D::Str(vux::testing::str("ab")), 2), d); }

Value styleOf(uint8_t mode) {
    return D::Style(Value::adopt(D::Mode_closure_tbl[mode]), I(80), VUX::Types::F_hash(1.0f));
}
// The whole rendering, forced to its last character.
void renderIn(uint8_t mode, const Value& d) { (void)to_string(D::renderStyle(styleOf(mode), d)); }
// The page display of a hand-made layout, forced to its last character.
void displayOf(const Value& laidOut) {
    (void)to_string(D::display(false, 0, 0, D::renderChunk_closure.value(), VUX::Types::Nil(), laidOut));
}
// The rest of a line built by a layout step, forced.
void forceRest(const Value& line) { (void)rts::force(rts::field(rts::force(line), 1)); }

// The text of the error exception that `f` raises ("" if it raises none).
std::string errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        return rts::display(e);
    }
    return "";
}

std::vector<std::string> linesOf(const std::string& s) {
    std::vector<std::string> lines;
    std::istringstream in(s);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct ErrorCase {
    const char* message;
    std::function<void()> reach;
};

Value nil() { return VUX::Types::Nil(); }

std::vector<ErrorCase> cases() {
    return {
        // The reduction's steps on reduced documents.
        {"aboveNest Above", [] { (void)D::aboveNest(badAbove(), no(), 0, D::empty()); }},
        {"aboveNest Beside", [] { (void)D::aboveNest(badBeside(), no(), 0, D::empty()); }},
        // Met through $$ once rendering reaches the end of the hand-built line.
        {"aboveNest Above", [] { renderIn(D::PageMode_tag, D::op_dollar_dollar(after(badAbove()), t("z"))); }},
        {"oneLiner Above", [] { (void)D::oneLiner(badAbove()); }},
        {"oneLiner Beside", [] { (void)D::oneLiner(badBeside()); }},
        {"fits Above", [] { (void)D::fits(10, after(badAbove())); }},
        {"fits Beside", [] { (void)D::fits(10, after(badBeside())); }},
        {"fits Union", [] { (void)D::fits(10, D::Union(t("a"), t("a"))); }},
        {"fits Nest", [] { (void)D::fits(10, after(D::Nest_hash(2, t("a")))); }},
        {"nonEmptySet Above", [] { (void)D::nonEmptySet(after(badAbove())); }},
        {"nonEmptySet Beside", [] { (void)D::nonEmptySet(D::Nest_hash(3, badBeside())); }},
        // Separators: directly, and through sep and fsep once the first line's rest is reached.
        {"sep1 Above", [] { (void)D::sep1(yes(), badAbove(), 0, nil()); }},
        {"sep1 Beside", [] { (void)D::sep1(no(), badBeside(), 0, nil()); }},
        {"sep1 Above", [] { forceRest(D::sep(docs({after(badAbove()), t("c")}))); }},
        {"fill1 Above", [] { (void)D::fill1(yes(), badAbove(), 0, nil()); }},
        {"fill1 Beside", [] { (void)D::fill1(no(), badBeside(), 0, nil()); }},
        {"fill1 Beside", [] { forceRest(D::fsep(docs({after(badBeside()), t("c")}))); }},
        // Layout choice: at the start of a line and inside one.
        {"best get Beside", [] { (void)D::best(80, 80, badBeside()); }},
        {"best get Above", [] { renderIn(D::PageMode_tag, D::NilAbove(badAbove())); }},
        {"best get1 Beside", [] { renderIn(D::ZigZagMode_tag, after(badBeside())); }},
        {"best get1 Above", [] { forceRest(D::best(80, 80, after(badAbove()))); }},
        // Display: the layout choice passes an empty set of layouts through unchanged.
        {"display lay NoDoc", [] { renderIn(D::PageMode_tag, D::NoDoc()); }},
        {"display lay NoDoc", [] { renderIn(D::PageMode_tag, D::op_dollar_dollar(t("a"), D::NoDoc())); }},
        {"display lay2 NoDoc", [] { renderIn(D::PageMode_tag, after(D::NoDoc())); }},
        {"display lay2 NoDoc", [] { renderIn(D::ZigZagMode_tag, after(D::Nest_hash(4, D::NoDoc()))); }},
        // The layout choice never passes these on; the display walk guards against them itself.
        {"display lay Union", [] { displayOf(D::Union(t("a"), t("b"))); }},
        {"display lay Beside", [] { displayOf(D::Nest_hash(1, badBeside())); }},
        {"display lay Above", [] { displayOf(D::NilAbove(badAbove())); }},
        {"display lay2 Union", [] { displayOf(after(D::Union(t("a"), t("b")))); }},
        {"display lay2 Beside", [] { displayOf(after(badBeside())); }},
        {"display lay2 Above", [] { displayOf(after(D::Nest_hash(2, badAbove()))); }},
        {"easyDisplay: NoDoc", [] { renderIn(D::LeftMode_tag, D::NoDoc()); }},
        {"easyDisplay: NoDoc", [] { renderIn(D::OneLineMode_tag, after(D::NoDoc())); }},
        {"easyDisplay Above", [] { renderIn(D::LeftMode_tag, after(badAbove())); }},
        {"easyDisplay Beside", [] { renderIn(D::OneLineMode_tag, D::Nest_hash(2, badBeside())); }},
    };
}

}  // namespace

TEST(InternalErrors, EachMessageWithItsCallStack) {
    for (const ErrorCase& c : cases()) {
        std::string text = errorText(c.reach);
        std::vector<std::string> lines = linesOf(text);
        ASSERT_GE(lines.size(), 3u) << c.message << ": got \"" << text << "\"";
        EXPECT_EQ(lines[0], c.message);
        EXPECT_EQ(lines[1], "CallStack (from HasCallStack):") << c.message;
        // The raising site: `error`, called in this library's module.
        EXPECT_EQ(lines[2].rfind("  error, called at ", 0), 0u) << c.message << ": " << lines[2];
        EXPECT_NE(lines[2].find("Text.PrettyPrint.Annotated.Drovane"), std::string::npos) << lines[2];

        // The exception is the language's error call: its message field holds the message alone.
        auto call = errorOf(c.reach);
        ASSERT_TRUE(call) << c.message;
        EXPECT_EQ(call->message, c.message);
    }
}

// Hand-built documents that the layout operations accept: the reduction reduces compositions that
// stand inside its input, and the nest, union and restriction steps pass every shape through.
TEST(InternalErrors, ReductionAcceptsUnreducedInput) {
    EXPECT_EQ(to_string(D::render(D::Beside(badAbove(), yes(), badBeside()))), "x\ny x y");
    EXPECT_EQ(to_string(D::render(D::op_dollar_dollar(badBeside(), badAbove()))), "x y\nx\ny");
    // Raised again on a second demand: the failure is kept, not retried into another result.
    Value broken = D::best(80, 80, after(badAbove()));
    const Value& rest = rts::field(rts::force(broken), 1);
    for (int i = 0; i < 2; ++i) {
        auto call = errorOf([&] { (void)rts::force(rest); });
        ASSERT_TRUE(call);
        EXPECT_EQ(call->message, "best get1 Above");
    }
}
