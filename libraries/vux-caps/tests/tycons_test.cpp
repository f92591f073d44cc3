// The type representations of the capability classes and lifting wrappers: each TyCon's name,
// module, package, kind variables and kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Control/Monad/Accum.h"
#include "Control/Monad/Cont/Class.h"
#include "Control/Monad/Error/Class.h"
#include "Control/Monad/RWS/Class.h"
#include "Control/Monad/Reader/Class.h"
#include "Control/Monad/Select.h"
#include "Control/Monad/State/Class.h"
#include "Control/Monad/Writer/Class.h"

namespace {

using rts::Value;
namespace Types = VUX::Types;
namespace M = Control::Monad;

constexpr const char* package = "vux-caps-2.3.1-0868";

std::string nameText(const Value& trName) { return Types::trNameBytes(rts::force(trName)); }

// A kind as text, the kind variables named by `vars`; an arrow on the left of an arrow and a
// compound argument of an application are parenthesized.
std::string kindText(const Value& kind, const std::vector<std::string>& vars);
std::string atomText(const Value& kind, const std::vector<std::string>& vars) {
    const uint8_t tag = rts::force(kind)->tag;
    std::string text = kindText(kind, vars);
    bool compound = tag == Types::KindRepFun_tag || tag == Types::KindRepApp_tag ||
                    (tag == Types::KindRepTyConApp_tag && text.find(' ') != std::string::npos);
    return compound ? "(" + text + ")" : text;
}
std::string kindText(const Value& kind, const std::vector<std::string>& vars) {
    const Value& k = rts::force(kind);
    if (rts::same(k, Value::adopt(const_cast<rts::Object*>(Types::kindType)))) return "Type";
    if (rts::same(k, Value::adopt(const_cast<rts::Object*>(Types::kindConstraint)))) return "Constraint";
    switch (k->tag) {
        case Types::KindRepFun_tag: {
            const Value& from = rts::field(k, 0);
            std::string fromText = kindText(from, vars);
            if (rts::force(from)->tag == Types::KindRepFun_tag) fromText = "(" + fromText + ")";
            return fromText + " -> " + kindText(rts::field(k, 1), vars);
        }
        case Types::KindRepApp_tag:
            return kindText(rts::field(k, 0), vars) + " " + atomText(rts::field(k, 1), vars);
        case Types::KindRepVar_tag: {
            const auto i = static_cast<size_t>(rts::word(k, 0));
            return i < vars.size() ? vars[i] : "?" + std::to_string(i);
        }
        case Types::KindRepTyConApp_tag: {
            std::string text = nameText(Types::tyConName(rts::force(rts::field(k, 0))));
            for (Value args = rts::force(rts::field(k, 1)); args->tag == Types::Cons_tag;
                 args = rts::force(rts::field(args, 1)))
                text += " " + atomText(rts::field(args, 0), vars);
            return text;
        }
        default: return "<kind " + std::to_string(k->tag) + ">";
    }
}

struct TyConCase {
    const Types::StaticTyCon& tycon;
    const char* name;
    const char* module;
    int64_t kindVars;
    std::vector<std::string> varNames;
    const char* kind;
};

TEST(TypeRepresentations, NameModulePackageAndKind) {
    const std::vector<TyConCase> cases = {
        {M::State::Class::tcMonadState,
         "MonadState",
         "Control.Monad.State.Class",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Reader::Class::tcMonadReader,
         "MonadReader",
         "Control.Monad.Reader.Class",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Writer::Class::tcMonadWriter,
         "MonadWriter",
         "Control.Monad.Writer.Class",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Error::Class::tcMonadError,
         "MonadError",
         "Control.Monad.Error.Class",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Cont::Class::tcMonadCont,
         "MonadCont",
         "Control.Monad.Cont.Class",
         0,
         {},
         "(Type -> Type) -> Constraint"},
        {M::RWS::Class::tcMonadRWS,
         "MonadRWS",
         "Control.Monad.RWS.Class",
         0,
         {},
         "Type -> Type -> Type -> (Type -> Type) -> Constraint"},
        {M::RWS::Class::tc_prime_C_MonadRWS,
         "'C:MonadRWS",
         "Control.Monad.RWS.Class",
         4,
         {"r", "w", "s", "m"},
         "MonadRWS r w s m"},
        {M::Accum::tcMonadAccum,
         "MonadAccum",
         "Control.Monad.Accum",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Accum::tcLiftingAccum,
         "LiftingAccum",
         "Control.Monad.Accum",
         0,
         {},
         "((Type -> Type) -> Type -> Type) -> (Type -> Type) -> Type -> Type"},
        {M::Accum::tc_prime_LiftingAccum,
         "'LiftingAccum",
         "Control.Monad.Accum",
         3,
         {"t", "m", "a"},
         "t m a -> LiftingAccum t m a"},
        {M::Select::tcMonadSelect,
         "MonadSelect",
         "Control.Monad.Select",
         0,
         {},
         "Type -> (Type -> Type) -> Constraint"},
        {M::Select::tcLiftingSelect,
         "LiftingSelect",
         "Control.Monad.Select",
         0,
         {},
         "((Type -> Type) -> Type -> Type) -> (Type -> Type) -> Type -> Type"},
        {M::Select::tc_prime_LiftingSelect,
         "'LiftingSelect",
         "Control.Monad.Select",
         3,
         {"t", "m", "a"},
         "t m a -> LiftingSelect t m a"},
    };
    for (const TyConCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Value tycon = c.tycon.value();
        EXPECT_EQ(nameText(Types::tyConName(tycon)), c.name);
        const Value& module = rts::force(Types::tyConModule(tycon));
        EXPECT_EQ(nameText(rts::field(module, 0)), package);
        EXPECT_EQ(nameText(rts::field(module, 1)), c.module);
        EXPECT_EQ(Types::tyConKindVars(tycon), c.kindVars);
        EXPECT_EQ(kindText(Types::tyConKind(tycon), c.varNames), c.kind);
        const auto fp = Types::fingerprint(package, c.module, c.name);
        EXPECT_EQ(Types::tyConFingerprintHigh(tycon), fp.high);
        EXPECT_EQ(Types::tyConFingerprintLow(tycon), fp.low);
    }
}

}  // namespace
