#include "Control/Monad/Catch.h"

#include "Data/Either.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"

namespace Control::Monad::Catch {

namespace Base = VUX::Internal::Base;
namespace Exc = VUX::Internal::Exception;

constinit const rts::StaticNullary ExitCaseAbort_closure{ExitCaseAbort_tag};

namespace {
Value throwM_io(const Value& dException, const Value& e) { return Exc::throwIO(dException, e); }
Value catch_io(const Value& dException, const Value& act, const Value& handler) {
    return Exc::catch_(dException, act, handler);
}
Value mask_io(const Value& io) { return Exc::mask(io); }
Value uninterruptibleMask_io(const Value& io) { return Exc::uninterruptibleMask(io); }
Value generalBracket_io(const Value& acquire, const Value& release, const Value& use) {
    return rts::fun<1>([acquire, release, use](const Value& token) {
        return Exc::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState outer) {
            Value a = rts::apply(acquire, token);
            Value b = rts::catch_exception(
                [&] { return rts::with_masking_state(outer, [&] { return rts::apply(use, a, token); }); },
                [&](const rts::Exception& ex) -> Value {
                    rts::apply(release, a, ExitCaseException(Exc::exceptionValue(ex)), token);
                    rts::rethrow(ex);
                });
            Value c = rts::apply(release, a, ExitCaseSuccess(b), token);
            return VUX::Tuple::Tuple2(std::move(b), std::move(c));
        });
    });
}
}  // namespace

using VUX::Record::fn, VUX::Record::ref;
constinit const VUX::Record::Static<C_MonadThrow_class> inst_MonadThrow_IO_closure{
    ref(VUX::Internal::IO::inst_Monad_IO_closure), fn<&throwM_io>};
constinit const VUX::Record::Static<C_MonadCatch_class> inst_MonadCatch_IO_closure{
    ref(inst_MonadThrow_IO_closure), fn<&catch_io>};
constinit const VUX::Record::Static<C_MonadMask_class> inst_MonadMask_IO_closure{
    ref(inst_MonadCatch_IO_closure), fn<&mask_io>, fn<&uninterruptibleMask_io>, fn<&generalBracket_io>};

Value throwM(const Value& dMonadThrow, const Value& dException, const Value& e) {
    return rts::apply(throwM(dMonadThrow), dException, e);
}

Value catch_(const Value& dMonadCatch, const Value& dException, const Value& act, const Value& handler) {
    return rts::apply(catch_(dMonadCatch), dException, act, handler);
}

Value try_(const Value& dMonadCatch, const Value& dException, const Value& act) {
    const Value& dMonad = MonadThrow_Monad(MonadCatch_MonadThrow(dMonadCatch));
    Value right = Base::fmap(Base::Applicative_Functor(Base::Monad_Applicative(dMonad)),
                             rts::fun<1>([](const Value& x) { return Data::Either::Right(x); }), act);
    return catch_(dMonadCatch, dException, right, rts::fun<1>([dMonad](const Value& e) {
                      return Base::return_(dMonad, Data::Either::Left(e));
                  }));
}

Value bracket(const Value& dMonadMask, const Value& acquire, const Value& release, const Value& use) {
    const Value& dMonad = MonadThrow_Monad(MonadCatch_MonadThrow(MonadMask_MonadCatch(dMonadMask)));
    Value both = rts::apply(
        generalBracket(dMonadMask), acquire,
        rts::fun<2>([release](const Value& a, const Value&) { return rts::apply(release, a); }), use);
    return Base::fmap(Base::Applicative_Functor(Base::Monad_Applicative(dMonad)), Base::fst_closure.value(),
                      both);
}

Value bracket_(const Value& dMonadMask, const Value& before, const Value& after, const Value& thing) {
    return bracket(dMonadMask, before, Base::const_(after), Base::const_(thing));
}

}  // namespace Control::Monad::Catch
