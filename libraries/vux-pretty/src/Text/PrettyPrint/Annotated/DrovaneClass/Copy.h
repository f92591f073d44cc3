// The Pretty class, written once for both copies. A copy is PrettyCopy<Front, Class>, where Class is
// the copy's own C_Pretty_class and Front gives the document operations of its module (text,
// char_, the number documents, comma, parens, brackets, maybeParens, render) and
// `constant<Name, Compute>`, which evaluates a constant of the copy (in a profiling build under
// the constant's own cost centre `Name` of the copy's module, so Front is defined in that module's
// source file). Every static value is a member of the instantiation, so each copy has its own
// levels, precedences and constant documents; its static records are defined in Definitions.inc.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Classes.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"

namespace Text::PrettyPrint::Annotated::DrovaneClassCopy {

using rts::Value;

template <class F, class C>
struct PrettyCopy {
    using Front = F;
    using Class = C;

    // -----------------------------------------------------------------------------------------
    // Static values

    static constexpr rts::StaticCon<0, 1> levelZero{VUX::Types::I_hash_tag, rts::word_slot(0)};
    static constexpr rts::StaticCon<0, 1> integerZero{VUX::Num::Integer::IS_tag, rts::word_slot(0)};
    static constexpr rts::StaticCon<0, 1> integerOne{VUX::Num::Integer::IS_tag, rts::word_slot(1)};
    static constexpr rts::StaticCon<0, 1> integerTen{VUX::Num::Integer::IS_tag, rts::word_slot(10)};
    static constexpr rts::StaticCon<2> precZero{VUX::Internal::Real::op_colon_percent_tag,
                                                rts::ref_slot(integerZero.object()),
                                                rts::ref_slot(integerOne.object())};

    // The code of the constant `Name` computed by `Compute`, evaluated through the front.
    template <const char* Name, Value (*Compute)()>
    static constexpr const rts::ThunkInfo* constantInfo =
        rts::constant_info<&Front::template constant<Name, Compute>>;

    static Value computePrecEleven() {
        return VUX::Internal::Real::reduce(VUX::Num::Integer::IS(11), VUX::Num::Integer::IS(1));
    }
    static constexpr char precElevenName[] = "precEleven";
    static inline constinit rts::Constant precEleven{constantInfo<precElevenName, &computePrecEleven>};

    // The constant documents, each `text` of its string, built on first use.
    template <const char* Text>
    static Value textConstant() {
        return Front::text(VUX::Internal::List::fromBytes(Text));
    }
    static constexpr char unitText[] = "()", falseText[] = "False", trueText[] = "True",
                          nothingText[] = "Nothing", justText[] = "Just", leftText[] = "Left",
                          rightText[] = "Right";
    static constexpr char unitName[] = "unitDoc", falseName[] = "falseDoc", trueName[] = "trueDoc",
                          nothingName[] = "nothingDoc", justName[] = "justDoc", leftName[] = "leftDoc",
                          rightName[] = "rightDoc";
    static inline constinit rts::Constant unitDoc{constantInfo<unitName, &textConstant<unitText>>};
    static inline constinit rts::Constant falseDoc{constantInfo<falseName, &textConstant<falseText>>};
    static inline constinit rts::Constant trueDoc{constantInfo<trueName, &textConstant<trueText>>};
    static inline constinit rts::Constant nothingDoc{constantInfo<nothingName, &textConstant<nothingText>>};
    static inline constinit rts::Constant justDoc{constantInfo<justName, &textConstant<justText>>};
    static inline constinit rts::Constant leftDoc{constantInfo<leftName, &textConstant<leftText>>};
    static inline constinit rts::Constant rightDoc{constantInfo<rightName, &textConstant<rightText>>};

    // -----------------------------------------------------------------------------------------
    // The record and its defaults

    static Value pPrintPrec(const Value& d, const Value& l, const Value& p, const Value& x) {
        return rts::apply(VUX::Record::field<Class::pPrintPrec>(d), l, p, x);
    }
    static Value pPrint(const Value& d, const Value& x) {
        return rts::apply(VUX::Record::field<Class::pPrint>(d), x);
    }
    static Value pPrintList(const Value& d, const Value& l, const Value& xs) {
        return rts::apply(VUX::Record::field<Class::pPrintList>(d), l, xs);
    }

    static Value defaultPPrintList(const Value& prec, const Value& l, const Value& xs) {
        // One function for all elements; each element's document is suspended by `map`.
        Value element = rts::apply(prec, l, precZero.value());
        Value docs = VUX::Internal::List::map(std::move(element), xs);
        return Front::brackets(fsep(punctuate(Front::comma(), docs)));
    }

    // A record whose pPrint and pPrintList are the defaults over the given pPrintPrec.
    static Value recordFromPrec(Value prec) {
        Value print = rts::fun<1>([prec](const Value& x) {
            return rts::apply(prec, levelZero.value(), precZero.value(), x);
        });
        Value list = rts::fun<2>([prec](const Value& l, const Value& xs) { return defaultPPrintList(prec, l, xs); });
        return VUX::Record::make<Class>(std::move(prec), std::move(print), std::move(list));
    }

    static Value prettyRecord(Value prec, Value print, Value list) {
        if (!prec && !print) throw std::invalid_argument("a Pretty instance defines pPrintPrec or pPrint");
        if (!prec) prec = rts::fun<3>([print](const Value&, const Value&, const Value& x) { return rts::apply(print, x); });
        if (!print)
            print = rts::fun<1>([prec](const Value& x) { return rts::apply(prec, levelZero.value(), precZero.value(), x); });
        if (!list)
            list = rts::fun<2>([prec](const Value& l, const Value& xs) { return defaultPPrintList(prec, l, xs); });
        return VUX::Record::make<Class>(std::move(prec), std::move(print), std::move(list));
    }

    // -----------------------------------------------------------------------------------------
    // Precedence test: n * 1 <= 10 * d means "not above 10".

    static bool precedenceAbove10(const Value& prec) {
        const Value& r = rts::force(prec);
        Value lhs = VUX::Num::Integer::integerMul(rts::field(r, 0), integerOne.value());
        Value rhs = VUX::Num::Integer::integerMul(integerTen.value(), rts::field(r, 1));
        return VUX::Num::Integer::integerLe_hash(lhs, rhs) == 0;
    }

    // -----------------------------------------------------------------------------------------
    // Scalar instances: a document of the value alone; level and precedence ignored.

    // The pPrintPrec of a scalar instance: a document of the value alone.
    template <Value (*Print)(const Value&)>
    static Value ignoringLevel(const Value&, const Value&, const Value& x) {
        return Print(x);
    }

    static Value printInt(const Value& x) { return Front::int_(x); }
    static Value printInteger(const Value& x) { return Front::integer(x); }
    static Value printFloat(const Value& x) { return Front::float_(x); }
    static Value printDouble(const Value& x) { return Front::double_(x); }
    static Value printChar(const Value& x) { return Front::char_(x); }
    static Value printUnit(const Value&) { return unitDoc.get(); }
    static Value printBool(const Value& x) {
        return VUX::Types::isTrue(rts::force(x)) ? trueDoc.get() : falseDoc.get();
    }
    static Value printOrdering(const Value& x) {
        static constexpr const char* names[] = {"LT", "EQ", "GT"};
        return Front::text(VUX::Internal::List::fromBytes(names[rts::force(x)->tag]));
    }

    // Char's pPrintList: the string literal of the list (the record and the level are not used).
    static Value printString(const Value&, const Value&, const Value& xs) {
        return Front::text(VUX::Internal::Show::showStringLiteral(xs, VUX::Types::Nil()));
    }

    // -----------------------------------------------------------------------------------------
    // Compound instances

    // Constructor `con` applied to y: `con <+> doc`, where doc is y's document at precedence 11
    // (evaluated), in parentheses when the precedence test said so.
    static Value applied(const Value& con, const Value& dY, const Value& l, bool paren, const Value& y) {
        Value arg(rts::force(pPrintPrec(dY, l, precEleven.value(), y)));
        Value doc = op_lt_plus_gt(con, arg);
        return paren ? Front::parens(doc) : doc;
    }

    static Value maybePrec(const Value& dA, const Value& l, const Value& p, const Value& m) {
        const Value& mv = rts::force(m);
        if (mv->tag == 0) return nothingDoc.get();  // Nothing: the precedence is never demanded
        bool paren = precedenceAbove10(p);
        return applied(justDoc.get(), dA, l, paren, rts::field(mv, 0));
    }

    static Value eitherPrec(const Value& dL, const Value& dR, const Value& l, const Value& p, const Value& e) {
        (void)rts::force(p);  // demanded before the value is examined
        const Value& ev = rts::force(e);
        bool paren = precedenceAbove10(p);
        if (ev->tag == 0) return applied(leftDoc.get(), dL, l, paren, rts::field(ev, 0));
        return applied(rightDoc.get(), dR, l, paren, rts::field(ev, 0));
    }

    static Value maybeRecord(const Value& dA) {
        return recordFromPrec(rts::fun<3>(
            [dA](const Value& l, const Value& p, const Value& m) { return maybePrec(dA, l, p, m); }));
    }

    static Value eitherRecord(const Value& dL, const Value& dR) {
        return recordFromPrec(rts::fun<3>([dL, dR](const Value& l, const Value& p, const Value& e) {
            return eitherPrec(dL, dR, l, p, e);
        }));
    }

    static Value listRecord(const Value& dA) {
        Value prec = rts::fun<3>([dA](const Value& l, const Value&, const Value& xs) { return pPrintList(dA, l, xs); });
        Value print = rts::fun<1>([dA](const Value& xs) { return pPrintList(dA, levelZero.value(), xs); });
        Value list = rts::fun<2>([prec](const Value& l, const Value& xs) { return defaultPPrintList(prec, l, xs); });
        return VUX::Record::make<Class>(std::move(prec), std::move(print), std::move(list));
    }

    // A tuple: its components' documents at precedence 0, suspended, separated by commas, filled
    // and put in parentheses. The precedence is never demanded.
    template <size_t N>
    static Value tuplePrec(const std::array<Value, N>& ds, const Value& l, const Value& t) {
        const Value& tv = rts::force(t);
        VUX::Internal::List::ListBuilder docs;
        for (size_t i = 0; i < N; ++i) {
            Value d = ds[i];
            Value x = rts::field(tv, i);
            docs.push(rts::delay([d, l, x] { return pPrintPrec(d, l, precZero.value(), x); }));
        }
        return Front::parens(fsep(punctuate(Front::comma(), docs.finish(VUX::Types::Nil()))));
    }

    template <size_t N>
    static Value tupleRecord(const std::array<Value, N>& ds) {
        return recordFromPrec(rts::fun<3>(
            [ds](const Value& l, const Value&, const Value& t) { return tuplePrec<N>(ds, l, t); }));
    }

    // -----------------------------------------------------------------------------------------
    // PrettyLevel's Show

    static Value showsLevel(int64_t d, const Value& x, Value s) {
        using VUX::Internal::List::boxChar;
        int64_t n = VUX::Types::intOf(rts::force(x));
        bool paren = d >= 11;
        if (paren) s = VUX::Types::Cons(boxChar(')'), std::move(s));
        Value body = VUX::Internal::Show::showText("PrettyLevel ", VUX::Internal::Show::showSignedInt(11, n, std::move(s)));
        return paren ? VUX::Types::Cons(boxChar('('), std::move(body)) : body;
    }

  private:
    static Value op_lt_plus_gt(const Value& p, const Value& q) { return Annotated::Drovane::op_lt_plus_gt(p, q); }
    static Value fsep(const Value& docs) { return Annotated::Drovane::fsep(docs); }
    static Value punctuate(const Value& sep, const Value& docs) { return Annotated::Drovane::punctuate(sep, docs); }
};

}  // namespace Text::PrettyPrint::Annotated::DrovaneClassCopy
