// Random documents for the generated tests: built only with the public construction operations,
// from a seeded generator so that a failure reproduces from its seed and index.
//
// Every generated document comes with what any rendering of it must contain, in order: its
// letters (texts use the letters a to z only, so spaces, line feeds, indentation and zig-zag
// marker lines are never part of it) with each annotated region written as '[' ... ']' followed
// by the annotation's number; and with the expression that built it, to print on failure.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Testing.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"

namespace pretty_gen {

using rts::Value;
namespace D = Text::PrettyPrint::Annotated::Drovane;

struct GenDoc {
    Value doc;
    std::string tokens;  // letters and annotation brackets, in rendering order
    std::string expr;    // how the document was built
};

class DocGen {
  public:
    explicit DocGen(uint64_t seed) : rng_(seed) {}

    // A document of at most `depth` levels of operations.
    GenDoc doc(int depth) {
        if (depth <= 0 || pick(5) == 0) return leaf();
        switch (pick(14)) {
            case 0: return binary(depth, "<>", &D::op_lt_gt);
            case 1: return binary(depth, "<+>", &D::op_lt_plus_gt);
            case 2: return binary(depth, "$$", &D::op_dollar_dollar);
            case 3: return binary(depth, "$+$", &D::op_dollar_plus_dollar);
            case 4: return listOp(depth, "hcat", &D::hcat);
            case 5: return listOp(depth, "hsep", &D::hsep);
            case 6: return listOp(depth, "vcat", &D::vcat);
            case 7: return listOp(depth, "sep", &D::sep);
            case 8: return listOp(depth, "cat", &D::cat);
            case 9: return listOp(depth, "fsep", &D::fsep);
            case 10: return listOp(depth, "fcat", &D::fcat);
            case 11: return nest(depth);
            case 12: return annotate(depth);
            default: return pick(2) == 0 ? hang(depth) : punctuated(depth);
        }
    }

  private:
    int pick(int n) { return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(rng_)); }
    int64_t between(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }

    std::string letters(int maxLength) {
        std::string s;
        for (int n = pick(maxLength + 1); n > 0; --n) s.push_back(static_cast<char>('a' + pick(26)));
        return s;
    }

    GenDoc leaf() {
        switch (pick(6)) {
            case 0: return {D::empty(), "", "empty"};
            case 1: {
                char c = static_cast<char>('a' + pick(26));
                return {D::char_(VUX::Types::C_hash(static_cast<uint8_t>(c))), std::string(1, c),
                        std::string("char '") + c + "'"};
            }
            default: {
                std::string s = letters(4);  // includes the empty string: a text that is not empty
                return {D::text(vux::testing::str(s)), s, "text \"" + s + "\""};
            }
        }
    }

    GenDoc binary(int depth, const char* op, Value (*f)(const Value&, const Value&)) {
        GenDoc a = doc(depth - 1), b = doc(depth - 1);
        return {f(a.doc, b.doc), a.tokens + b.tokens, "(" + a.expr + " " + op + " " + b.expr + ")"};
    }

    std::vector<GenDoc> members(int depth) {
        std::vector<GenDoc> ms;
        for (int n = pick(5); n > 0; --n) ms.push_back(doc(depth - 1));
        return ms;
    }

    static GenDoc applyList(const char* name, Value (*f)(const Value&), const std::vector<GenDoc>& ms) {
        std::vector<Value> ds;
        std::string tokens, expr = std::string(name) + " [";
        for (size_t i = 0; i < ms.size(); ++i) {
            ds.push_back(ms[i].doc);
            tokens += ms[i].tokens;
            expr += (i ? ", " : "") + ms[i].expr;
        }
        return {f(vux::testing::list(ds)), tokens, expr + "]"};
    }

    GenDoc listOp(int depth, const char* name, Value (*f)(const Value&)) { return applyList(name, f, members(depth)); }

    GenDoc nest(int depth) {
        int64_t k = between(-4, 5);
        GenDoc d = doc(depth - 1);
        return {D::nest(VUX::Types::I_hash(k), d.doc), d.tokens, "nest (" + std::to_string(k) + ") " + d.expr};
    }

    GenDoc annotate(int depth) {
        int64_t a = nextAnnotation_++;
        GenDoc d = doc(depth - 1);
        return {D::annotate(VUX::Types::I_hash(a), d.doc), "[" + d.tokens + "]" + std::to_string(a),
                "annotate " + std::to_string(a) + " " + d.expr};
    }

    GenDoc hang(int depth) {
        int64_t k = between(-2, 4);
        GenDoc a = doc(depth - 1), b = doc(depth - 1);
        return {D::hang(a.doc, VUX::Types::I_hash(k), b.doc), a.tokens + b.tokens,
                "hang " + a.expr + " " + std::to_string(k) + " " + b.expr};
    }

    // punctuate p ds, then composed by one of the list operations.
    GenDoc punctuated(int depth) {
        GenDoc p = leaf();
        std::vector<GenDoc> ms = members(depth);
        std::vector<Value> ds;
        for (const GenDoc& m : ms) ds.push_back(m.doc);
        std::vector<Value> punctuated = vux::testing::items(D::punctuate(p.doc, vux::testing::list(ds)));
        std::vector<GenDoc> result;
        for (size_t i = 0; i < ms.size(); ++i) {
            bool last = i + 1 == ms.size();
            result.push_back({punctuated[i], ms[i].tokens + (last ? "" : p.tokens), ms[i].expr});
        }
        static constexpr const char* names[] = {"hcat", "hsep", "vcat", "sep", "cat", "fsep", "fcat"};
        static constexpr Value (*fs[])(const Value&) = {&D::hcat, &D::hsep, &D::vcat, &D::sep,
                                                        &D::cat,  &D::fsep, &D::fcat};
        int which = pick(7);
        GenDoc r = applyList(names[which], fs[which], result);
        r.expr = std::string(names[which]) + " (punctuate " + p.expr + " " + r.expr.substr(r.expr.find('[')) + ")";
        return r;
    }

    std::mt19937_64 rng_;
    int64_t nextAnnotation_ = 1;
};

}  // namespace pretty_gen
