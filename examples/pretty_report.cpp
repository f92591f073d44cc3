// A report of a small program's syntax tree, laid out by the document library: records with
// fields, lists that fill their lines, operators hung under their left operand, nested blocks.
// The same document is printed in PageMode and ZigZagMode at line lengths 40, 80 and 120, and in
// LeftMode and OneLineMode (which use no line length).
#include <cstdio>
#include <string>
#include <vector>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/List.h"
#include "rts/Stack.h"

namespace {

namespace D = Text::PrettyPrint::Annotated::Drovane;
using rts::Value;
using VUX::Types::I_hash;

// ---------------------------------------------------------------------------------------------
// Document helpers

Value text(const std::string& utf8) { return D::text(VUX::Internal::List::fromUtf8(utf8)); }
Value list(const std::vector<Value>& ds) { return VUX::Internal::List::fromValues(ds); }
Value beside(const Value& a, const Value& b) { return D::op_lt_gt(a, b); }
Value besideSp(const Value& a, const Value& b) { return D::op_lt_plus_gt(a, b); }
Value nest(int64_t k, const Value& d) { return D::nest(I_hash(k), d); }
Value hang(const Value& a, int64_t k, const Value& b) { return D::hang(a, I_hash(k), b); }
Value commaSeparated(const std::vector<Value>& ds) { return D::punctuate(D::comma(), list(ds)); }

// Name { field = value, ... }: all on one line when it fits, else one field per line.
Value record(const std::string& name, const std::vector<std::pair<std::string, Value>>& fields) {
    std::vector<Value> fs;
    for (const auto& [field, value] : fields) fs.push_back(hang(besideSp(text(field), D::equals()), 2, value));
    return D::sep(list({besideSp(text(name), D::lbrace()), nest(2, D::sep(commaSeparated(fs))), D::rbrace()}));
}
// [a, b, c]: filled, as many per line as fit.
Value filledList(const std::vector<Value>& items) {
    return D::cat(list({D::lbrack(), nest(1, D::fsep(commaSeparated(items))), D::rbrack()}));
}
// [a, b, c]: on one line or one per line.
Value stackedList(const std::vector<Value>& items) {
    return D::cat(list({D::lbrack(), nest(1, D::sep(commaSeparated(items))), D::rbrack()}));
}
Value parens(const Value& d) { return beside(beside(D::lparen(), d), D::rparen()); }

// ---------------------------------------------------------------------------------------------
// The syntax tree, generated deterministically

struct Tree {
    unsigned state = 12345;
    int nodes = 0;
    unsigned next(unsigned n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    }

    std::string name() {
        static const char* const names[] = {"count", "total", "index", "limit", "buffer", "offset", "width", "depth"};
        return names[next(8)];
    }

    Value expression(int depth) {
        ++nodes;
        if (depth == 0 || next(4) == 0) {
            if (next(2)) return record("Var", {{"name", text("\"" + name() + "\"")}});
            return record("Lit", {{"value", text(std::to_string(next(1000)))}});
        }
        switch (next(3)) {
            case 0: {
                static const char* const ops[] = {"+", "-", "*", "<", "=="};
                Value left = expression(depth - 1), right = expression(depth - 1);
                return parens(hang(besideSp(left, text(ops[next(5)])), 2, right));
            }
            case 1: {
                std::vector<Value> args;
                for (unsigned i = next(4); i > 0; --i) args.push_back(expression(depth - 1));
                return record("Call", {{"function", text("\"" + name() + "\"")}, {"arguments", stackedList(args)}});
            }
            default: return record("Field", {{"object", expression(depth - 1)}, {"field", text("\"" + name() + "\"")}});
        }
    }

    Value statement(int depth) {
        ++nodes;
        switch (depth > 0 ? next(4) : 0) {
            case 0: return record("Assign", {{"target", text("\"" + name() + "\"")}, {"value", expression(2)}});
            case 1: return record("Return", {{"value", expression(3)}});
            case 2:
                return record("While", {{"condition", expression(2)}, {"body", block(depth - 1, 2)}});
            default:
                return record("If", {{"condition", expression(2)},
                                     {"then", block(depth - 1, 2)},
                                     {"else", block(depth - 1, 1)}});
        }
    }

    Value block(int depth, unsigned statements) {
        std::vector<Value> ss;
        for (unsigned i = 0; i < statements; ++i) ss.push_back(statement(depth));
        return stackedList(ss);
    }

    Value function(int i) {
        ++nodes;
        std::vector<Value> params;
        for (unsigned p = next(5); p > 0; --p) params.push_back(text(name()));
        std::vector<Value> locals;
        for (unsigned l = 3 + next(8); l > 0; --l) locals.push_back(text(name() + "_" + std::to_string(l)));
        return record("Function", {{"name", text("\"f" + std::to_string(i) + "\"")},
                                   {"parameters", filledList(params)},
                                   {"locals", filledList(locals)},
                                   {"body", block(2, 2 + next(3))}});
    }

    Value module() {
        std::vector<Value> fs;
        for (int i = 0; i < 6; ++i) fs.push_back(function(i));
        ++nodes;
        return D::op_dollar_dollar(text("-- module Report"), record("Module", {{"functions", stackedList(fs)}}));
    }
};

Value styleOf(uint8_t mode, int64_t lineLength) {
    return D::Style(Value::adopt(D::Mode_closure_tbl[mode]), I_hash(lineLength), VUX::Types::F_hash(1.5f));
}

void print(const char* title, uint8_t mode, int64_t lineLength, const Value& doc) {
    std::printf("==== %s", title);
    if (mode == D::PageMode_tag || mode == D::ZigZagMode_tag) std::printf(", line length %lld", static_cast<long long>(lineLength));
    std::printf(" ====\n%s\n\n", VUX::Internal::List::toUtf8(D::renderStyle(styleOf(mode, lineLength), doc)).c_str());
}

}  // namespace

int main() {
    rts::run_on_large_stack([] {
        Tree tree;
        Value doc = tree.module();
        std::printf("A syntax tree of %d nodes.\n\n", tree.nodes);
        for (int64_t length : {40, 80, 120}) print("PageMode", D::PageMode_tag, length, doc);
        for (int64_t length : {40, 80, 120}) print("ZigZagMode", D::ZigZagMode_tag, length, doc);
        print("LeftMode", D::LeftMode_tag, 80, doc);
        print("OneLineMode", D::OneLineMode_tag, 80, doc);
    });
    return 0;
}
