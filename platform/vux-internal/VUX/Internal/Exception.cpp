#include "VUX/Internal/Exception.h"

#include "Data/Either.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"

namespace VUX::Internal::Exception {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;
using VUX::Record::fn;
using VUX::Record::ref;
namespace Record = VUX::Record;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Internal.Exception");
VUX_DEFINE_TYCON(tcSomeException, trModule, "SomeException", 0, kindType);
VUX_DEFINE_TYCON(tcErrorCall, trModule, "ErrorCall", 0, kindType);
VUX_DEFINE_TYCON(tcArithException, trModule, "ArithException", 0, kindType);
VUX_DEFINE_TYCON(tcAsyncException, trModule, "AsyncException", 0, kindType);
VUX_DEFINE_TYCON(tcNonTermination, trModule, "NonTermination", 0, kindType);
VUX_DEFINE_TYCON(tcSomeAsyncException, trModule, "SomeAsyncException", 0, kindType);
VUX_DEFINE_TYCON(tcMaskingState, trModule, "MaskingState", 0, kindType);

bool isSomeException(const Value& v) {
    return v && v->kind == rts::Kind::Con && v->tag == SomeException_tag && v->nptrs == 3 && v->nwords == 0;
}

bool sameTypeRep(const Value& a, const Value& b) {
    const Value& x = force(a);
    const Value& y = force(b);
    return tyConFingerprintHigh(x) == tyConFingerprintHigh(y) && tyConFingerprintLow(x) == tyConFingerprintLow(y);
}

Value toException(const Value& d, const Value& e) { return rts::apply(toException(d), e); }
Value fromException(const Value& d, const Value& some) { return rts::apply(fromException(d), some); }
Value displayException(const Value& d, const Value& e) { return rts::apply(displayException(d), e); }

namespace {

// A Show record whose every form is the fixed text of the value (`showsPrec _ x = showString t`).
template <Value (*Text)(const Value&)>
struct TextShow {
    static Value showsPrec(const Value&, const Value& x, const Value& s) {
        return List::op_plus_plus(Text(x), s);
    }
    static Value show(const Value& x) { return Text(x); }
};

const char* arithText(uint8_t tag) {
    switch (tag) {
        case Overflow_tag: return "arithmetic overflow";
        case Underflow_tag: return "arithmetic underflow";
        case LossOfPrecision_tag: return "loss of precision";
        case DivideByZero_tag: return "divide by zero";
        case Denormal_tag: return "denormal";
        case RatioZeroDenominator_tag: return "Ratio has zero denominator";
    }
    return "arithmetic exception";
}
const char* asyncText(uint8_t tag) {
    switch (tag) {
        case StackOverflow_tag: return "stack overflow";
        case HeapOverflow_tag: return "heap overflow";
        case ThreadKilled_tag: return "thread killed";
        case UserInterrupt_tag: return "user interrupt";
    }
    return "asynchronous exception";
}

Value errorCallText(const Value& x) { return rts::field(force(x), 0); }
Value arithTextOf(const Value& x) { return List::fromBytes(arithText(force(x)->tag)); }
Value asyncTextOf(const Value& x) { return List::fromBytes(asyncText(force(x)->tag)); }
Value loopText(const Value&) { return List::fromBytes("<<loop>>"); }
Value someText(const Value& x) {
    const Value& s = force(x);
    return displayException(someExceptionRecord(s), someExceptionValue(s));
}

using ErrorCallShow = TextShow<&errorCallText>;
using ArithShow = TextShow<&arithTextOf>;
using AsyncShow = TextShow<&asyncTextOf>;
using LoopShow = TextShow<&loopText>;
using SomeShow = TextShow<&someText>;

}  // namespace

namespace {
// `showsPrec d (SomeAsyncException e)` is `showsPrec d e`, through e's own Show record.
Value showsSomeAsync(int64_t d, const Value& x, Value s) {
    const Value& v = force(x);
    return Show::showsPrec(Exception_Show(rts::field(v, 0)), d, rts::field(v, 1), std::move(s));
}
}  // namespace

constinit const Record::Static<Show::C_Show_class> inst_Show_SomeAsyncException_closure{
    fn<&Show::showsPrecWith<&showsSomeAsync>>, fn<&Show::default_show, &inst_Show_SomeAsyncException_closure>,
    fn<&Show::default_showList, &inst_Show_SomeAsyncException_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_ErrorCall_closure{
    fn<&ErrorCallShow::showsPrec>, fn<&ErrorCallShow::show>, fn<&Show::default_showList, &inst_Show_ErrorCall_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_ArithException_closure{
    fn<&ArithShow::showsPrec>, fn<&ArithShow::show>, fn<&Show::default_showList, &inst_Show_ArithException_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_AsyncException_closure{
    fn<&AsyncShow::showsPrec>, fn<&AsyncShow::show>, fn<&Show::default_showList, &inst_Show_AsyncException_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_NonTermination_closure{
    fn<&LoopShow::showsPrec>, fn<&LoopShow::show>, fn<&Show::default_showList, &inst_Show_NonTermination_closure>};
constinit const Record::Static<Show::C_Show_class> inst_Show_SomeException_closure{
    fn<&SomeShow::showsPrec>, fn<&SomeShow::show>, fn<&Show::default_showList, &inst_Show_SomeException_closure>};

constinit const Record::Static<C_Exception_class> inst_Exception_ErrorCall_closure{
    ref(tcErrorCall), ref(inst_Show_ErrorCall_closure), fn<&default_toException, &inst_Exception_ErrorCall_closure>, fn<&default_fromException, &inst_Exception_ErrorCall_closure>,
    fn<&default_displayException, &inst_Exception_ErrorCall_closure>};
constinit const Record::Static<C_Exception_class> inst_Exception_ArithException_closure{
    ref(tcArithException), ref(inst_Show_ArithException_closure), fn<&default_toException, &inst_Exception_ArithException_closure>, fn<&default_fromException, &inst_Exception_ArithException_closure>,
    fn<&default_displayException, &inst_Exception_ArithException_closure>};
constinit const Record::Static<C_Exception_class> inst_Exception_AsyncException_closure{
    ref(tcAsyncException), ref(inst_Show_AsyncException_closure), fn<&asyncExceptionToException, &inst_Exception_AsyncException_closure>, fn<&asyncExceptionFromException, &inst_Exception_AsyncException_closure>,
    fn<&default_displayException, &inst_Exception_AsyncException_closure>};
constinit const Record::Static<C_Exception_class> inst_Exception_NonTermination_closure{
    ref(tcNonTermination), ref(inst_Show_NonTermination_closure), fn<&default_toException, &inst_Exception_NonTermination_closure>, fn<&default_fromException, &inst_Exception_NonTermination_closure>,
    fn<&default_displayException, &inst_Exception_NonTermination_closure>};

namespace {
Value some_to(const Value& e) { return e; }
Value some_from(const Value& s) { return Maybe::Just(s); }
Value some_display(const Value& s) { return displaySomeExceptionText(s); }
}  // namespace

namespace {
// SomeAsyncException displays as the exception inside.
Value someAsync_display(const Value& x) {
    const Value& v = force(x);
    return displayException(rts::field(v, 0), rts::field(v, 1));
}
}  // namespace

constinit const Record::Static<C_Exception_class> inst_Exception_SomeAsyncException_closure{
    ref(tcSomeAsyncException),
    ref(inst_Show_SomeAsyncException_closure),
    fn<&default_toException, &inst_Exception_SomeAsyncException_closure>,
    fn<&default_fromException, &inst_Exception_SomeAsyncException_closure>,
    fn<&someAsync_display>};

constinit const Record::Static<C_Exception_class> inst_Exception_SomeException_closure{
    ref(tcSomeException), ref(inst_Show_SomeException_closure), fn<&some_to>, fn<&some_from>, fn<&some_display>};

// Static values of the enumerations and the SomeException values the runtime's hooks hand out.
namespace {
constinit const rts::StaticNullary arith_values[6] = {
    rts::StaticNullary{0}, rts::StaticNullary{1}, rts::StaticNullary{2},
    rts::StaticNullary{3}, rts::StaticNullary{4}, rts::StaticNullary{5}};
constinit const rts::StaticNullary async_values[4] = {rts::StaticNullary{0}, rts::StaticNullary{1},
                                                      rts::StaticNullary{2}, rts::StaticNullary{3}};

template <class Record, class E>
constexpr rts::StaticCon<3> staticSome(const Record& d, const E& e) {
    return rts::StaticCon<3>(SomeException_tag, ref_slot(d.object()), ref_slot(Stack::EmptyCallStack_closure.object()),
                             ref_slot(e.object()));
}
constexpr rts::StaticCon<2> staticSomeAsync(const rts::StaticNullary& e) {
    return rts::StaticCon<2>(SomeAsyncException_tag, ref_slot(inst_Exception_AsyncException_closure.object()),
                             ref_slot(e.object()));
}
}  // namespace

constinit rts::Object* const ArithException_closure_tbl[6] = {
    arith_values[0].object(), arith_values[1].object(), arith_values[2].object(),
    arith_values[3].object(), arith_values[4].object(), arith_values[5].object()};
constinit rts::Object* const AsyncException_closure_tbl[4] = {async_values[0].object(), async_values[1].object(),
                                                              async_values[2].object(), async_values[3].object()};
constinit const rts::StaticNullary NonTermination_closure{0};

namespace {
constinit const rts::StaticCon<3> some_arith[6] = {
    staticSome(inst_Exception_ArithException_closure, arith_values[0]), staticSome(inst_Exception_ArithException_closure, arith_values[1]),
    staticSome(inst_Exception_ArithException_closure, arith_values[2]), staticSome(inst_Exception_ArithException_closure, arith_values[3]),
    staticSome(inst_Exception_ArithException_closure, arith_values[4]), staticSome(inst_Exception_ArithException_closure, arith_values[5])};
// The asynchronous ones inside their SomeAsyncException layer.
constinit const rts::StaticCon<2> async_layers[4] = {staticSomeAsync(async_values[0]), staticSomeAsync(async_values[1]),
                                                     staticSomeAsync(async_values[2]), staticSomeAsync(async_values[3])};
constinit const rts::StaticCon<3> some_async[4] = {staticSome(inst_Exception_SomeAsyncException_closure, async_layers[0]),
                                                   staticSome(inst_Exception_SomeAsyncException_closure, async_layers[1]),
                                                   staticSome(inst_Exception_SomeAsyncException_closure, async_layers[2]),
                                                   staticSome(inst_Exception_SomeAsyncException_closure, async_layers[3])};
constinit const rts::StaticCon<3> some_loop = staticSome(inst_Exception_NonTermination_closure, NonTermination_closure);

Value makeRuntimeException(rts::RtsError kind) {
    switch (kind) {
        case rts::RtsError::NonTermination: return some_loop.value();
        case rts::RtsError::StackOverflow: return some_async[StackOverflow_tag].value();
        case rts::RtsError::HeapOverflow: return some_async[HeapOverflow_tag].value();
        case rts::RtsError::Overflow: return some_arith[Overflow_tag].value();
        case rts::RtsError::Underflow: return some_arith[Underflow_tag].value();
        case rts::RtsError::DivideByZero: return some_arith[DivideByZero_tag].value();
        case rts::RtsError::ThreadKilled: return some_async[ThreadKilled_tag].value();
        case rts::RtsError::CompactionFailed:
            return toException(inst_Exception_ErrorCall(), ErrorCall(List::fromBytes(rts::rts_error_text(kind))));
        case rts::RtsError::None: break;
    }
    return Value();
}

std::string displayHook(const Value& v) {
    if (!isSomeException(v)) return "<exception>";
    return displaySomeException(v);
}

// Registers the hooks when the library is loaded, before any code of it can run.
struct RegisterHooks {
    RegisterHooks() { rts::set_exception_hooks(rts::ExceptionHooks{&makeRuntimeException, &displayHook}); }
} register_hooks;
}  // namespace

namespace {
Value dynamicRecord(const Value& tc, const Value& dShow);
}

Value exceptionRecord(const StaticTyCon& tyCon, Value dShow) { return dynamicRecord(tyCon.value(), dShow); }

namespace {
// A record made at run time. Its toException must put a record of the same type in the
// SomeException; referring to itself would be a cycle of counted references, so it makes a fresh
// one (equal by TyCon, which is all that handlers compare).
Value dynamicRecord(const Value& tc, const Value& dShow) {
    Value to = rts::fun<1>([tc, dShow](const Value& e) { return SomeException(dynamicRecord(tc, dShow), Stack::EmptyCallStack(), e); });
    Value from = rts::fun<1>([tc](const Value& some) -> Value {
        const Value& s = force(some);
        if (!isSomeException(s)) return Maybe::Nothing();
        if (sameTypeRep(tc, Exception_Typeable(someExceptionRecord(s))))
            return Maybe::Just(someExceptionValue(s));
        return Maybe::Nothing();
    });
    Value display = rts::fun<1>([dShow](const Value& e) { return Show::show(dShow, e); });
    return C_Exception(tc, dShow, std::move(to), std::move(from), std::move(display));
}
}  // namespace

Value default_toException(const Value& self, const Value& e) { return SomeException(self, Stack::EmptyCallStack(), e); }
Value default_fromException(const Value& self, const Value& some) {
    const Value& s = force(some);
    if (!isSomeException(s)) return Maybe::Nothing();
    if (sameTypeRep(Exception_Typeable(self), Exception_Typeable(someExceptionRecord(s))))
        return Maybe::Just(someExceptionValue(s));
    return Maybe::Nothing();
}
Value default_displayException(const Value& self, const Value& e) { return Show::show(Exception_Show(self), e); }

Value asyncExceptionToException(const Value& d, const Value& e) {
    return SomeException(inst_Exception_SomeAsyncException(), Stack::EmptyCallStack(), SomeAsyncException(d, e));
}

Value asyncExceptionFromException(const Value& d, const Value& some) {
    Value layer = default_fromException(inst_Exception_SomeAsyncException(), some);
    const Value& m = force(layer);
    if (m->tag != Maybe::Just_tag) return Maybe::Nothing();
    const Value& inner = force(rts::field(m, 0));
    if (!sameTypeRep(Exception_Typeable(d), Exception_Typeable(rts::field(inner, 0))))
        return Maybe::Nothing();
    return Maybe::Just(rts::field(inner, 1));
}

bool isThreadKilled(const rts::Exception& e) {
    if (e.kind() == rts::RtsError::ThreadKilled) return true;
    if (!isSomeException(e.value())) return false;
    Value found = asyncExceptionFromException(inst_Exception_AsyncException(), e.value());
    const Value& m = force(found);
    return m->tag == Maybe::Just_tag && force(rts::field(m, 0))->tag == ThreadKilled_tag;
}

// ---------------------------------------------------------------------------------------------
// Display

Value displaySomeExceptionText(const Value& some) {
    const Value& s = force(some);
    Value text = displayException(someExceptionRecord(s), someExceptionValue(s));
    const Value& ctx = someExceptionContext(s);
    if (Stack::callStackIsEmpty(ctx)) return text;
    return List::op_plus_plus(std::move(text), Cons(List::boxChar('\n'), Stack::prettyCallStack(ctx)));
}

std::string displaySomeException(const Value& some) { return List::toUtf8(displaySomeExceptionText(some)); }

// ---------------------------------------------------------------------------------------------
// Raising and handling

void throw_(const Value& d, const Value& e) { rts::raise(toException(d, e)); }

void throwWithCallStack(const Value& d, const Value& e, const Value& callStack) {
    Value made = toException(d, e);
    const Value& some = force(made);
    rts::raise(SomeException(someExceptionRecord(some), callStack, someExceptionValue(some)));
}

Value throwIO(Value d, Value e) {
    return IO::io([d, e]() -> Value { throw_(d, e); });
}

Value exceptionValue(const rts::Exception& ex) {
    if (ex.value()) return ex.value();
    Value made = makeRuntimeException(ex.kind());
    return made ? made : Value(some_loop.value());
}

namespace {
// Runs `body()`; on an exception of the record's type runs `onCaught(e, some)` under the
// handler's masking rule (rts::catch_exception), else passes the exception on unchanged.
template <class Body, class OnCaught>
Value runCatching(const Value& d, Body&& body, OnCaught&& onCaught) {
    return rts::catch_exception(std::forward<Body>(body), [&](const rts::Exception& ex) -> Value {
        Value some = exceptionValue(ex);
        Value found = fromException(d, some);
        const Value& m = force(found);
        if (m->tag != Maybe::Just_tag) rts::rethrow(ex);
        return onCaught(rts::field(m, 0), some);
    });
}
}  // namespace

Value catch_(Value d, Value act, Value handler) {
    return rts::fun<1>([d, act, handler](const Value& token) {
        return runCatching(
            d, [&] { return rts::apply(act, token); },
            [&](const Value& e, const Value&) { return rts::apply(handler, e, token); });
    });
}

Value catch2(Value d, Value act, Value handler) {
    return rts::fun<1>([d, act, handler](const Value& token) {
        return runCatching(
            d, [&] { return rts::apply(act, token); },
            [&](const Value& e, const Value& some) { return rts::apply(handler, e, some, token); });
    });
}

Value handle(Value d, Value handler, Value act) { return catch_(std::move(d), std::move(act), std::move(handler)); }

Value try_(Value d, Value act) {
    return rts::fun<1>([d, act](const Value& token) {
        return runCatching(
            d, [&] { return Data::Either::Right(rts::apply(act, token)); },
            [](const Value& e, const Value&) { return Data::Either::Left(e); });
    });
}

Value evaluate(Value x) {
    return IO::io([x]() -> Value { return rts::force(x); });
}

// ---------------------------------------------------------------------------------------------
// Masking

namespace {
using rts::MaskingState;

constinit const rts::StaticNullary masking_values[3] = {rts::StaticNullary{Unmasked_tag},
                                                        rts::StaticNullary{MaskedInterruptible_tag},
                                                        rts::StaticNullary{MaskedUninterruptible_tag}};

uint8_t maskingTag(MaskingState state) {
    switch (state) {
        case MaskingState::Unmasked: return Unmasked_tag;
        case MaskingState::MaskedInterruptible: return MaskedInterruptible_tag;
        case MaskingState::MaskedUninterruptible: return MaskedUninterruptible_tag;
    }
    __builtin_unreachable();
}

Value getMaskingState_fn(const Value&) { return masking_values[maskingTag(rts::masking_state())].value(); }

// `restore act` for each state a masked section can have been entered from: runs act in that
// state (unmasking, or masking interruptibly or uninterruptibly).
template <MaskingState State>
Value restoreTo(const Value& act, const Value& token) {
    return rts::with_masking_state(State, [&] { return rts::apply(act, token); });
}
constinit const rts::StaticFun restore_closures[3] = {
    rts::StaticFun{rts::static_fun_info<&restoreTo<MaskingState::Unmasked>>},
    rts::StaticFun{rts::static_fun_info<&restoreTo<MaskingState::MaskedUninterruptible>>},
    rts::StaticFun{rts::static_fun_info<&restoreTo<MaskingState::MaskedInterruptible>>}};
Value restoreFunction(MaskingState outer) { return restore_closures[static_cast<uint8_t>(outer)].value(); }

// Runs `body()` and, if it raises, `cleanup()` before passing the exception on unchanged.
template <class Body, class Cleanup>
Value onExceptionDo(Body&& body, Cleanup&& cleanup) {
    return rts::catch_exception(std::forward<Body>(body), [&](const rts::Exception& ex) -> Value {
        cleanup();
        rts::rethrow(ex);
    });
}

// The shape of bracket, bracketOnError and finally: `before` (masked), then `thing a` in the
// caller's state; `after a` when thing raises and, if `always`, when it returns. Without `before`
// (finally) there is no resource: thing and after are plain actions.
Value bracketWith(const Value& before, const Value& after, const Value& thing, bool always, const Value& token) {
    return masked(MaskingState::MaskedInterruptible, [&](MaskingState outer) {
        const bool acquires = static_cast<bool>(before);
        Value a = acquires ? rts::apply(before, token) : Value();
        auto runThing = [&] {
            return rts::with_masking_state(outer, [&] {
                return acquires ? rts::apply(thing, a, token) : rts::apply(thing, token);
            });
        };
        auto runAfter = [&] { acquires ? rts::apply(after, a, token) : rts::apply(after, token); };
        Value r = onExceptionDo(runThing, runAfter);
        if (always) runAfter();
        return r;
    });
}
}  // namespace

constinit rts::Object* const MaskingState_closure_tbl[3] = {masking_values[0].object(), masking_values[1].object(),
                                                            masking_values[2].object()};
constinit const rts::StaticFun getMaskingState_closure{rts::static_fun_info<&getMaskingState_fn>};

Value mask(Value io) {
    return rts::fun<1>([io](const Value& token) {
        return masked(MaskingState::MaskedInterruptible,
                        [&](MaskingState outer) { return rts::apply(io, restoreFunction(outer), token); });
    });
}

Value mask_(Value act) {
    return rts::fun<1>([act](const Value& token) {
        return masked(MaskingState::MaskedInterruptible, [&](MaskingState) { return rts::apply(act, token); });
    });
}

Value uninterruptibleMask(Value io) {
    return rts::fun<1>([io](const Value& token) {
        return masked(MaskingState::MaskedUninterruptible,
                        [&](MaskingState outer) { return rts::apply(io, restoreFunction(outer), token); });
    });
}

Value uninterruptibleMask_(Value act) {
    return rts::fun<1>([act](const Value& token) {
        return masked(MaskingState::MaskedUninterruptible, [&](MaskingState) { return rts::apply(act, token); });
    });
}

Value interruptible(Value act) {
    return rts::fun<1>([act](const Value& token) {
        if (rts::masking_state() != MaskingState::MaskedInterruptible) return rts::apply(act, token);
        return rts::with_masking_state(MaskingState::Unmasked, [&] { return rts::apply(act, token); });
    });
}

Value onException(Value act, Value what) {
    return rts::fun<1>([act, what](const Value& token) {
        return onExceptionDo([&] { return rts::apply(act, token); }, [&] { rts::apply(what, token); });
    });
}

Value bracket(Value before, Value after, Value thing) {
    return rts::fun<1>([before, after, thing](const Value& token) {
        return bracketWith(before, after, thing, true, token);
    });
}

Value bracket_(Value before, Value after, Value thing) {
    return bracket(std::move(before), Base::const_(std::move(after)), Base::const_(std::move(thing)));
}

Value bracketOnError(Value before, Value after, Value thing) {
    return rts::fun<1>([before, after, thing](const Value& token) {
        return bracketWith(before, after, thing, false, token);
    });
}

Value finally(Value act, Value sequel) {
    return rts::fun<1>([act, sequel](const Value& token) { return bracketWith(Value(), sequel, act, true, token); });
}

void throwArith(uint8_t tag) { rts::raise(some_arith[tag].value()); }
void divZeroError() { throwArith(DivideByZero_tag); }
void overflowError() { throwArith(Overflow_tag); }
void ratioZeroDenominatorError() { throwArith(RatioZeroDenominator_tag); }

}  // namespace VUX::Internal::Exception
