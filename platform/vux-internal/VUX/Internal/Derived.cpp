#include "VUX/Internal/Derived.h"

#include <memory>

#include "VUX/Internal/Float.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace VUX::Internal::Derived {

using namespace VUX::Types;
using List::prependBytes;
using rts::force;
namespace Lex = Text::Read::Lex;
using Read::Parse;
using Read::Parser;
using Read::Parses;

namespace {

// ---------------------------------------------------------------------------------------------
// The table made from a description: where each field sits in the object.

struct FieldInfo {
    std::string name;  // empty for a positional field
    Rep rep;
    bool ref;     // stored as a reference (else as a word)
    size_t slot;  // index among the references or among the words
    Forms type;
};

struct ConInfo {
    uint8_t tag = 0;
    std::string name;
    Lex::Token nameToken;  // the lexeme that the name reads as
    int infix = -1;
    bool record = false;
    bool lazy = true;  // every field a lazy reference: built at once when read
    uint8_t nrefs = 0, nwords = 0;
    std::vector<FieldInfo> fields;
    Value nullary;  // the one value of a constructor without fields
};

using Table = std::vector<ConInfo>;

Forms repForms(Rep rep, const Forms& given) {
    switch (rep) {
        case Rep::Boxed:
        case Rep::Strict: return given;
        case Rep::Int: return Derived::Int();
        case Rep::Word: return Derived::Word();
        case Rep::Char: return Derived::Char();
        case Rep::Double: return Derived::Double();
        case Rep::Float: return Derived::Float();
    }
    return given;
}

Lex::Token tokenOfName(const std::string& name) {
    Lex::Token tok;
    Value rest;
    if (!Lex::lexToken(List::fromBytes(name), tok, rest)) tok.text = name;
    return tok;
}

std::shared_ptr<const Table> makeTable(std::vector<Con> cons) {
    auto table = std::make_shared<Table>();
    for (size_t t = 0; t < cons.size(); ++t) {
        Con& c = cons[t];
        ConInfo info;
        info.tag = static_cast<uint8_t>(t);
        info.name = c.name;
        info.nameToken = tokenOfName(c.name);
        info.infix = c.infix;
        for (Field& f : c.fields) {
            bool ref = f.rep == Rep::Boxed || f.rep == Rep::Strict;
            size_t slot = ref ? info.nrefs++ : info.nwords++;
            info.lazy = info.lazy && f.rep == Rep::Boxed;
            info.record = f.name != nullptr;
            info.fields.push_back({f.name ? f.name : "", f.rep, ref, slot, repForms(f.rep, f.type)});
        }
        if (c.fields.empty()) info.nullary = rts::con(info.tag);
        table->push_back(std::move(info));
    }
    return table;
}

// ---------------------------------------------------------------------------------------------
// Writing

// Field f of the evaluated value v at precedence fd in front of t, written when reached.
Value fieldText(const FieldInfo& f, const Value& v, int64_t fd, Value t) {
    Value x = f.ref ? rts::field(v, f.slot) : rts::con_word(0, rts::word(v, f.slot));  // words as their boxes
    return rts::delay(
        [d = f.type.show, fd, x, t]() { return rts::apply(Show::showsPrec(d), Show::precBox(fd), x, t); });
}

inline Value consChar(uint32_t c, Value s) { return Cons(List::boxChar(c), std::move(s)); }

Value showsCon(const Table& table, int64_t d, const Value& x, Value s) {
    const Value& v = force(x);
    const ConInfo& c = table[v->tag < table.size() ? v->tag : 0];
    if (c.fields.empty()) return prependBytes(c.name, std::move(s));
    if (c.infix >= 0 && c.fields.size() == 2) {
        bool paren = d > c.infix;
        Value t = paren ? consChar(')', std::move(s)) : std::move(s);
        t = fieldText(c.fields[1], v, c.infix + 1, std::move(t));
        t = consChar(' ', prependBytes(c.name, consChar(' ', std::move(t))));
        t = fieldText(c.fields[0], v, c.infix + 1, std::move(t));
        return paren ? consChar('(', std::move(t)) : t;
    }
    bool paren = d >= 11;
    Value t = paren ? consChar(')', std::move(s)) : std::move(s);
    if (c.record) {
        t = consChar('}', std::move(t));
        for (size_t i = c.fields.size(); i-- > 0;) {
            t = prependBytes(" = ", fieldText(c.fields[i], v, 0, std::move(t)));
            t = prependBytes(c.fields[i].name, std::move(t));
            if (i > 0) t = prependBytes(", ", std::move(t));
        }
        t = prependBytes(" {", std::move(t));
    } else {
        for (size_t i = c.fields.size(); i-- > 0;)
            t = consChar(' ', fieldText(c.fields[i], v, 11, std::move(t)));
    }
    t = prependBytes(c.name, std::move(t));
    return paren ? consChar('(', std::move(t)) : t;
}

// ---------------------------------------------------------------------------------------------
// Reading

// The constructor c of the values read (one per field, in order): built at once when every
// field is lazy, else suspended, so that evaluating strict and unboxed fields waits until the
// value is used.
Value build(const std::shared_ptr<const Table>& table, const ConInfo& c, std::vector<Value>& values) {
    auto make = [table, tag = c.tag, nrefs = c.nrefs, nwords = c.nwords,
                 fields = &c.fields](std::vector<Value>& vs) {
        rts::Object* o = rts::alloc_con(tag, nrefs, nwords);
        rts::Slot* slots = rts::con_slots(o);
        for (uint8_t i = 0; i < nrefs; ++i) slots[i].ref = nullptr;
        Value obj = Value::adopt(o);  // frees the fields set so far if a field fails
        for (size_t i = 0; i < fields->size(); ++i) {
            const FieldInfo& f = (*fields)[i];
            if (!f.ref)
                slots[nrefs + f.slot].word = rts::word(force(vs[i]), 0);
            else if (f.rep == Rep::Strict)
                slots[f.slot].ref = Value(force(vs[i])).detach();
            else
                slots[f.slot].ref = vs[i].detach();
        }
        return obj;
    };
    if (c.lazy) return make(values);
    return rts::delay([make, vs = std::move(values)]() mutable { return make(vs); });
}

std::vector<Read::Step> fieldSteps(const ConInfo& c) {
    std::vector<Read::Step> steps;
    if (!c.record) {
        for (const FieldInfo& f : c.fields) steps.push_back({Read::readPrecOf(f.type.read), 11, true});
        return steps;
    }
    steps.push_back(Read::lexemeStep(Lex::Punc_tag, "{"));
    for (size_t i = 0; i < c.fields.size(); ++i) {
        if (i > 0) steps.push_back(Read::lexemeStep(Lex::Punc_tag, ","));
        steps.push_back(
            {Read::readField(c.fields[i].name, Read::readPrecOf(c.fields[i].type.read)), 0, true});
    }
    steps.push_back(Read::lexemeStep(Lex::Punc_tag, "}"));
    return steps;
}

struct Reader {
    std::shared_ptr<const Table> table;
    std::vector<std::vector<Read::Step>> steps;  // per constructor

    // The forms that start with the constructor's name.
    void byName(int64_t d, const Lex::Token& first, const Value& rest, Parses& out) const {
        for (const ConInfo& c : *table) {
            if (c.infix >= 0 || !Lex::sameLexeme(first, c.nameToken)) continue;
            if (c.fields.empty()) {
                out.push_back({c.nullary, rest});
            } else if (d <= (c.record ? 11 : 10)) {
                Read::sequence(steps[c.tag], rest, [&](std::vector<Value>& vs, Value after) {
                    out.push_back({build(table, c, vs), std::move(after)});
                });
            }
        }
    }
    // The infix forms: left field, name, right field.
    void infix(int64_t d, const Value& in, Parses& out) const {
        for (const ConInfo& c : *table) {
            if (c.infix < 0 || d > c.infix) continue;
            std::vector<Read::Step> s = {{Read::readPrecOf(c.fields[0].type.read), c.infix + 1, true},
                                         {Read::expectP(c.nameToken), 0, false},
                                         {Read::readPrecOf(c.fields[1].type.read), c.infix + 1, true}};
            Read::sequence(s, in, [&](std::vector<Value>& vs, Value after) {
                out.push_back({build(table, c, vs), std::move(after)});
            });
        }
    }
};

Parser readerOf(std::shared_ptr<const Table> table) {
    auto reader = std::make_shared<Reader>();
    reader->table = table;
    bool anyInfix = false;
    for (const ConInfo& c : *table) {
        reader->steps.push_back(fieldSteps(c));
        anyInfix = anyInfix || c.infix >= 0;
    }
    Parser prefix = Read::parensLexeme([reader](int64_t d, const Lex::Token& first, const Value& rest,
                                                Parses& out) { reader->byName(d, first, rest, out); });
    if (!anyInfix) return prefix;
    Parser infix([reader](int64_t d, const Value& in, Parses& out) { reader->infix(d, in, out); });
    return Text::ParserCombinators::ReadP::alt(std::move(prefix), Read::parens(std::move(infix)));
}

}  // namespace

Value deriveShow(std::vector<Con> cons) {
    std::shared_ptr<const Table> table = makeTable(std::move(cons));
    return Show::showRecord(rts::fun<3>([table](const Value& d, const Value& x, const Value& s) {
        return showsCon(*table, intOf(force(d)), x, s);
    }));
}

Value deriveRead(std::vector<Con> cons) { return Read::readRecord(readerOf(makeTable(std::move(cons)))); }

Forms derive(std::vector<Con> cons) {
    std::shared_ptr<const Table> table = makeTable(std::move(cons));
    Value show = Show::showRecord(rts::fun<3>([table](const Value& d, const Value& x, const Value& s) {
        return showsCon(*table, intOf(force(d)), x, s);
    }));
    return {std::move(show), Read::readRecord(readerOf(table))};
}

// ---------------------------------------------------------------------------------------------
// Forms of the basic and compound types

Forms Int() { return {Show::inst_Show_Int(), Read::inst_Read_Int()}; }
Forms Word() { return {Show::inst_Show_Word(), Read::inst_Read_Word()}; }
Forms Integer() { return {Num::inst_Show_Integer(), Read::inst_Read_Integer()}; }
Forms Natural() { return {Num::inst_Show_Natural(), Read::inst_Read_Natural()}; }
Forms Double() { return {Float::inst_Show_Double(), Read::inst_Read_Double()}; }
Forms Float() { return {Float::inst_Show_Float(), Read::inst_Read_Float()}; }
Forms Char() { return {Show::inst_Show_Char(), Read::inst_Read_Char()}; }
Forms String() { return listOf(Char()); }
Forms Bool() { return {Show::inst_Show_Bool(), Read::inst_Read_Bool()}; }
Forms Ordering() { return {Show::inst_Show_Ordering(), Read::inst_Read_Ordering()}; }
Forms Unit() { return {Show::inst_Show_Unit(), Read::inst_Read_Unit()}; }

namespace {
// Applies the instance functions to the records present.
template <class S, class R>
Forms lifted(bool haveShow, bool haveRead, S show, R read) {
    Forms f;
    if (haveShow) f.show = show();
    if (haveRead) f.read = read();
    return f;
}
}  // namespace

Forms listOf(const Forms& e) {
    return lifted(
        bool(e.show), bool(e.read), [&] { return Show::inst_Show_List(e.show); },
        [&] { return Read::inst_Read_List(e.read); });
}

Forms maybeOf(const Forms& x) {
    return lifted(
        bool(x.show), bool(x.read), [&] { return Show::inst_Show_Maybe(x.show); },
        [&] { return Read::inst_Read_Maybe(x.read); });
}

Forms eitherOf(const Forms& a, const Forms& b) {
    return lifted(
        a.show && b.show, a.read && b.read, [&] { return Show::inst_Show_Either(a.show, b.show); },
        [&] { return Read::inst_Read_Either(a.read, b.read); });
}

Forms tupleOf(std::initializer_list<Forms> components) {
    std::vector<Value> shows, reads;
    bool haveShow = true, haveRead = true;
    for (const Forms& c : components) {
        shows.push_back(c.show);
        reads.push_back(c.read);
        haveShow = haveShow && c.show;
        haveRead = haveRead && c.read;
    }
    return lifted(
        haveShow, haveRead, [&] { return Show::inst_Show_Tuple(shows); },
        [&] { return Read::inst_Read_Tuple(reads); });
}

}  // namespace VUX::Internal::Derived
