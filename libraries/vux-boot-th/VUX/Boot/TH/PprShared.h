// What the source files of the printer module share: field access by constructor, mapping a
// list to a list of computations, and the definition of keyword documents. Not installed.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Boot/TH/PprLib.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/TH/Syntax.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"
#include "rts/rts.h"

namespace VUX::Boot::TH::Ppr::detail {

using rts::Value;

inline const Value& fieldOf(const Value& v, size_t i) { return rts::field(rts::force(v), i); }
inline uint8_t formOf(const Value& v) { return rts::force(v)->tag; }

// The values of a list, its spine evaluated.
inline std::vector<Value> elements(const Value& xs) {
    std::vector<Value> out;
    for (Value l = rts::force(xs); l->tag == VUX::Types::Cons_tag;) {
        out.push_back(rts::field(l, 0));
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return out;
}
inline Value listOf(std::vector<Value> items) {
    Value list = VUX::Types::Nil();
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        list = VUX::Types::Cons(std::move(*it), std::move(list));
    return list;
}

// The list of f applied to each element, in order.
template <class F>
Value each(const Value& xs, F&& f) {
    std::vector<Value> out = elements(xs);
    for (Value& x : out) x = f(x);
    return listOf(std::move(out));
}

// d1 <+> d2, d1 <> d2, d1 $$ d2.
inline Value spaced(const Value& a, const Value& b) { return PprLib::op_lt_plus_gt(a, b); }
inline Value beside(const Value& a, const Value& b) { return PprLib::op_lt_gt(a, b); }
inline Value above(const Value& a, const Value& b) { return PprLib::op_dollar_dollar(a, b); }
// The parts joined by <+> from left to right: one space between parts, none for an empty part.
inline Value spacedAll(std::initializer_list<Value> parts) {
    if (parts.size() == 0) return PprLib::empty();
    const Value* part = parts.begin();
    Value joined = *part;
    while (++part != parts.end()) joined = spaced(joined, *part);
    return joined;
}
// The string's text form as one chunk (in double quotes, with escapes), made on first demand.
inline Value quotedString(Value s) {
    return PprLib::text(rts::delay(
        [s = std::move(s)] { return VUX::Internal::Show::showStringLiteral(s, VUX::Types::Nil()); }));
}
// A part built only when first demanded (when the computation runs), so the fields it prints stay
// unevaluated until then.
template <class F>
Value deferred(F&& build) {
    return rts::delay(std::forward<F>(build));
}
// The type at noPrec, built when first demanded.
inline Value laterType(Value type) {
    return deferred([type = std::move(type)] { return pprType(noPrec, type); });
}
// "name :: type" (`ppr_sig`: an operator name in parentheses), built when first demanded.
inline Value laterSig(Value name, Value type) {
    return deferred([name = std::move(name), type = std::move(type)] { return ppr_sig(name, type); });
}

// Nothing for Nothing; `print` of x for Just x (the Maybe evaluated now).
template <class F>
Value maybeDoc(const Value& maybe, F&& print) {
    const Value& m = rts::force(maybe);
    return VUX::Internal::Maybe::isJust(m) ? print(rts::field(m, 0)) : PprLib::empty();
}
// The name by pprName' in the applied position: an operator in parentheses.
inline Value applied(const Value& name) {
    return PprLib::pprName_prime(VUX::Internal::TH::Syntax::Applied(), name);
}
// The name (a Maybe Name) by pprName' Applied then the arguments; the arguments alone without one.
inline Value namedHead(const Value& maybeName, const Value& arguments) {
    const Value& n = rts::force(maybeName);
    return VUX::Internal::Maybe::isJust(n) ? spaced(applied(rts::field(n, 0)), arguments) : arguments;
}
// The computation nested by nestDepth.
inline Value nested(const Value& m) { return PprLib::nest(VUX::Types::I_hash(nestDepth), m); }

// The documents of f applied to each element, in order.
template <class F>
std::vector<Value> docsOf(const Value& xs, F&& f) {
    std::vector<Value> out = elements(xs);
    for (Value& x : out) x = f(x);
    return out;
}
// The binders of a declaration head, each by the printer of its visibility flag; and those
// documents one space apart.
inline std::vector<Value> binderDocs(const Value& bs) {
    return docsOf(bs, [](const Value& b) { return pprTyVarBndr(inst_PprFlag_BndrVis(), b); });
}
inline Value hsepBinders(const Value& bs) { return PprLib::hsep(listOf(binderDocs(bs))); }
// `sep` of the documents, each but the last followed directly by the separator.
inline Value separated(const Value& separator, std::vector<Value> docs) {
    return PprLib::sep(PprLib::punctuate(separator, listOf(std::move(docs))));
}
inline Value commaList(std::vector<Value> docs) { return separated(PprLib::comma(), std::move(docs)); }
inline Value semiList(std::vector<Value> docs) { return separated(PprLib::semi(), std::move(docs)); }
// "{a; b; c}": the items of a block with explicit braces and semicolons; "{}" for none.
inline Value itemBlock(std::vector<Value> docs) { return PprLib::braces(semiList(std::move(docs))); }

// n copies of a computation (none when n <= 0).
inline Value copies(int64_t n, const Value& m) {
    std::vector<Value> out;
    for (int64_t i = 0; i < n; ++i) out.push_back(m);
    return listOf(std::move(out));
}

}  // namespace VUX::Boot::TH::Ppr::detail

// Keyword documents: constant computations of one text chunk (or one character), built on first
// use and shared.
#define VUX_PPR_KEYWORD(name, literal)                                                      \
    RTS_CONSTANT(name##_closure) {                                                          \
        VUX_CAF(#name);                                                                     \
        return ::VUX::Boot::TH::PprLib::document(                                           \
            ::Text::PrettyPrint::Drovane::text(::VUX::Internal::List::fromBytes(literal))); \
    }                                                                                       \
    Value name() { return name##_closure.get(); }
#define VUX_PPR_CHARACTER(name, c)                                         \
    RTS_CONSTANT(name##_closure) {                                         \
        VUX_CAF(#name);                                                    \
        return ::VUX::Boot::TH::PprLib::document(                          \
            ::Text::PrettyPrint::Drovane::char_(::VUX::Types::C_hash(c))); \
    }                                                                      \
    Value name() { return name##_closure.get(); }

// A static Ppr record: the printer, and the default ppr_list over this very record. Used inside
// namespace VUX::Boot::TH::Ppr.
#define VUX_PPR_INSTANCE(T, printer)                                         \
    extern const VUX::Record::Static<C_Ppr_class> inst_Ppr_##T##_closure;    \
    constinit const VUX::Record::Static<C_Ppr_class> inst_Ppr_##T##_closure{ \
        VUX::Record::fn<&printer>, VUX::Record::fn<&default_ppr_list, &inst_Ppr_##T##_closure>};
