// The document layer: running computations, the lifted document operations and the renumbering
// of unique names.
#include "VUX/Boot/TH/PprLib.h"

#include <vector>

#include "Data/Map.h"
#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Boot.TH.PprLib");

namespace VUX::Boot::TH::PprLib {

namespace D = Text::PrettyPrint::Drovane;
namespace S = VUX::Internal::TH::Syntax;
using VUX::Tuple::Tuple2;
using VUX::Types::Cons;
using VUX::Types::Nil;

// ---------------------------------------------------------------------------------------------
// Running

Value PprM(Value run) { return rts::con(PprM_tag, std::move(run)); }
Value runPprM(const Value& m) { return rts::field(rts::force(m), 0); }

Ran run(const Value& m, const Value& state) {
    rts::stack_check();
    Value pair = rts::apply(runPprM(m), state);
    const Value& p = rts::force(pair);
    return {rts::field(p, 0), rts::force(rts::field(p, 1))};
}

namespace {
// A computation from the C++ function of a state to (result, state after).
template <class F>
Value computation(F&& step) {
    return PprM(rts::fun<1>([step = std::forward<F>(step)](const Value& s) {
        Ran r = step(s);
        return Tuple2(std::move(r.result), std::move(r.state));
    }));
}

// Runs a list of computations in order: their documents, as a list, and the last state.
Ran runList(const Value& ms, Value state) {
    std::vector<Value> docs;
    for (Value l = rts::force(ms); l->tag == VUX::Types::Cons_tag;) {
        Ran r = run(rts::field(l, 0), state);
        docs.push_back(std::move(r.result));
        state = std::move(r.state);
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    Value list = Nil();
    for (auto it = docs.rbegin(); it != docs.rend(); ++it) list = Cons(std::move(*it), std::move(list));
    return {std::move(list), std::move(state)};
}
}  // namespace

RTS_CONSTANT(initialState_closure) {
    VUX_CAF("initialState");
    return Tuple2(Data::Map::empty(), VUX::Num::Integer::integerZero());
}
Value initialState() { return initialState_closure.get(); }

Value to_Drovane_Doc(const Value& m) {
    VUX_FUNCTION;
    return run(m, initialState()).result;
}

Value pure(Value x) {
    VUX_FUNCTION;
    return computation([x = std::move(x)](const Value& s) { return Ran{x, s}; });
}

// ---------------------------------------------------------------------------------------------
// Functor, Applicative, Monad

Value fmap(const Value& f, const Value& m) {
    VUX_FUNCTION;
    return computation([f, m](const Value& s) {
        Ran r = run(m, s);
        Value x = std::move(r.result);
        return Ran{rts::delay([f, x] { return rts::apply(f, x); }), std::move(r.state)};
    });
}
Value op_lt_dollar(const Value& x, const Value& m) {
    VUX_SCC("<$");
    return computation([x, m](const Value& s) { return Ran{x, run(m, s).state}; });
}
Value liftA2(const Value& f, const Value& ma, const Value& mb) {
    VUX_FUNCTION;
    return computation([f, ma, mb](const Value& s) {
        Ran a = run(ma, s);
        Ran b = run(mb, a.state);
        Value x = std::move(a.result), y = std::move(b.result);
        return Ran{rts::delay([f, x, y] { return rts::apply(f, x, y); }), std::move(b.state)};
    });
}
namespace {
Value applyTo(const Value& f, const Value& x) { return rts::apply(f, x); }
}  // namespace
Value op_lt_star_gt(const Value& mf, const Value& mx) {
    VUX_SCC("<*>");
    return liftA2(VUX::Record::static_fun<&applyTo>.value(), mf, mx);
}
Value op_star_gt(const Value& ma, const Value& mb) {
    VUX_SCC("*>");
    return computation([ma, mb](const Value& s) { return run(mb, run(ma, s).state); });
}
Value op_lt_star(const Value& ma, const Value& mb) {
    VUX_SCC("<*");
    return computation([ma, mb](const Value& s) {
        Ran a = run(ma, s);
        return Ran{std::move(a.result), run(mb, a.state).state};
    });
}
Value op_gt_gt_eq(const Value& m, const Value& k) {
    VUX_SCC(">>=");
    return computation([m, k](const Value& s) {
        Ran a = run(m, s);
        return run(rts::apply(k, a.result), a.state);
    });
}
Value op_gt_gt(const Value& ma, const Value& mb) {
    VUX_SCC(">>");
    return op_star_gt(ma, mb);
}

namespace {
Value pureOf(const Value& x) { return pure(x); }
}  // namespace
using VUX::Record::fn;
using VUX::Record::ref;
constinit const VUX::Record::Static<VUX::Internal::Base::C_Functor_class> inst_Functor_PprM_closure{
    fn<&fmap>, fn<&op_lt_dollar>};
constinit const VUX::Record::Static<VUX::Internal::Base::C_Applicative_class> inst_Applicative_PprM_closure{
    ref(inst_Functor_PprM_closure),
    fn<&pureOf>,
    fn<&op_lt_star_gt>,
    fn<&liftA2>,
    fn<&op_star_gt>,
    fn<&op_lt_star>};
constinit const VUX::Record::Static<VUX::Internal::Base::C_Monad_class> inst_Monad_PprM_closure{
    ref(inst_Applicative_PprM_closure), fn<&op_gt_gt_eq>, fn<&op_gt_gt>, fn<&pureOf>};

// ---------------------------------------------------------------------------------------------
// Rendering

Value renderDoc(const Value& doc) {
    VUX_FUNCTION;
    namespace A = Text::PrettyPrint::Annotated::Drovane;
    return A::fullRenderAnn(A::PageMode_closure.value(), VUX::Types::I_hash(100), VUX::Types::F_hash(1.5f),
                            A::renderChunk_closure.value(), Nil(), doc);
}
Value show(const Value& m) {
    VUX_FUNCTION;
    return renderDoc(to_Drovane_Doc(m));
}
Value showsPrec(const Value&, const Value& m, const Value& s) {
    VUX_FUNCTION;
    return VUX::Internal::List::op_plus_plus(show(m), s);
}
namespace {
Value showsPrec0(const Value& m, const Value& s) { return showsPrec(Value(), m, s); }
}  // namespace
Value showList(const Value& ms, const Value& s) {
    VUX_FUNCTION;
    return VUX::Internal::Show::showList__(VUX::Record::static_fun<&showsPrec0>.value(), ms, s);
}
constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_PprM_Doc_closure{
    fn<&showsPrec>, fn<&show>, fn<&showList>};

// ---------------------------------------------------------------------------------------------
// Documents

Value document(Value doc) {
    return computation([doc = std::move(doc)](const Value& s) { return Ran{doc, s}; });
}

#define VUX_PPRLIB_CONSTANT(name, doc) \
    RTS_CONSTANT(name##_closure) {     \
        VUX_CAF(#name);                \
        return document(doc);          \
    }                                  \
    Value name() { return name##_closure.get(); }
VUX_PPRLIB_CONSTANT(empty, D::empty())
VUX_PPRLIB_CONSTANT(semi, D::semi())
VUX_PPRLIB_CONSTANT(comma, D::comma())
VUX_PPRLIB_CONSTANT(colon, D::colon())
VUX_PPRLIB_CONSTANT(space, D::space())
VUX_PPRLIB_CONSTANT(equals, D::equals())
VUX_PPRLIB_CONSTANT(lparen, D::lparen())
VUX_PPRLIB_CONSTANT(rparen, D::rparen())
VUX_PPRLIB_CONSTANT(lbrack, D::lbrack())
VUX_PPRLIB_CONSTANT(rbrack, D::rbrack())
VUX_PPRLIB_CONSTANT(lbrace, D::lbrace())
VUX_PPRLIB_CONSTANT(rbrace, D::rbrace())
VUX_PPRLIB_CONSTANT(dcolon, D::text(VUX::Internal::List::fromBytes("::")))
VUX_PPRLIB_CONSTANT(arrow, D::text(VUX::Internal::List::fromBytes("->")))
#undef VUX_PPRLIB_CONSTANT

namespace {
// The computation of a document built from a value by a library function, on first demand.
template <Value (*Make)(const Value&)>
Value fromValue(const Value& x) {
    return document(rts::delay([x] { return Make(x); }));
}
// A computation that runs m and applies a library operation to its document.
template <Value (*Op)(const Value&)>
Value lift1(const Value& m) {
    return computation([m](const Value& s) {
        Ran r = run(m, s);
        Value d = std::move(r.result);
        return Ran{rts::delay([d] { return Op(d); }), std::move(r.state)};
    });
}
// Runs a, then b, and applies a library operation to their documents.
template <Value (*Op)(const Value&, const Value&)>
Value lift2(const Value& a, const Value& b) {
    return computation([a, b](const Value& s) {
        Ran x = run(a, s);
        Ran y = run(b, x.state);
        Value p = std::move(x.result), q = std::move(y.result);
        return Ran{rts::delay([p, q] { return Op(p, q); }), std::move(y.state)};
    });
}
// Runs the computations of a list in order and applies a library operation to their documents.
template <Value (*Op)(const Value&)>
Value liftList(const Value& ms) {
    return computation([ms](const Value& s) {
        Ran r = runList(ms, s);
        Value docs = std::move(r.result);
        return Ran{rts::delay([docs] { return Op(docs); }), std::move(r.state)};
    });
}
}  // namespace

// Each operation: its cost centre (the language's name), then the library's operation lifted.
#define VUX_PPRLIB_LIFT1(name, label, how, op) \
    Value name(const Value& x) {               \
        VUX_SCC(label);                        \
        return how<&D::op>(x);                 \
    }
#define VUX_PPRLIB_LIFT2(name, label, op)        \
    Value name(const Value& a, const Value& b) { \
        VUX_SCC(label);                          \
        return lift2<&D::op>(a, b);              \
    }
VUX_PPRLIB_LIFT1(text, "text", fromValue, text)
VUX_PPRLIB_LIFT1(ptext, "ptext", fromValue, ptext)
VUX_PPRLIB_LIFT1(char_, "char", fromValue, char_)
VUX_PPRLIB_LIFT1(int_, "int", fromValue, int_)
VUX_PPRLIB_LIFT1(integer, "integer", fromValue, integer)
VUX_PPRLIB_LIFT1(float_, "float", fromValue, float_)
VUX_PPRLIB_LIFT1(double_, "double", fromValue, double_)
VUX_PPRLIB_LIFT1(rational, "rational", fromValue, rational)
VUX_PPRLIB_LIFT1(parens, "parens", lift1, parens)
VUX_PPRLIB_LIFT1(brackets, "brackets", lift1, brackets)
VUX_PPRLIB_LIFT1(braces, "braces", lift1, braces)
VUX_PPRLIB_LIFT1(quotes, "quotes", lift1, quotes)
VUX_PPRLIB_LIFT1(doubleQuotes, "doubleQuotes", lift1, doubleQuotes)
VUX_PPRLIB_LIFT2(op_lt_gt, "<>", op_lt_gt)
VUX_PPRLIB_LIFT2(op_lt_plus_gt, "<+>", op_lt_plus_gt)
VUX_PPRLIB_LIFT2(op_dollar_dollar, "$$", op_dollar_dollar)
VUX_PPRLIB_LIFT2(op_dollar_plus_dollar, "$+$", op_dollar_plus_dollar)
VUX_PPRLIB_LIFT1(hcat, "hcat", liftList, hcat)
VUX_PPRLIB_LIFT1(hsep, "hsep", liftList, hsep)
VUX_PPRLIB_LIFT1(vcat, "vcat", liftList, vcat)
VUX_PPRLIB_LIFT1(sep, "sep", liftList, sep)
VUX_PPRLIB_LIFT1(cat, "cat", liftList, cat)
VUX_PPRLIB_LIFT1(fsep, "fsep", liftList, fsep)
VUX_PPRLIB_LIFT1(fcat, "fcat", liftList, fcat)
#undef VUX_PPRLIB_LIFT1
#undef VUX_PPRLIB_LIFT2

Value nest(const Value& n, const Value& m) {
    VUX_FUNCTION;
    return computation([n, m](const Value& s) {
        Ran r = run(m, s);
        Value d = std::move(r.result);
        return Ran{rts::delay([n, d] { return D::nest(n, d); }), std::move(r.state)};
    });
}
Value hang(const Value& a, const Value& n, const Value& b) {
    VUX_FUNCTION;
    return computation([a, n, b](const Value& s) {
        Ran x = run(a, s);
        Ran y = run(b, x.state);
        Value p = std::move(x.result), q = std::move(y.result);
        return Ran{rts::delay([p, n, q] { return D::hang(p, n, q); }), std::move(y.state)};
    });
}

Value punctuate(const Value& separator, const Value& ms) {
    VUX_FUNCTION;
    std::vector<Value> items;
    for (Value l = rts::force(ms); l->tag == VUX::Types::Cons_tag;) {
        items.push_back(rts::field(l, 0));
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    Value list = Nil();
    for (size_t i = items.size(); i-- > 0;) {
        Value item = i + 1 == items.size() ? std::move(items[i]) : op_lt_gt(items[i], separator);
        list = Cons(std::move(item), std::move(list));
    }
    return list;
}

namespace {
Value isEmptyDoc(const Value& d) { return VUX::Types::fromBool(D::A::isEmptyDoc(rts::force(d))); }
}  // namespace
Value isEmpty(const Value& m) {
    VUX_FUNCTION;
    return lift1<&isEmptyDoc>(m);
}

// ---------------------------------------------------------------------------------------------
// Names

namespace {
Value nameDoc(const Value& position, const Value& name) {
    return rts::delay([position, name] { return D::text(S::showName_prime(position, name)); });
}

// The name printed in place of a unique name, and the state after it: the stored one, or a new
// name of the same occurrence with the counter as its unique (the counter then advances).
Ran renumber(const Value& name, const Value& s) {
    const Value& state = rts::force(s);
    const Value& map = rts::force(rts::field(state, 0));
    const Value& counter = rts::field(state, 1);
    Value found = rts::force(Data::Map::lookup(S::inst_Ord_Name(), name, map));
    if (found->tag == VUX::Internal::Maybe::Just_tag) return {rts::field(found, 0), state};
    Value renamed = S::Name(rts::field(rts::force(name), 0), S::NameU(counter));
    Value next = VUX::Num::Integer::integerAdd(counter, VUX::Num::Integer::integerOne());
    return {renamed, Tuple2(Data::Map::insert(S::inst_Ord_Name(), name, renamed, map), std::move(next))};
}
}  // namespace

Value pprName_prime(const Value& position, const Value& name) {
    VUX_SCC("pprName'");
    if (S::nameFlavour(name)->tag != S::NameU_tag) return document(nameDoc(position, name));
    return computation([position, name](const Value& s) {
        Ran r = renumber(name, s);
        return Ran{nameDoc(position, r.result), std::move(r.state)};
    });
}
Value pprName(const Value& name) {
    VUX_FUNCTION;
    return pprName_prime(S::Alone(), name);
}

}  // namespace VUX::Boot::TH::PprLib
