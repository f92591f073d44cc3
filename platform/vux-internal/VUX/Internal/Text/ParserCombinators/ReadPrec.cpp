#include "VUX/Internal/Text/ParserCombinators/ReadPrec.h"

#include "VUX/Internal/Show.h"
#include "VUX/Types.h"

namespace VUX::Internal::Text::ParserCombinators::ReadPrec {

using namespace VUX::Types;
using ReadP::Parses;
using rts::force;

Parser prec(int64_t n, Parser p) {
    return Parser([n, p](int64_t d, const Value& in, Parses& out) {
        if (d <= n) p.run(n, in, out);
    });
}

Parser step(Parser p) {
    return Parser([p](int64_t d, const Value& in, Parses& out) { p.run(d + 1, in, out); });
}

Parser reset(Parser p) {
    return Parser([p](int64_t, const Value& in, Parses& out) { p.run(minPrec, in, out); });
}

Parser lift(Parser p) { return p; }

namespace {
// A ReadPrec value made from a C++ parser; running it from C++ calls the parser directly.
struct NativePrec {
    Parser parser;
    Value operator()(const Value& d, const Value& input) const {
        return ReadP::parsesToList(parser.parse(intOf(force(d)), input));
    }
};
const rts::FunInfo* nativePrecInfo() { return &rts::FunOf<NativePrec, 2, false>::info; }
}  // namespace

Value runParserFun(rts::Object* self, const Value* args) {
    const auto* info = reinterpret_cast<const ParserFunInfo*>(rts::fun_info(self));
    return ReadP::parsesToList(info->make().parse(intOf(force(args[0])), args[1]));
}

Value toReadPrec(const Parser& p) { return rts::fun<2>(NativePrec{p}); }

void runReadPrec(const Value& readPrec, int64_t d, const Value& in, Parses& out) {
    const Value& fn = force(readPrec);
    if (fn->kind == rts::Kind::Fun) {
        const rts::FunInfo* info = rts::fun_info(fn.get());
        if (info == nativePrecInfo()) {
            rts::fun_storage<NativePrec>(fn.get())->parser.run(d, in, out);
            return;
        }
        if (info->code == &runParserFun) {
            reinterpret_cast<const ParserFunInfo*>(info)->make().run(d, in, out);
            return;
        }
    }
    ReadP::listToParses(rts::apply(fn, Show::precBox(d), in), out);
}

Parser fromReadPrec(Value readPrec) {
    return Parser([readPrec](int64_t d, const Value& in, Parses& out) { runReadPrec(readPrec, d, in, out); });
}

Value readPrec_to_S(const Value& readPrec, int64_t n) { return rts::apply(readPrec, Show::precBox(n)); }

Parser readS_to_Prec(Value f) {
    return Parser([f](int64_t d, const Value& in, Parses& out) {
        ReadP::listToParses(rts::apply(f, Show::precBox(d), in), out);
    });
}

}  // namespace VUX::Internal::Text::ParserCombinators::ReadPrec
