#include "VUX/Internal/Text/ParserCombinators/ReadP.h"

#include "VUX/Internal/List.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Internal::Text::ParserCombinators::ReadP {

using namespace VUX::Types;
using rts::force;

Parser pfail() { return Parser(); }

Parser result(Value x) {
    return Parser([x](int64_t, const Value& in, Parses& out) { out.push_back({x, in}); });
}

Parser alt(Parser p, Parser q) {
    return Parser([p, q](int64_t d, const Value& in, Parses& out) {
        p.run(d, in, out);
        q.run(d, in, out);
    });
}

Parser leftAlt(Parser p, Parser q) {
    return Parser([p, q](int64_t d, const Value& in, Parses& out) {
        size_t before = out.size();
        p.run(d, in, out);
        if (out.size() == before) q.run(d, in, out);
    });
}

Parser fmap(std::function<Value(const Value&)> f, Parser p) {
    return Parser([f, p](int64_t d, const Value& in, Parses& out) {
        size_t first = out.size();
        p.run(d, in, out);
        for (size_t i = first; i < out.size(); ++i) out[i].value = f(out[i].value);
    });
}

Parser bind(Parser p, std::function<Parser(const Value&)> k) {
    return Parser([p, k](int64_t d, const Value& in, Parses& out) {
        for (const Parse& r : p.parse(d, in)) k(r.value).run(d, r.rest, out);
    });
}

Parser then(Parser p, Parser q) {
    return Parser([p, q](int64_t d, const Value& in, Parses& out) {
        for (const Parse& r : p.parse(d, in)) q.run(d, r.rest, out);
    });
}

Parser before(Parser p, Parser q) {
    return Parser([p, q](int64_t d, const Value& in, Parses& out) {
        for (const Parse& r : p.parse(d, in))
            for (Parse& s : q.parse(d, r.rest)) out.push_back({r.value, std::move(s.rest)});
    });
}

// ---------------------------------------------------------------------------------------------
// Characters

Parser satisfy(std::function<bool(uint32_t)> pred) {
    return Parser([pred](int64_t, const Value& in, Parses& out) {
        const Value& c = force(in);
        if (c->tag == Nil_tag) return;
        const Value& ch = force(rts::field(c, 0));
        if (pred(charOf(ch))) out.push_back({ch, rts::field(c, 1)});
    });
}

Parser get() {
    return satisfy([](uint32_t) { return true; });
}

Parser char_(uint32_t want) {
    return satisfy([want](uint32_t c) { return c == want; });
}

Parser look() {
    return Parser([](int64_t, const Value& in, Parses& out) { out.push_back({in, in}); });
}

Parser eof() {
    return Parser([](int64_t, const Value& in, Parses& out) {
        if (force(in)->tag == Nil_tag) out.push_back({VUX::Tuple::Unit(), in});
    });
}

Parser string(std::string_view s) {
    return Parser([text = std::string(s)](int64_t, const Value& in, Parses& out) {
        const Value* pos = &in;
        for (char want : text) {
            const Value& c = force(*pos);
            if (c->tag == Nil_tag || charOf(force(rts::field(c, 0))) != static_cast<unsigned char>(want))
                return;
            pos = &rts::field(c, 1);
        }
        out.push_back({List::fromBytes(text), *pos});
    });
}

namespace {
// The longest run of matching characters at the front of `in`, and the input after it.
Parse munchRun(const std::function<bool(uint32_t)>& pred, const Value& in) {
    List::ListBuilder run;
    const Value* pos = &in;
    for (;;) {
        const Value& c = force(*pos);
        if (c->tag == Nil_tag) break;
        const Value& ch = force(rts::field(c, 0));
        if (!pred(charOf(ch))) break;
        run.push(ch);
        pos = &rts::field(c, 1);
    }
    return {run.finish(Nil()), *pos};
}
}  // namespace

Parser munch(std::function<bool(uint32_t)> pred) {
    return Parser([pred](int64_t, const Value& in, Parses& out) { out.push_back(munchRun(pred, in)); });
}

Parser munch1(std::function<bool(uint32_t)> pred) {
    return Parser([pred](int64_t, const Value& in, Parses& out) {
        Parse r = munchRun(pred, in);
        if (force(r.value)->tag != Nil_tag) out.push_back(std::move(r));
    });
}

Parser skipSpaces() {
    return Parser([](int64_t, const Value& in, Parses& out) {
        out.push_back({VUX::Tuple::Unit(), Lex::skipSpaces(in)});
    });
}

// ---------------------------------------------------------------------------------------------
// Repetition: a loop over the open parses, each with the values read so far.

namespace {

// A partial repetition: the values so far, last first (cells shared between the repetitions that
// grow from it), and the input after them.
struct Open {
    Value reversed;
    Value rest;
};

// Every parse of `first` followed by any number of `next` (each parse of each count is kept),
// and then of `end` when given (whose value is dropped). Each count's list is built only when its
// value is used, so the open parses cost constant work per step. Parses that read nothing end the
// repetition, so a parser of empty text cannot loop.
void repeatFrom(const Parser& first, const Parser& next, const Parser* end, int64_t d, const Value& in,
                Parses& out) {
    std::vector<Open> open;
    for (Parse& r : first.parse(d, in)) open.push_back({Cons(std::move(r.value), Nil()), std::move(r.rest)});
    while (!open.empty()) {
        std::vector<Open> grown;
        for (Open& o : open) {
            auto value = [&o] {
                return rts::delay([reversed = o.reversed] { return List::reverse(reversed); });
            };
            if (!end)
                out.push_back({value(), o.rest});
            else
                for (Parse& e : end->parse(d, o.rest)) out.push_back({value(), std::move(e.rest)});
            for (Parse& r : next.parse(d, o.rest)) {
                if (rts::same(r.rest, o.rest)) continue;
                grown.push_back({Cons(std::move(r.value), o.reversed), std::move(r.rest)});
            }
        }
        open = std::move(grown);
    }
}

}  // namespace

Parser many1(Parser p) {
    return Parser([p](int64_t d, const Value& in, Parses& out) { repeatFrom(p, p, nullptr, d, in, out); });
}

Parser many(Parser p) { return alt(result(Nil()), many1(std::move(p))); }

Parser sepBy1(Parser p, Parser sep) {
    Parser next = then(std::move(sep), p);
    return Parser(
        [p, next](int64_t d, const Value& in, Parses& out) { repeatFrom(p, next, nullptr, d, in, out); });
}

Parser sepBy1Till(Parser p, Parser sep, Parser end) {
    Parser next = then(std::move(sep), p);
    return Parser(
        [p, next, end](int64_t d, const Value& in, Parses& out) { repeatFrom(p, next, &end, d, in, out); });
}

Parser sepBy(Parser p, Parser sep) { return alt(result(Nil()), sepBy1(std::move(p), std::move(sep))); }

Parser between(Parser open, Parser close, Parser p) {
    return before(then(std::move(open), std::move(p)), std::move(close));
}

Parser option(Value x, Parser p) { return alt(result(std::move(x)), std::move(p)); }

Parser optional(Parser p) {
    return alt(result(VUX::Tuple::Unit()), then(std::move(p), result(VUX::Tuple::Unit())));
}

Parser choice(std::vector<Parser> ps) {
    return Parser([ps](int64_t d, const Value& in, Parses& out) {
        for (const Parser& p : ps) p.run(d, in, out);
    });
}

// ---------------------------------------------------------------------------------------------
// Lexemes

Parser withToken(std::function<Parser(const Lex::Token&)> k) {
    return Parser([k](int64_t d, const Value& in, Parses& out) {
        Lex::Token tok;
        Value rest;
        if (Lex::lexToken(in, tok, rest)) k(tok).run(d, rest, out);
    });
}

Parser lexeme() {
    return Parser([](int64_t, const Value& in, Parses& out) {
        Lex::Token tok;
        Value rest;
        if (Lex::lexToken(in, tok, rest)) out.push_back({Lex::lexemeValue(tok), std::move(rest)});
    });
}

Parser expect(Lex::Token want) {
    return Parser([want](int64_t, const Value& in, Parses& out) {
        Lex::Token tok;
        Value rest;
        if (Lex::lexToken(in, tok, rest) && Lex::sameLexeme(tok, want))
            out.push_back({VUX::Tuple::Unit(), std::move(rest)});
    });
}

// ---------------------------------------------------------------------------------------------
// Language values

Value parsesToList(const Parses& ps) {
    List::ListBuilder b;
    for (const Parse& p : ps) b.push(VUX::Tuple::Tuple2(p.value, p.rest));
    return b.finish(Nil());
}

void listToParses(const Value& list, Parses& out) {
    const Value* pos = &list;
    for (;;) {
        const Value& c = force(*pos);
        if (c->tag == Nil_tag) return;
        const Value& pair = force(rts::field(c, 0));
        out.push_back({rts::field(pair, 0), rts::field(pair, 1)});
        pos = &rts::field(c, 1);
    }
}

namespace {
// A ReadS function made from a C++ parser; running it from C++ calls the parser directly.
struct NativeS {
    Parser parser;
    Value operator()(const Value& input) const { return parsesToList(parser.parse(0, input)); }
};
const rts::FunInfo* nativeSInfo() { return &rts::FunOf<NativeS, 1, false>::info; }
}  // namespace

Value readP_to_S(const Parser& p) { return rts::fun<1>(NativeS{p}); }

Parser readS_to_P(Value f) {
    return Parser([f](int64_t, const Value& in, Parses& out) {
        const Value& fn = force(f);
        if (fn->kind == rts::Kind::Fun && rts::fun_info(fn.get()) == nativeSInfo()) {
            rts::fun_storage<NativeS>(fn.get())->parser.run(0, in, out);
            return;
        }
        listToParses(rts::apply(fn, in), out);
    });
}

}  // namespace VUX::Internal::Text::ParserCombinators::ReadP
