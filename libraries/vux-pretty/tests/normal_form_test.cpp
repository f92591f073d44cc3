// Generated tests of the reduced form: for thousands of random documents built with the public
// operations, the reduced document keeps its guarantees at every depth reached (deferred parts
// forced, both alternatives of every union, within a node budget), and every rendering mode
// writes exactly the document's text and annotation regions.
//
// The seed is fixed so that failures reproduce; PRETTY_SEED=<n> in the environment explores others.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "DocGen.h"
#include "PrettyTesting.h"

using namespace pretty_testing;
using pretty_gen::DocGen;
using pretty_gen::GenDoc;
using vux::testing::to_string;

namespace {

uint64_t baseSeed() {
    const char* s = std::getenv("PRETTY_SEED");
    return s ? std::strtoull(s, nullptr, 10) : 20240611;
}

const char* tagName(uint8_t tag) {
    static constexpr const char* names[] = {"Empty", "NilAbove", "TextBeside", "Nest",
                                            "Union", "NoDoc",    "Beside",     "Above"};
    return tag < 8 ? names[tag] : "?";
}

// ---------------------------------------------------------------------------------------------
// Elements of a layout, for comparing the alternatives of a union

// Elements that the reduction adds between composed documents: the shared space element and the
// indentation chunks (a string of spaces) of an overlapping line. Generated texts never consist
// of spaces, so a string of spaces can only be such a chunk.
bool isSeparating(const Value& e) {
    if (e.get() == D::spaceText_closure.object()) return true;
    if (e->tag != D::NoAnnot_tag) return false;
    const Value& td = rts::force(rts::field(e, 0));
    if (td->tag == D::Chr_tag) return false;
    std::string s = to_string(rts::field(td, 0));
    return !s.empty() && s.find_first_not_of(' ') == std::string::npos &&
           static_cast<int64_t>(s.size()) == D::elementWidth(e);
}

std::string describeElement(const Value& e) {
    switch (e->tag) {
        case D::AnnotStart_tag: return "AnnotStart";
        case D::AnnotEnd_tag: return "AnnotEnd " + std::to_string(VUX::Types::intOf(rts::force(rts::field(e, 0))));
        default: {
            const Value& td = rts::force(rts::field(e, 0));
            std::string width = " " + std::to_string(D::elementWidth(e));
            if (td->tag == D::Chr_tag) return std::string("Chr '") + static_cast<char>(rts::word(td, 0)) + "'" + width;
            return (td->tag == D::Str_tag ? "Str \"" : "PStr \"") + to_string(rts::field(td, 0)) + "\"" + width;
        }
    }
}

struct Elements {
    std::vector<std::string> items;
    bool complete = false;  // reached Empty (otherwise stopped at NoDoc or at the limit)
};

// The elements of one layout of `d`: through line breaks and nests, the second alternative of
// every union (it never depends on the one-line restriction), up to NoDoc or `limit` elements.
Elements elementsOf(const Value& d, size_t limit) {
    Elements out;
    Value cur = d;
    while (out.items.size() < limit) {
        const Value& v = rts::force(cur);
        Value next;
        switch (v->tag) {
            case D::Empty_tag: out.complete = true; return out;
            case D::NoDoc_tag: return out;
            case D::TextBeside_tag: {
                const Value& e = rts::field(v, 0);
                if (!isSeparating(e)) out.items.push_back(describeElement(e));
                next = rts::field(v, 1);
                break;
            }
            case D::NilAbove_tag:
            case D::Nest_tag: next = rts::field(v, 0); break;
            case D::Union_tag: next = rts::field(v, 1); break;
            default: return out;  // unreduced nodes are reported by the walk itself
        }
        cur = std::move(next);
    }
    return out;
}

// "" when the alternatives of a union hold the same elements in the same order.
std::string compareAlternatives(const Value& p, const Value& q) {
    constexpr size_t kLimit = 200;
    Elements a = elementsOf(p, kLimit), b = elementsOf(q, kLimit);
    size_t n = std::min(a.items.size(), b.items.size());
    for (size_t i = 0; i < n; ++i)
        if (a.items[i] != b.items[i])
            return "element " + std::to_string(i) + ": " + a.items[i] + " vs " + b.items[i];
    // A first alternative cut short by NoDoc only has to agree as far as it goes; two complete
    // layouts must end together.
    if (a.complete && b.complete && a.items.size() != b.items.size())
        return "element counts " + std::to_string(a.items.size()) + " vs " + std::to_string(b.items.size());
    if (a.complete && !b.complete && b.items.size() < kLimit) return "second alternative has no layout";
    return "";
}

// ---------------------------------------------------------------------------------------------
// The walk over a reduced document

class NormalFormCheck {
  public:
    explicit NormalFormCheck(size_t budget) : budget_(budget) {}
    size_t nodes() const { return trail_.size(); }
    size_t unions() const { return unions_; }

    // "" when every node reached satisfies the guarantees; otherwise the fault and its path.
    std::string run(const Value& root) {
        struct Item {
            Value node;
            bool inFirstAlternative;
            size_t parent;
            const char* edge;
        };
        std::vector<Item> work{{root, false, kNone, "root"}};
        while (!work.empty() && budget_ > 0) {
            --budget_;
            Item it = std::move(work.back());
            work.pop_back();
            const Value& v = rts::force(it.node);
            size_t self = trail_.size();
            trail_.push_back({v->tag, it.parent, it.edge});
            auto fault = [&](const std::string& what) { return what + " at " + path(self); };
            switch (v->tag) {
                case D::Beside_tag:
                case D::Above_tag: return fault(std::string("unreduced ") + tagName(v->tag));
                case D::NoDoc_tag:
                    if (!it.inFirstAlternative) return fault("NoDoc outside the first alternative of a union");
                    break;
                case D::Empty_tag: break;
                case D::Nest_tag: {
                    if (D::nestAmount(v) == 0) return fault("Nest 0");
                    uint8_t inner = rts::force(rts::field(v, 0))->tag;
                    if (inner == D::Empty_tag || inner == D::NoDoc_tag || inner == D::Nest_tag)
                        return fault(std::string("Nest around ") + tagName(inner));
                    work.push_back({rts::field(v, 0), it.inFirstAlternative, self, "nest"});
                    break;
                }
                case D::NilAbove_tag: work.push_back({rts::field(v, 0), it.inFirstAlternative, self, "next line"}); break;
                case D::TextBeside_tag: work.push_back({rts::field(v, 1), it.inFirstAlternative, self, "rest"}); break;
                case D::Union_tag: {
                    ++unions_;
                    if (rts::force(rts::field(v, 0))->tag == D::Empty_tag) return fault("Empty as preferred alternative");
                    std::string diff = compareAlternatives(rts::field(v, 0), rts::field(v, 1));
                    if (!diff.empty()) return fault("alternatives differ (" + diff + ")");
                    work.push_back({rts::field(v, 1), it.inFirstAlternative, self, "second"});
                    work.push_back({rts::field(v, 0), true, self, "first"});
                    break;
                }
                default: return fault("unknown constructor");
            }
        }
        return "";
    }

  private:
    static constexpr size_t kNone = SIZE_MAX;
    struct Step {
        uint8_t tag;
        size_t parent;
        const char* edge;
    };
    std::string path(size_t i) const {
        std::vector<std::string> steps;
        for (; i != kNone; i = trail_[i].parent)
            steps.push_back(std::string(trail_[i].edge) + ":" + tagName(trail_[i].tag));
        std::string out;
        for (size_t j = steps.size(); j-- > 0;) out += steps[j] + (j ? " / " : "");
        return out;
    }
    size_t budget_;
    size_t unions_ = 0;
    std::vector<Step> trail_;
};

// ---------------------------------------------------------------------------------------------
// Rendering into a list of chunks, and what a rendering shows of the document

// A text function that keeps the chunks themselves: chunk : rest.
Value chunkList(const Value& chunk, const Value& rest) { return VUX::Types::Cons(chunk, rest); }
constinit const rts::StaticFun chunkList_closure{rts::static_fun_info<&chunkList>};

// The letters and annotation brackets of a rendering, in order.
std::string tokensOf(const Value& chunks) {
    std::string out;
    for (const Value& c : vux::testing::items(chunks)) {
        const Value& e = rts::force(c);
        if (e->tag == D::AnnotStart_tag) {
            out += "[";
        } else if (e->tag == D::AnnotEnd_tag) {
            out += "]" + std::to_string(VUX::Types::intOf(rts::force(rts::field(e, 0))));
        } else {
            const Value& td = rts::force(rts::field(e, 0));
            std::string text = td->tag == D::Chr_tag ? std::string(1, static_cast<char>(rts::word(td, 0)))
                                                     : to_string(rts::field(td, 0));
            for (char ch : text)
                if (ch >= 'a' && ch <= 'z') out.push_back(ch);
        }
    }
    return out;
}

struct RenderSetting {
    uint8_t mode;
    int64_t lineLength;
    float ribbons;
};

std::string renderTokens(const RenderSetting& s, const Value& doc) {
    Value chunks = D::fullRenderAnn(Value::adopt(D::Mode_closure_tbl[s.mode]), I(s.lineLength),
                                    VUX::Types::F_hash(s.ribbons), chunkList_closure.value(), VUX::Types::Nil(), doc);
    return tokensOf(chunks);
}

constexpr int kDepth = 6;

}  // namespace

TEST(NormalForm, GeneratedDocumentsKeepTheGuaranteesAtEveryDepth) {
    const uint64_t seed = baseSeed();
    DocGen gen(seed);
    size_t unions = 0, nodes = 0;
    for (int i = 0; i < 4000; ++i) {
        GenDoc g = gen.doc(kDepth);
        Value reduced = D::reduceDoc(g.doc);
        NormalFormCheck check(3000);
        std::string fault = check.run(reduced);
        ASSERT_EQ(fault, "") << "seed " << seed << ", document " << i << ": " << g.expr;
        // The reduction of a reduced document is that document itself.
        EXPECT_TRUE(same(D::reduceDoc(reduced), reduced)) << g.expr;
        unions += check.unions();
        nodes += check.nodes();
    }
    // The generator must reach the interesting shapes, not only single lines.
    std::printf("%zu nodes, %zu unions checked\n", nodes, unions);
    EXPECT_GT(unions, 4000u);
}

TEST(NormalForm, EveryModeRendersTheWholeTextAndEveryRegion) {
    const uint64_t seed = baseSeed() + 1;
    DocGen gen(seed);
    const RenderSetting settings[] = {
        {D::PageMode_tag, 100, 1.5f}, {D::PageMode_tag, 12, 1.0f},   {D::PageMode_tag, 4, 2.0f},
        {D::PageMode_tag, 0, 1.0f},   {D::ZigZagMode_tag, 20, 2.0f}, {D::ZigZagMode_tag, 6, 1.0f},
        {D::LeftMode_tag, 80, 1.0f},  {D::OneLineMode_tag, 80, 1.0f},
    };
    for (int i = 0; i < 2000; ++i) {
        GenDoc g = gen.doc(kDepth);
        for (const RenderSetting& s : settings) {
            std::string got;
            auto error = errorOf([&] { got = renderTokens(s, g.doc); });
            ASSERT_FALSE(error) << error->message << "\nseed " << seed << ", document " << i << ", mode "
                                << int(s.mode) << " length " << s.lineLength << ": " << g.expr;
            ASSERT_EQ(got, g.tokens) << "seed " << seed << ", document " << i << ", mode " << int(s.mode)
                                     << " length " << s.lineLength << ": " << g.expr;
        }
    }
}

// The renderer's own text is the same whether the walk that reads it owns it (and reads its runs
// of characters in place) or not (and forces them to cells).
TEST(NormalForm, OwnTextReadsTheSameOwnedOrShared) {
    const uint64_t seed = baseSeed() + 2;
    DocGen gen(seed);
    const RenderSetting settings[] = {{D::PageMode_tag, 40, 1.5f}, {D::PageMode_tag, 6, 1.0f},
                                      {D::ZigZagMode_tag, 12, 2.0f}};
    for (int i = 0; i < 500; ++i) {
        GenDoc g = gen.doc(kDepth);
        for (const RenderSetting& s : settings) {
            auto rendered = [&] {
                Value style = D::Style(Value::adopt(D::Mode_closure_tbl[s.mode]), I(s.lineLength),
                                       VUX::Types::F_hash(s.ribbons));
                return D::renderStyle(style, g.doc);
            };
            const auto [owned, shared] = ownedAndShared(rendered);
            ASSERT_EQ(owned, shared)
                << "seed " << seed << ", document " << i << ", mode " << int(s.mode) << ": " << g.expr;
        }
    }
}

// The walk itself must catch each kind of fault, or the generated test proves nothing.
TEST(NormalForm, TheCheckRejectsBrokenDocuments) {
    Value a = t("a");
    Value nilA = D::NilAbove(a);
    struct Row {
        const char* name;
        Value doc;
        const char* fault;
    } rows[] = {
        {"unreduced deep down", D::TextBeside(D::spaceText(), D::NilAbove(D::Beside(a, VUX::Types::False(), a))),
         "unreduced Beside at root:TextBeside / rest:NilAbove / next line:Beside"},
        {"nest 0", D::Nest_hash(0, a), "Nest 0 at root:Nest"},
        {"nest of empty", D::Nest_hash(2, D::Empty()), "Nest around Empty at root:Nest"},
        {"nest of nodoc", D::Union(D::Nest_hash(2, D::NoDoc()), a), "Nest around NoDoc at root:Union / first:Nest"},
        {"nest in nest", D::Nest_hash(2, D::Nest_hash(1, a)), "Nest around Nest at root:Nest"},
        {"empty preferred", D::Union(D::Empty(), a), "Empty as preferred alternative at root:Union"},
        {"nodoc outside a union", D::NilAbove(D::NoDoc()), "NoDoc outside the first alternative of a union at root:NilAbove / next line:NoDoc"},
        {"nodoc in second", D::Union(a, D::NilAbove(D::NoDoc())),
         "alternatives differ (second alternative has no layout) at root:Union"},
        {"different text", D::Union(t("a"), t("b")),
         "alternatives differ (element 0: Str \"a\" 1 vs Str \"b\" 1) at root:Union"},
        {"text lost", D::Union(t("a"), D::TextBeside(D::NoAnnot_hash(D::Str(vux::testing::str("a")), 1), t("b"))),
         "alternatives differ (element counts 1 vs 2) at root:Union"},
        {"chr for str", D::Union(t("a"), D::char_(VUX::Types::C_hash('a'))),
         "alternatives differ (element 0: Str \"a\" 1 vs Chr 'a' 1) at root:Union"},
        {"spaces ignored", D::Union(D::TextBeside(D::spaceText(), a), nilA), ""},
    };
    for (const Row& r : rows) EXPECT_EQ(NormalFormCheck(100).run(r.doc), r.fault) << r.name;
}
