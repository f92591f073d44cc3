// Box labels (equality, order, text forms, reader, hashes) and the tree of coverage entries.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "Data/Tree.h"
#include "Testing.h"
#include "Trace/Cover/Mix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

using namespace Trace::Cover::Mix;
using Trace::Cover::Util::P;
using Trace::Cover::Util::Span;
using vux::testing::list;
using vux::testing::str;
using vux::testing::to_string;
using VUX::Types::False;
using VUX::Types::Nil;
using VUX::Types::True;
namespace Read = VUX::Internal::Read;
namespace Show = VUX::Internal::Show;
namespace Util = Trace::Cover::Util;

namespace {

Value names(std::initializer_list<const char*> ns) {
    std::vector<Value> items;
    for (const char* n : ns) items.push_back(vux::testing::utf8(n));
    return list(items);
}

std::string shownAt(int64_t d, const Value& label) {
    return to_string(Show::showsPrec(inst_Show_BoxLabel(), d, label, Nil()));
}

// The labels that read from the whole text (up to white space) at a precedence.
std::vector<Value> readsAt(const Value& dRead, int64_t d, const std::string& text) {
    std::vector<Value> out;
    for (const Value& p : vux::testing::items(Read::readsPrec(dRead, d, str(text)))) {
        const Value& pair = rts::force(p);
        if (to_string(rts::field(pair, 1)).find_first_not_of(" ") == std::string::npos)
            out.push_back(rts::field(pair, 0));
    }
    return out;
}

bool equal(const Value& a, const Value& b) {
    return VUX::Types::isTrue(rts::apply(VUX::Classes::op_eq_eq(inst_Eq_BoxLabel()), a, b));
}

TEST(BoxLabel, TextAtPrecedenceZeroAndEleven) {
    struct Row {
        Value label;
        const char* text;
    };
    const Row rows[] = {
        {ExpBox(True()), "ExpBox True"},
        {ExpBox(False()), "ExpBox False"},
        {TopLevelBox(names({"f", "go"})), "TopLevelBox [\"f\",\"go\"]"},
        {LocalBox(Nil()), "LocalBox []"},
        {BinBox(QualBinBox(), False()), "BinBox QualBinBox False"},
        {BinBox(GuardBinBox(), True()), "BinBox GuardBinBox True"},
        {TopLevelBox(names({"a\"b\\c", "caf\xC3\xA9", "t\tab"})),
         "TopLevelBox [\"a\\\"b\\\\c\",\"caf\\233\",\"t\\tab\"]"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(shownAt(0, r.label), r.text);
        EXPECT_EQ(shownAt(11, r.label), std::string("(") + r.text + ")");
        // Every text reads back as an equal value.
        auto back = readsAt(inst_Read_BoxLabel(), 0, r.text);
        ASSERT_EQ(back.size(), 1u) << r.text;
        EXPECT_TRUE(equal(back[0], r.label)) << r.text;
    }
    for (int64_t d : {0, 11})
        EXPECT_EQ(to_string(Show::showsPrec(inst_Show_CondBox(), d, GuardBinBox(), Nil())), "GuardBinBox");
    EXPECT_EQ(to_string(Show::showList(inst_Show_BoxLabel(), list({ExpBox(True()), LocalBox(Nil())}), Nil())),
              "[ExpBox True,LocalBox []]");
}

TEST(BoxLabel, Reader) {
    struct Row {
        int64_t d;
        const char* text;
        bool reads;
    };
    const Row rows[] = {
        {0, " ( (BinBox  CondBinBox\nFalse) ) ", true},
        {10, "ExpBox True", true},
        {11, "ExpBox True", false},  // a label with fields needs parentheses here
        {11, "(ExpBox True)", true},
        {0, "ExpBoxes True", false},  // identifiers are whole tokens
        {0, "ExpBox Truely", false},
        {0, "ExpBox", false},  // the Bool is missing
        {0, "BinBox True QualBinBox", false},
        {0, "BinBox (QualBinBox) (True)", true},
        {0, "TopLevelBox [ \"x\" , \"y\" ]", true},
        {0, "TopLevelBox [x]", false},
        {0, "LocalBox \"ab\"", false},  // a string literal is no list of names
    };
    for (const Row& r : rows) {
        EXPECT_EQ(readsAt(inst_Read_BoxLabel(), r.d, r.text).size(), r.reads ? 1u : 0u)
            << r.d << " " << r.text;
    }
    // A label without fields reads at every precedence, also inside parentheses.
    for (const char* text : {"GuardBinBox", "((QualBinBox))"})
        EXPECT_EQ(readsAt(inst_Read_CondBox(), 11, text).size(), 1u) << text;
    EXPECT_TRUE(readsAt(inst_Read_CondBox(), 11, "GuardBinBoxes").empty());
    Value both =
        Read::read(Read::inst_Read_List(inst_Read_BoxLabel()), str("[ExpBox True, LocalBox [\"l\"]]"));
    auto items = vux::testing::items(both);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(equal(items[1], LocalBox(names({"l"}))));
}

TEST(BoxLabel, EqualityAndOrder) {
    // Ascending; each label compared with each.
    const Value ascending[] = {
        ExpBox(False()),
        ExpBox(True()),
        TopLevelBox(Nil()),
        TopLevelBox(names({"a"})),
        TopLevelBox(names({"a", "b"})),
        TopLevelBox(names({"b"})),
        LocalBox(Nil()),
        LocalBox(names({"a"})),
        BinBox(GuardBinBox(), False()),
        BinBox(GuardBinBox(), True()),
        BinBox(CondBinBox(), False()),
        BinBox(CondBinBox(), True()),
        BinBox(QualBinBox(), False()),
        BinBox(QualBinBox(), True()),
    };
    Value d = inst_Ord_BoxLabel();
    for (size_t i = 0; i < std::size(ascending); ++i)
        for (size_t j = 0; j < std::size(ascending); ++j) {
            uint8_t expected = i < j ? VUX::Types::LT_tag : i == j ? VUX::Types::EQ_tag : VUX::Types::GT_tag;
            EXPECT_EQ(rts::force(rts::apply(VUX::Classes::compare(d), ascending[i], ascending[j]))->tag,
                      expected)
                << i << " " << j;
            EXPECT_EQ(equal(ascending[i], ascending[j]), i == j);
        }
    // Equal values: max gives the second, min the first.
    Value x = TopLevelBox(names({"f"})), y = TopLevelBox(names({"f"}));
    EXPECT_TRUE(rts::same(rts::apply(VUX::Classes::max(d), x, y), rts::force(y)));
    EXPECT_TRUE(rts::same(rts::apply(VUX::Classes::min(d), x, y), rts::force(x)));
    // Fields are examined only when the constructors agree and no earlier field decided.
    Value failing = vux::testing::failing();
    EXPECT_FALSE(equal(ExpBox(failing), LocalBox(failing)));
    EXPECT_FALSE(equal(BinBox(GuardBinBox(), failing), BinBox(QualBinBox(), failing)));
    EXPECT_EQ(
        rts::force(rts::apply(VUX::Classes::compare(inst_Ord_CondBox()), QualBinBox(), CondBinBox()))->tag,
        VUX::Types::GT_tag);
}

TEST(BoxLabel, Hashes) {
    struct Row {
        Value label;
        uint32_t hash;
    };
    const Row rows[] = {
        {ExpBox(False()), 256},
        {ExpBox(True()), 257},
        {TopLevelBox(Nil()), 5893},
        {LocalBox(Nil()), 6149},
        {BinBox(GuardBinBox(), False()), 1552},
        {BinBox(GuardBinBox(), True()), 1553},
        {BinBox(CondBinBox(), False()), 2080},
        {BinBox(CondBinBox(), True()), 2081},
        {BinBox(QualBinBox(), False()), 2608},
        {BinBox(QualBinBox(), True()), 2609},
        {TopLevelBox(names({"f"})), 614},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Util::hashOf(inst_CoverHash_BoxLabel(), r.label), r.hash) << shownAt(0, r.label);
    const uint32_t condHashes[] = {16, 32, 48};
    const Value conds[] = {GuardBinBox(), CondBinBox(), QualBinBox()};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Util::hashOf(inst_CoverHash_CondBox(), conds[i]), condHashes[i]);
    // TopLevelBox and LocalBox of the same names differ by 256, modulo 2^32.
    for (auto ns : {names({"main"}), names({"\xE2\x82\xAC", "go", ""})}) {
        uint32_t top = Util::hashOf(inst_CoverHash_BoxLabel(), TopLevelBox(ns));
        EXPECT_EQ(Util::hashOf(inst_CoverHash_BoxLabel(), LocalBox(ns)) - top, 256u);
    }
}

// ---------------------------------------------------------------------------------------------
// The tree of entries

// Labels are failing values, told apart by identity: the tree must never demand one.
struct Labels {
    std::vector<Value> values;
    Value operator[](size_t i) {
        while (values.size() <= i) values.push_back(vux::testing::failing("label demanded"));
        return values[i];
    }
    std::string nameOf(const Value& v) const {
        for (size_t i = 0; i < values.size(); ++i)
            if (rts::same(v, values[i])) return std::string(1, char('a' + i));
        return "?";
    }
};

Value entry(Span s, const Value& label) {
    return VUX::Tuple::Tuple2(P(s.startLine, s.startCol, s.endLine, s.endCol), label);
}

// "l1:c1-l2:c2[labels]{children}" for each tree, separated by spaces.
std::string describe(const Value& forest, const Labels& labels) {
    std::string out;
    for (const Value& tree : vux::testing::items(forest)) {
        const Value& root = rts::force(Data::Tree::rootLabel(tree));
        if (!out.empty()) out += " ";
        out += to_string(Show::showsPrec(Util::inst_Show_CoverPos(), 0, rts::field(root, 0), Nil())) + "[";
        for (const Value& l : vux::testing::items(rts::field(root, 1))) out += labels.nameOf(l);
        out += "]";
        std::string children = describe(Data::Tree::subForest(tree), labels);
        if (!children.empty()) out += "{" + children + "}";
    }
    return out;
}

struct Case {
    const char* what;
    std::vector<Span> spans;  // entry i gets label i ('a', 'b', ...)
    const char* forest;
};

TEST(EntryTree, Placement) {
    const Span s1{1, 1, 1, 5}, s2{2, 1, 2, 5}, outer{1, 1, 9, 9}, left{1, 1, 1, 10}, right{1, 5, 1, 15},
        mid{1, 5, 1, 10};
    const Case cases[] = {
        {"empty", {}, ""},
        {"same span", {s1, s1}, "1:1-1:5[ab]"},
        {"disjoint, repeated", {s1, s2, s1}, "2:1-2:5[b] 1:1-1:5[ac]"},
        {"outer first", {outer, s1, s2}, "1:1-9:9[a]{1:1-1:5[b] 2:1-2:5[c]}"},
        {"outer last", {s1, s2, outer}, "1:1-9:9[c]{1:1-1:5[a] 2:1-2:5[b]}"},
        {"outer in the middle", {s1, outer, s2}, "1:1-9:9[b]{1:1-1:5[a] 2:1-2:5[c]}"},
        {"inside two later siblings",
         {mid, left, right},
         "1:1-1:10[b]{1:5-1:10[a]} 1:5-1:15[c]{1:5-1:10[a]}"},
        {"inside two earlier siblings", {left, right, mid}, "1:1-1:10[a] 1:5-1:15[b]{1:5-1:10[c]}"},
        {"end before start", {{5, 5, 1, 1}, {5, 5, 1, 1}, s1}, "1:1-1:5[c]{5:5-1:1[ab]}"},
        {"nested three deep",
         {{1, 1, 1, 3}, {1, 1, 1, 9}, {1, 1, 1, 5}},
         "1:1-1:9[b]{1:1-1:5[c]{1:1-1:3[a]}}"},
    };
    for (const Case& c : cases) {
        Labels labels;
        std::vector<Value> entries;
        for (size_t i = 0; i < c.spans.size(); ++i) entries.push_back(entry(c.spans[i], labels[i]));
        Value forest = createMixEntryDom(list(entries));
        EXPECT_EQ(describe(forest, labels), c.forest) << c.what;
        EXPECT_TRUE(isGoodForest(forest)) << c.what;
    }
}

// A forest from "span{children}" descriptions, for the check.
Value tree(Span s, std::vector<Value> children = {}) {
    return Data::Tree::Node(VUX::Tuple::Tuple2(P(s.startLine, s.startCol, s.endLine, s.endCol), Nil()),
                            list(children));
}

TEST(EntryTree, CheckOfForests) {
    const Span outer{1, 1, 9, 9}, a{1, 1, 1, 10}, b{1, 5, 1, 15}, inA{1, 2, 1, 3};
    struct Row {
        const char* what;
        Value forest;
        bool good;
    };
    const Row rows[] = {
        {"empty", Nil(), true},
        {"overlapping siblings", list({tree(a), tree(b)}), true},
        {"nested", list({tree(outer, {tree(a, {tree(inA)}), tree(b)})}), true},
        {"child of equal span", list({tree(a, {tree(a)})}), false},
        {"child outside its parent", list({tree(a, {tree(b)})}), false},
        {"nested siblings", list({tree(inA), tree(a)}), false},
        {"equal siblings", list({tree(b), tree(a), tree(b)}), false},
        {"bad forest deeper down", list({tree(outer, {tree(a, {tree(inA), tree(inA)})})}), false},
    };
    for (const Row& r : rows) EXPECT_EQ(isGoodForest(r.forest), r.good) << r.what;
}

TEST(EntryTree, TooDeepForTheStackIsTheCatchableOverflow) {
    std::vector<Value> nested;
    const int64_t n = 100000;
    for (int64_t i = 0; i < n; ++i)
        nested.push_back(entry({1, 1 + i, 2 * n, 2 * n - i}, vux::testing::failing()));
    try {
        createMixEntryDom(list(nested));
        FAIL() << "built a forest " << n << " deep on an ordinary stack";
    } catch (const rts::Exception& e) {
        EXPECT_EQ(rts::display(e), "stack overflow");
    }
}

TEST(EntryTree, RandomOverlappingSpansAlwaysGiveGoodForests) {
    // Every entry ends up somewhere with its label; the check never fails on built forests.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int64_t> pos(0, 6);
    for (int round = 0; round < 200; ++round) {
        Labels labels;
        std::vector<Value> entries;
        for (size_t i = 0; i < 12; ++i) {
            int64_t l1 = pos(rng), c1 = pos(rng), l2 = pos(rng), c2 = pos(rng);
            entries.push_back(entry({std::min(l1, l2), c1, std::max(l1, l2), c2}, labels[i]));
        }
        Value forest = createMixEntryDom(list(entries));
        ASSERT_TRUE(isGoodForest(forest)) << round;
        std::string text = describe(forest, labels);
        for (size_t i = 0; i < 12; ++i)
            EXPECT_NE(text.find(labels.nameOf(labels.values[i])), std::string::npos);
    }
}

TEST(EntryTree, TenThousandSiblingsAndNestedEntries) {
    // Disjoint spans are all siblings of one level, the worst case of the quadratic insertion and
    // check; nested spans make one chain.
    const int64_t n = 10000;
    std::vector<Value> disjoint, nested;
    Value label = vux::testing::failing("label demanded");
    for (int64_t i = 0; i < n; ++i) {
        disjoint.push_back(entry({i + 1, 1, i + 1, 80}, label));
        nested.push_back(entry({1, 1 + i, 2 * n, 2 * n - i}, label));
    }
    auto start = std::chrono::steady_clock::now();
    Value flat = createMixEntryDom(list(disjoint));
    auto built = std::chrono::steady_clock::now();
    EXPECT_TRUE(isGoodForest(flat));
    auto checked = std::chrono::steady_clock::now();
    // Building includes one check; the ratio shows what the insertion adds to it.
    double ratio =
        std::chrono::duration<double>(built - start) / std::chrono::duration<double>(checked - built);
    RecordProperty("build_to_check_ratio_10000_siblings", std::to_string(ratio));
    std::printf("10^4 sibling entries: building takes %.2f times one check of the forest (%.3f s)\n", ratio,
                std::chrono::duration<double>(built - start).count());
    auto level = vux::testing::items(flat);
    ASSERT_EQ(level.size(), size_t(n));
    EXPECT_EQ(Util::spanOf(rts::field(rts::force(Data::Tree::rootLabel(level.front())), 0)).startLine, 1);
    EXPECT_EQ(Util::spanOf(rts::field(rts::force(Data::Tree::rootLabel(level.back())), 0)).startLine, n);

    // The nested forest is as deep as it is long: it is built and walked on a large stack.
    int64_t depth = 0;
    rts::run_on_large_stack([&] {
        Value chain = createMixEntryDom(list(nested));
        for (Value f = chain; !vux::testing::items(f).empty();
             f = Data::Tree::subForest(vux::testing::items(f)[0])) {
            ASSERT_EQ(vux::testing::items(f).size(), 1u);
            ++depth;
        }
    });
    EXPECT_EQ(depth, n);
}

TEST(BoxLabel, TypeRepresentations) {
    using namespace VUX::Types;
    struct Row {
        const StaticTyCon& tycon;
        const char* name;
    };
    const Row rows[] = {{tcBoxLabel, "BoxLabel"},
                        {tcCondBox, "CondBox"},
                        {tc_prime_BinBox, "'BinBox"},
                        {tc_prime_TopLevelBox, "'TopLevelBox"},
                        {tc_prime_QualBinBox, "'QualBinBox"}};
    for (const Row& r : rows) {
        Value t = r.tycon.value();
        EXPECT_STREQ(trNameBytes(rts::force(tyConName(t))), r.name);
        const Value& module = rts::force(tyConModule(t));
        EXPECT_STREQ(trNameBytes(rts::force(rts::field(module, 1))), "Trace.Cover.Mix");
        EXPECT_STREQ(trNameBytes(rts::force(rts::field(module, 0))), "vux-cover-0.7.0.2-c685");
    }
    // 'BinBox :: CondBox -> Bool -> BoxLabel
    const Value& kind = rts::force(tyConKind(tc_prime_BinBox.value()));
    ASSERT_EQ(kind->tag, KindRepFun_tag);
    const Value& from = rts::force(rts::field(kind, 0));
    EXPECT_TRUE(rts::same(rts::force(rts::field(from, 0)), tcCondBox.value()));
    EXPECT_NE(tyConFingerprintHigh(tcBoxLabel.value()), tyConFingerprintHigh(tcCondBox.value()));
}

}  // namespace
