#include "Control/Monad/Reader/Class.h"

#include "Control/Monad/Trans/Accum.h"
#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/RWS/CPS.h"
#include "Control/Monad/Trans/RWS/Lazy.h"
#include "Control/Monad/Trans/Reader.h"
#include "Control/Monad/Trans/State/Shared.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Reader.Class");

namespace Control::Monad::Reader::Class {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
using Lifting::Layer;
using T::Internal::bind;
using T::Internal::Match;
using T::Internal::pair;
using T::Internal::ret;
using T::Internal::suspend;
using T::Internal::Tuple2;
using VUX::Record::with;

Value default_ask(const Value& d) {
    VUX_FUNCTION;
    return rts::apply(reader(d), Base::id_closure.value());
}

Value default_reader(const Value& d, const Value& g) {
    VUX_FUNCTION;
    return T::Internal::liftM(MonadReader_Monad(d), g, ask(d));
}

Value asks(const Value& d, const Value& g) {
    VUX_FUNCTION;
    return rts::apply(reader(d), g);
}

// ---------------------------------------------------------------------------------------------
// Native instances

namespace {
// local f x = x . f
Value localFunction(const Value& f, const Value& x) {
    VUX_SCC("local");
    return Base::op_dot(x, f);
}
}  // namespace

constinit const VUX::Record::Static<C_MonadReader_class> inst_MonadReader_Function_closure{
    VUX::Record::ref(Base::inst_Monad_Function_closure), VUX::Record::ref(Base::id_closure),
    VUX::Record::fn<&localFunction>, VUX::Record::ref(Base::id_closure)};

Value inst_MonadReader_ReaderT(const Value& dMonad) {
    VUX_FUNCTION;
    return C_MonadReader(T::Reader::inst_Monad_ReaderT(dMonad), T::Reader::ask(dMonad),
                         T::Reader::withReaderT_closure.value(), with<&T::Reader::reader>(dMonad));
}

Value inst_MonadReader_RWST_CPS(const Value& dMonad, const Value&) {
    VUX_FUNCTION;
    return C_MonadReader(Lifting::monadOf(Layer::RWST_CPS, Value(), dMonad), T::RWS::CPS::ask(dMonad),
                         with<&T::RWS::CPS::local>(), with<&T::RWS::CPS::reader>(dMonad));
}

namespace {
// Lazy and strict RWST have the same `ask` and `reader`; `local` is the shared one of the two.
Value rwsT(Layer layer, const Value& dMonad, const Value& dMonoid) {
    return C_MonadReader(Lifting::monadOf(layer, dMonoid, dMonad), T::RWS::Shared::ask(dMonoid, dMonad),
                         with<&T::RWS::Shared::local>(), with<&T::RWS::Shared::reader>(dMonoid, dMonad));
}
}  // namespace

Value inst_MonadReader_RWST_Lazy(const Value& dMonad, const Value& dMonoid) {
    VUX_FUNCTION;
    return rwsT(Layer::RWST_Lazy, dMonad, dMonoid);
}

Value inst_MonadReader_RWST_Strict(const Value& dMonad, const Value& dMonoid) {
    VUX_FUNCTION;
    return rwsT(Layer::RWST_Strict, dMonad, dMonoid);
}

// ---------------------------------------------------------------------------------------------
// Lifting instances

namespace {
// `local` through the continuation-carrying layers: y runs under f of the environment, and every
// use of the continuation (or scoring by the selection function) c under the environment e that
// was in force when `local` was entered.
Value localAroundContinuation(const Value& d, const Value& f, const Value& y) {
    return rts::fun<1>([d, f, y](const Value& c) {
        return bind(MonadReader_Monad(d), ask(d), rts::fun<1>([d, f, y, c](const Value& e) {
                        Value restore = rts::apply(local(d), Base::const_(e));
                        Value wrapped = rts::fun<1>(
                            [restore, c](const Value& a) { return rts::apply(restore, suspend(c, a)); });
                        return rts::apply(local(d), f, suspend(y, wrapped));
                    }));
    });
}

// `local` through CPS WriterT: y runs from the empty output under the inner `local` f, and its
// output is appended after the output so far.
Value localWriterCPS(const Value& dMonoid, const Value& d, const Value& localF, const Value& none,
                     const Value& y) {
    return rts::fun<1>([dMonoid, d, localF, none, y](const Value& w) {
        Value run = rts::apply(localF, suspend(y, none));
        Value dMonad = MonadReader_Monad(d);
        return bind(dMonad, std::move(run), rts::fun<1>([dMonoid, dMonad, w](const Value& p) {
                        auto [a, produced] = pair(p, Match::Strict);
                        return ret(dMonad, Tuple2(a, T::Internal::mappendStrict(dMonoid, w, produced)));
                    }));
    });
}

// `local` f y through the other layers, given the inner `local` f (and, for CPS WriterT, the empty
// output y starts from), both made once per application of `local` to f.
Value localThrough(Layer layer, const Value& dMonoid, const Value& d, const Value& localF, const Value& none,
                   const Value& y) {
    switch (layer) {
        case Layer::ExceptT: return T::Except::mapExceptT(localF, y);
        case Layer::StateT_Lazy:
        case Layer::StateT_Strict: return T::State::Shared::mapStateT(localF, y);
        case Layer::AccumT: return T::Accum::mapAccumT(localF, y);
        case Layer::WriterT_CPS: return localWriterCPS(dMonoid, d, localF, none, y);
        default: return rts::apply(localF, y);  // MaybeT, IdentityT, lazy and strict WriterT
    }
}

Value lifted(Layer layer, const Value& dMonoid, const Value& d) {
    auto lifted = [layer, dMonoid, d](Value x) {
        return Lifting::lift(layer, dMonoid, MonadReader_Monad(d), std::move(x));
    };
    Value localField;
    if (layer == Layer::ContT || layer == Layer::SelectT)
        localField =
            rts::fun<2>([d](const Value& f, const Value& y) { return localAroundContinuation(d, f, y); });
    else
        localField = rts::fun<1>([layer, dMonoid, d](const Value& f) {
            Value localF = suspend(local(d), f);
            Value none = layer == Layer::WriterT_CPS ? T::Internal::mempty(dMonoid) : Value();
            return rts::fun<1>([layer, dMonoid, d, localF, none](const Value& y) {
                return localThrough(layer, dMonoid, d, localF, none, y);
            });
        });
    return C_MonadReader(rts::delay([layer, dMonoid, d] {
                             return Lifting::monadOf(layer, dMonoid, T::Internal::selectField(d, 0));
                         }),
                         rts::delay([d, lifted] { return lifted(ask(d)); }), std::move(localField),
                         rts::fun<1>([d, lifted](const Value& g) { return lifted(suspend(reader(d), g)); }));
}
}  // namespace

Value inst_MonadReader_ContT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ContT, Value(), d);
}
Value inst_MonadReader_ExceptT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::ExceptT, Value(), d);
}
Value inst_MonadReader_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::IdentityT, Value(), d);
}
Value inst_MonadReader_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::MaybeT, Value(), d);
}
Value inst_MonadReader_SelectT(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::SelectT, Value(), d);
}
Value inst_MonadReader_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadReader_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadReader_WriterT_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_CPS, dMonoid, d);
}
Value inst_MonadReader_WriterT_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadReader_WriterT_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadReader_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return lifted(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Reader.Class");
VUX_DEFINE_TYCON(tcMonadReader, trModule, "MonadReader", 0, &Lifting::kindCapability.header);

}  // namespace Control::Monad::Reader::Class
