#include "Trace/Cover/Util.h"

#include <string>

#include "System/Directory.h"
#include "System/FilePath/Posix.h"
#include "System/IO.h"
#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Internal/Word.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("Trace.Cover.Util");

namespace Trace::Cover::Util {

namespace Show = VUX::Internal::Show;
namespace Read = VUX::Internal::Read;
using VUX::Record::fn;
using VUX::Types::Cons;
using VUX::Types::fromBool;
using VUX::Types::I_hash;
using VUX::Types::intOf;
using VUX::Types::Nil;

// ---------------------------------------------------------------------------------------------
// Spans

Value P(int64_t startLine, int64_t startCol, int64_t endLine, int64_t endCol) {
    const uint64_t words[4] = {static_cast<uint64_t>(startLine), static_cast<uint64_t>(startCol),
                               static_cast<uint64_t>(endLine), static_cast<uint64_t>(endCol)};
    return rts::con_words(P_tag, words);
}

Span spanOf(const Value& pos) {
    const Value& p = rts::force(pos);
    return {rts::int_word(p, 0), rts::int_word(p, 1), rts::int_word(p, 2), rts::int_word(p, 3)};
}

namespace {
int64_t forceInt(const Value& i) { return intOf(rts::force(i)); }

Value strictP(const Value& l1, const Value& c1, const Value& l2, const Value& c2) {
    int64_t a = forceInt(l1), b = forceInt(c1), c = forceInt(l2);
    return P(a, b, c, forceInt(c2));
}
}  // namespace

constinit const rts::StaticFun P_closure{rts::static_fun_info<&strictP>};

Value toCoverPos(const Value& tuple) {
    VUX_FUNCTION;
    const Value& t = rts::force(tuple);
    return strictP(rts::field(t, 0), rts::field(t, 1), rts::field(t, 2), rts::field(t, 3));
}

Value fromCoverPos(const Value& pos) {
    VUX_FUNCTION;
    Span s = spanOf(pos);
    return VUX::Tuple::Tuple(I_hash(s.startLine), I_hash(s.startCol), I_hash(s.endLine), I_hash(s.endCol));
}

bool inside(const Span& inner, const Span& outer) {
    bool startsWithin = inner.startLine > outer.startLine ||
                        (inner.startLine == outer.startLine && inner.startCol >= outer.startCol);
    if (!startsWithin) return false;
    return inner.endLine < outer.endLine || (inner.endLine == outer.endLine && inner.endCol <= outer.endCol);
}

Value insideCoverPos(const Value& inner, const Value& outer) {
    VUX_FUNCTION;
    return fromBool(inside(spanOf(inner), spanOf(outer)));
}

namespace {
template <class T>
int threeWay(T a, T b) {
    return (a > b) - (a < b);
}

int compareCoverPos(const Value& x, const Value& y) {
    Span a = spanOf(x), b = spanOf(y);
    if (int c = threeWay(a.startLine, b.startLine)) return c;
    if (int c = threeWay(a.startCol, b.startCol)) return c;
    if (int c = threeWay(a.endLine, b.endLine)) return c;
    return threeWay(a.endCol, b.endCol);
}

// "l1:c1-l2:c2" at every precedence.
Value writeCoverPos(int64_t, const Value& pos, Value s) {
    Span p = spanOf(pos);
    s = Show::itos(p.endCol, std::move(s));
    s = Show::itos(p.endLine, Show::showText(":", std::move(s)));
    s = Show::itos(p.startCol, Show::showText("-", std::move(s)));
    return Show::itos(p.startLine, Show::showText(":", std::move(s)));
}
}  // namespace

using VUX::Internal::OrdRecord::eqRecord;
using VUX::Internal::OrdRecord::ordRecord;
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_CoverPos_closure =
    eqRecord<&compareCoverPos>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_CoverPos_closure =
    ordRecord<&inst_Eq_CoverPos_closure, &compareCoverPos>();
constinit const VUX::Record::Static<Show::C_Show_class> inst_Show_CoverPos_closure{
    fn<&Show::showsPrecWith<&writeCoverPos>>, fn<&Show::default_show, &inst_Show_CoverPos_closure>,
    fn<&Show::default_showList, &inst_Show_CoverPos_closure>};

// Reading a span. The input is split at its first "," when the result is examined; the span is
// computed when it is used, in field order: the start part is split when the start line is needed,
// the end part when the end line is, and each number is read when reached.
namespace {
using Text = std::u32string;

Value chars(const Text& t) {
    Value l = Nil();
    for (auto it = t.rbegin(); it != t.rend(); ++it) l = Cons(VUX::Types::C_hash(*it), std::move(l));
    return l;
}

// The span text before the first comma, and the rest from the comma on (both evaluated).
struct CommaSplit {
    Text span;
    Value rest;
};
CommaSplit splitAtComma(const Value& input) {
    CommaSplit out{{}, Nil()};
    Value l = rts::force(input);
    while (l->tag == VUX::Types::Cons_tag) {
        uint32_t c = VUX::Types::charOf(rts::force(rts::field(l, 0)));
        if (c == U',') break;
        out.span.push_back(c);
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    out.rest = std::move(l);
    return out;
}

const Value& colonErrorStack() {
    static const Value& stack = *new Value(VUX::Internal::Stack::callStack(
        {{"error",
          {VUX_PACKAGE_ID, "Trace.Cover.Util", "libraries/vux-cover/Trace/Cover/Util", 60, 27, 60, 32}}}));
    return stack;
}

// A "line:column" part split at its first ":"; a part without one is the colon error.
std::pair<Text, Text> splitAtColon(const Text& part) {
    size_t colon = part.find(U':');
    if (colon == Text::npos) {
        Value message =
            Show::showText("Read CoverPos: Could not parse: ", Show::showStringLiteral(chars(part), Nil()));
        VUX::Internal::Err::errorWithCallStack(std::move(message), colonErrorStack());
    }
    return {part.substr(0, colon), part.substr(colon + 1)};
}

int64_t readInt(const Text& t) { return intOf(rts::force(Read::read(Read::inst_Read_Int(), chars(t)))); }

Value spanFromText(const Text& text) {
    size_t dash = text.find(U'-');
    Text startPart = dash == Text::npos ? text : text.substr(0, dash);
    Text endPart = dash == Text::npos ? text : text.substr(dash + 1);
    auto [startLine, startCol] = splitAtColon(startPart);
    int64_t l1 = readInt(startLine);
    int64_t c1 = readInt(startCol);
    auto [endLine, endCol] = splitAtColon(endPart);
    int64_t l2 = readInt(endLine);
    return P(l1, c1, l2, readInt(endCol));
}

Value readsPrecCoverPos(const Value&, const Value& input) {
    Value split = rts::delay([input] {
        CommaSplit s = splitAtComma(input);
        Value span =
            rts::delay([t = std::make_shared<const Text>(std::move(s.span))] { return spanFromText(*t); });
        return VUX::Tuple::Tuple2(std::move(span), std::move(s.rest));
    });
    return Cons(std::move(split), Nil());
}
constinit const rts::StaticFun readsPrecCoverPos_closure{rts::static_fun_info<&readsPrecCoverPos>};
}  // namespace

RTS_CONSTANT(inst_Read_CoverPos_closure) {
    VUX_CAF("$fReadCoverPos");
    return Read::readsPrecRecord(readsPrecCoverPos_closure.value());
}
Value inst_Read_CoverPos() { return inst_Read_CoverPos_closure.value(); }

// ---------------------------------------------------------------------------------------------
// Hashes

Value Hash(uint32_t word) { return VUX::Internal::Word::W32_hash(word); }
uint32_t hashWord(const Value& hash) {
    return static_cast<uint32_t>(VUX::Internal::Word::wordNOf(rts::force(hash)));
}

namespace {
int compareHash(const Value& x, const Value& y) { return threeWay(hashWord(x), hashWord(y)); }

Value hashPlus(const Value& a, const Value& b) { return Hash(hashWord(a) + hashWord(b)); }
Value hashMinus(const Value& a, const Value& b) { return Hash(hashWord(a) - hashWord(b)); }
Value hashTimes(const Value& a, const Value& b) { return Hash(hashWord(a) * hashWord(b)); }
Value hashNegate(const Value& a) { return Hash(0u - hashWord(a)); }
Value hashAbs(const Value& a) { return rts::force(a); }
Value hashSignum(const Value& a) { return Hash(hashWord(a) == 0 ? 0 : 1); }
Value hashFromInteger(const Value& i) {
    return Hash(static_cast<uint32_t>(VUX::Num::Integer::integerToWord_hash(rts::force(i))));
}

Value writeHash(int64_t, const Value& h, Value s) { return Show::showWord(hashWord(h), std::move(s)); }

Value rnfHash(const Value& h) {
    hashWord(h);
    return VUX::Tuple::Unit();
}

// Every parse of the Int reader at that precedence, the value narrowed to its low 32 bits.
Value readsPrecHash(const Value& d, const Value& input) {
    std::vector<Value> narrowed;
    for (const Value& p :
         VUX::Internal::List::toValues(Read::readsPrec(Read::inst_Read_Int(), intOf(rts::force(d)), input))) {
        const Value& parse = rts::force(p);
        Value word = Hash(static_cast<uint32_t>(forceInt(rts::field(parse, 0))));
        narrowed.push_back(VUX::Tuple::Tuple2(std::move(word), rts::field(parse, 1)));
    }
    return VUX::Internal::List::fromValues(narrowed);
}
constinit const rts::StaticFun readsPrecHash_closure{rts::static_fun_info<&readsPrecHash>};
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Hash_closure = eqRecord<&compareHash>();
constinit const VUX::Record::Static<VUX::Internal::Num::C_Num_class> inst_Num_Hash_closure{
    fn<&hashPlus>, fn<&hashMinus>,  fn<&hashTimes>,      fn<&hashNegate>,
    fn<&hashAbs>,  fn<&hashSignum>, fn<&hashFromInteger>};
constinit const VUX::Record::Static<Show::C_Show_class> inst_Show_Hash_closure{
    fn<&Show::showsPrecWith<&writeHash>>, fn<&Show::default_show, &inst_Show_Hash_closure>,
    fn<&Show::default_showList, &inst_Show_Hash_closure>};
constinit const rts::StaticFun inst_NFData_Hash_closure{rts::static_fun_info<&rnfHash>};

RTS_CONSTANT(inst_Read_Hash_closure) {
    VUX_CAF("$fReadHash");
    return Read::readsPrecRecord(readsPrecHash_closure.value());
}
Value inst_Read_Hash() { return inst_Read_Hash_closure.value(); }

Value toHash(const Value& dCoverHash, const Value& x) { return rts::apply(dCoverHash, x); }
uint32_t hashOf(const Value& dCoverHash, const Value& x) { return hashWord(toHash(dCoverHash, x)); }

namespace {
Value hashInt(const Value& i) { return Hash(static_cast<uint32_t>(forceInt(i))); }
Value hashChar(const Value& c) { return Hash(VUX::Types::charOf(rts::force(c))); }
Value hashBool(const Value& b) { return Hash(rts::force(b)->tag == VUX::Types::True_tag ? 1 : 0); }
Value hashCoverPos(const Value& pos) {
    Span s = spanOf(pos);
    uint64_t h = (static_cast<uint64_t>(s.startLine) << 24) + (static_cast<uint64_t>(s.startCol) << 16) +
                 (static_cast<uint64_t>(s.endLine) << 8) + static_cast<uint64_t>(s.endCol);
    return Hash(static_cast<uint32_t>(h));
}
}  // namespace

constinit const rts::StaticFun inst_CoverHash_Int_closure{rts::static_fun_info<&hashInt>};
constinit const rts::StaticFun inst_CoverHash_Integer_closure{rts::static_fun_info<&hashFromInteger>};
constinit const rts::StaticFun inst_CoverHash_Char_closure{rts::static_fun_info<&hashChar>};
constinit const rts::StaticFun inst_CoverHash_Bool_closure{rts::static_fun_info<&hashBool>};
constinit const rts::StaticFun inst_CoverHash_CoverPos_closure{rts::static_fun_info<&hashCoverPos>};

Value inst_CoverHash_Tuple2(Value dA, Value dB) {
    return rts::fun<1>([dA = std::move(dA), dB = std::move(dB)](const Value& pair) {
        const Value& p = rts::force(pair);
        uint32_t a = hashOf(dA, rts::field(p, 0));
        return Hash(combineHash(a, hashOf(dB, rts::field(p, 1))));
    });
}

Value inst_CoverHash_List(Value dElem) {
    return rts::fun<1>([dElem = std::move(dElem)](const Value& list) {
        uint32_t h = 5381;
        for (Value l = rts::force(list); l->tag == VUX::Types::Cons_tag;) {
            h = combineHash(h, hashOf(dElem, rts::field(l, 0)));
            Value next = rts::force(rts::field(l, 1));
            l = std::move(next);
        }
        return Hash(h);
    });
}

// ---------------------------------------------------------------------------------------------
// Errors

void errorIn(const char* module, const char* source, Value message, int64_t line, int64_t startCol,
             int64_t endCol) {
    Value stack = VUX::Internal::Stack::callStack(
        {{"error", {VUX_PACKAGE_ID, module, source, line, startCol, line, endCol}}});
    VUX::Internal::Err::errorWithCallStack(std::move(message), stack);
}

// ---------------------------------------------------------------------------------------------
// Files

using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;

Value catchIO(Value act, Value handler) {
    VUX_FUNCTION;
    return VUX::Internal::Exception::catch_(VUX::Internal::IOError::inst_Exception_IOException(),
                                            std::move(act), std::move(handler));
}

Value readFileUtf8(Value path) {
    VUX_FUNCTION;
    Value readAll = rts::fun<1>([](const Value& h) {
        return io([h] {
            runIO(System::IO::hSetEncoding(h, VUX::Internal::Encoding::utf8()));
            Value text = runIO(System::IO::hGetContents(h));
            VUX::Internal::List::codePoints(text);  // the whole file, read and decoded
            runIO(System::IO::hClose(h));
            return text;
        });
    });
    return System::IO::withBinaryFile(std::move(path), System::IO::ReadMode(), std::move(readAll));
}

Value writeFileUtf8(Value path, Value text) {
    VUX_FUNCTION;
    return io([path = std::move(path), text = std::move(text)] {
        System::Directory::createDirectoryIfMissing(true, System::FilePath::Posix::takeDirectory(path));
        Value writeAll = rts::fun<1>([text](const Value& h) {
            return io([h, text] {
                runIO(System::IO::hSetEncoding(h, VUX::Internal::Encoding::utf8()));
                return runIO(System::IO::hPutStr(h, text));
            });
        });
        return runIO(System::IO::withBinaryFile(path, System::IO::WriteMode(), std::move(writeAll)));
    });
}

}  // namespace Trace::Cover::Util
