#include "Control/Monad/Error/Class.h"

#include "Control/Monad/Trans/Except.h"
#include "Control/Monad/Trans/Internal.h"
#include "Data/Either.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Stack.h"
#include "rts/Profiling.h"

VUX_MODULE("Control.Monad.Error.Class");

namespace Control::Monad::Error::Class {

namespace T = Control::Monad::Trans;
namespace Base = VUX::Internal::Base;
namespace Stack = VUX::Internal::Stack;
namespace Either = Data::Either;
namespace Maybe = VUX::Internal::Maybe;
using Lifting::Layer;
using T::Internal::bind;
using T::Internal::ret;
using T::Internal::suspend;
using VUX::Record::fn;
using VUX::Record::ref;
using VUX::Record::with;

// ---------------------------------------------------------------------------------------------
// Native instances

namespace {
constexpr const char* kModule = "Control.Monad.Error.Class";
constexpr const char* kFile = "libraries/vux-caps/Control/Monad/Error/Class";

// The raiser of the IO instance: `ioError` with its own call site, the stack frozen so that the
// raised exception's context holds exactly that one entry.
RTS_CONSTANT(ioThrower) {
    VUX_CAF("throwError");
    Value stack =
        Stack::callStack({{"withFrozenCallStack", {VUX_PACKAGE_ID, kModule, kFile, 126, 3, 126, 16}},
                          {"ioError", {VUX_PACKAGE_ID, kModule, kFile, 126, 18, 126, 25}}});
    return Stack::withFrozenCallStack(stack, rts::fun<2>([](const Value& frozen, const Value& e) {
                                          return VUX::Internal::IOError::ioError(e, frozen);
                                      }));
}

Value throwErrorIO(const Value& e) { return rts::apply(ioThrower.get(), e); }

// Only an IOException runs the handler; every other exception passes on unchanged.
Value catchErrorIO(const Value& x, const Value& h) {
    VUX_SCC("catchError");
    return VUX::Internal::IOError::catchIOError(x, h);
}

Value throwErrorMaybe(const Value& u) {
    rts::force(u);
    return Maybe::Nothing();
}

Value catchErrorMaybe(const Value& x, const Value& h) {
    if (Maybe::isJust(rts::force(x))) return x;
    return rts::apply(h, T::Internal::unit());
}

Value throwErrorEither(const Value& e) { return Either::Left(e); }

Value catchErrorEither(const Value& x, const Value& h) {
    const Value& v = rts::force(x);
    if (rts::tag_of(v) == Either::Right_tag) return x;
    return rts::apply(h, rts::field(v, 0));
}
}  // namespace

constinit const VUX::Record::Static<C_MonadError_class> inst_MonadError_IO_closure{
    ref(VUX::Internal::IO::inst_Monad_IO_closure), fn<&throwErrorIO>, fn<&catchErrorIO>};
constinit const VUX::Record::Static<C_MonadError_class> inst_MonadError_Maybe_closure{
    ref(Maybe::inst_Monad_Maybe_closure), fn<&throwErrorMaybe>, fn<&catchErrorMaybe>};
constinit const VUX::Record::Static<C_MonadError_class> inst_MonadError_Either_closure{
    ref(Either::inst_Monad_Either_closure), fn<&throwErrorEither>, fn<&catchErrorEither>};

Value inst_MonadError_ExceptT(const Value& dMonad) {
    VUX_FUNCTION;
    return C_MonadError(T::Except::inst_Monad_ExceptT(dMonad),
                        rts::fun<1>([dMonad](const Value& e) { return ret(dMonad, Either::Left(e)); }),
                        with<&T::Except::catchE>(dMonad));
}

// ---------------------------------------------------------------------------------------------
// Lifting instances

namespace {
// `catchError x h` through a layer: the inner `catchError` runs x's inner computation, and its
// handler h e's from the same starting point (the layer's arguments, as many as it takes).
Value catchThrough(Layer layer, const Value& d, const Value& x, const Value& h) {
    Value inner = catchError(d);
    switch (layer) {
        case Layer::IdentityT:
        case Layer::MaybeT:
        case Layer::WriterT_Lazy:
        case Layer::WriterT_Strict: return rts::apply(inner, x, h);
        case Layer::RWST_Lazy:
        case Layer::RWST_Strict:
            return rts::fun<2>([inner, x, h](const Value& r, const Value& s) {
                return rts::apply(inner, suspend(x, r, s),
                                  rts::fun<1>([h, r, s](const Value& e) { return rts::apply(h, e, r, s); }));
            });
        case Layer::RWST_CPS:
            return rts::fun<3>([inner, x, h](const Value& r, const Value& s, const Value& w) {
                return rts::apply(inner, suspend(x, r, s, w), rts::fun<1>([h, r, s, w](const Value& e) {
                                      return rts::apply(h, e, r, s, w);
                                  }));
            });
        default:  // ReaderT, StateT, CPS WriterT, AccumT: one argument given on
            return rts::fun<1>([inner, x, h](const Value& s) {
                return rts::apply(inner, suspend(x, s),
                                  rts::fun<1>([h, s](const Value& e) { return rts::apply(h, e, s); }));
            });
    }
}
}  // namespace

Value liftedMonadError(Layer layer, const Value& dMonoid, const Value& d) {
    return C_MonadError(
        rts::delay(
            [layer, dMonoid, d] { return Lifting::monadOf(layer, dMonoid, T::Internal::selectField(d, 0)); }),
        rts::fun<1>([layer, dMonoid, d](const Value& e) {
            return Lifting::lift(layer, dMonoid, MonadError_Monad(d), suspend(throwError(d), e));
        }),
        rts::fun<2>([layer, d](const Value& x, const Value& h) { return catchThrough(layer, d, x, h); }));
}

Value inst_MonadError_IdentityT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::IdentityT, Value(), d);
}
Value inst_MonadError_MaybeT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::MaybeT, Value(), d);
}
Value inst_MonadError_ReaderT(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::ReaderT, Value(), d);
}
Value inst_MonadError_StateT_Lazy(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::StateT_Lazy, Value(), d);
}
Value inst_MonadError_StateT_Strict(const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::StateT_Strict, Value(), d);
}
Value inst_MonadError_WriterT_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::WriterT_CPS, dMonoid, d);
}
Value inst_MonadError_WriterT_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::WriterT_Lazy, dMonoid, d);
}
Value inst_MonadError_WriterT_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::WriterT_Strict, dMonoid, d);
}
Value inst_MonadError_RWST_CPS(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::RWST_CPS, dMonoid, d);
}
Value inst_MonadError_RWST_Lazy(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::RWST_Lazy, dMonoid, d);
}
Value inst_MonadError_RWST_Strict(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::RWST_Strict, dMonoid, d);
}
Value inst_MonadError_AccumT(const Value& dMonoid, const Value& d) {
    VUX_FUNCTION;
    return liftedMonadError(Layer::AccumT, dMonoid, d);
}

// ---------------------------------------------------------------------------------------------
// Operations

namespace {
Value pureOf(const Value& d, Value a) {
    return Base::pure(Base::Monad_Applicative(MonadError_Monad(d)), std::move(a));
}

// The continuation on an Either result: Left e raised as convert e, Right a yielded.
Value reraising(const Value& d, const Value& convert) {
    Value raise = throwError(d);
    Value pure = rts::fun<1>([d](const Value& a) { return pureOf(d, a); });
    return rts::fun<1>([raise, pure, convert](const Value& r) {
        const Value& v = rts::force(r);
        if (rts::tag_of(v) == Either::Right_tag) return rts::apply(pure, rts::field(v, 0));
        return rts::apply(raise, suspend(convert, rts::field(v, 0)));
    });
}
}  // namespace

Value liftEither(const Value& d, const Value& v) {
    VUX_FUNCTION;
    const Value& e = rts::force(v);
    if (rts::tag_of(e) == Either::Left_tag) return rts::apply(throwError(d), rts::field(e, 0));
    return pureOf(d, rts::field(e, 0));
}

Value tryError(const Value& d, const Value& x) {
    VUX_FUNCTION;
    Value asRight = rts::delay([d, x] {
        Value dFunctor = Base::Applicative_Functor(Base::Monad_Applicative(MonadError_Monad(d)));
        return Base::fmap(dFunctor, rts::fun<1>([](const Value& a) { return Either::Right(a); }), x);
    });
    Value handler = rts::fun<1>([d](const Value& e) { return pureOf(d, Either::Left(e)); });
    return rts::apply(catchError(d), std::move(asRight), std::move(handler));
}

Value withError(const Value& d, const Value& f, const Value& x) {
    VUX_FUNCTION;
    return bind(MonadError_Monad(d), tryError(d, x), reraising(d, f));
}

Value handleError(const Value& d, const Value& h, const Value& x) {
    VUX_FUNCTION;
    return rts::apply(catchError(d), x, h);
}

Value mapError(const Value& dm, const Value& dn, const Value& f, const Value& x) {
    VUX_FUNCTION;
    Value converted = suspend(f, rts::delay([dm, x] { return tryError(dm, x); }));
    return bind(MonadError_Monad(dn), std::move(converted),
                rts::fun<1>([dn](const Value& v) { return liftEither(dn, v); }));
}

Value modifyError(const Value& d, const Value& f, const Value& x) {
    VUX_FUNCTION;
    return bind(MonadError_Monad(d), x, reraising(d, f));
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Control.Monad.Error.Class");
VUX_DEFINE_TYCON(tcMonadError, trModule, "MonadError", 0, &Lifting::kindCapability.header);

}  // namespace Control::Monad::Error::Class
