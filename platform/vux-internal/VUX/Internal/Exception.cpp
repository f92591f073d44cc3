#include "VUX/Internal/Exception.h"

#include "Data/Either.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"

namespace VUX::Internal::Exception {

using namespace VUX::Types;
using rts::force;
using rts::ref_slot;

VUX_DEFINE_MODULE(trModule, "vux-internal", "VUX.Internal.Exception");
VUX_DEFINE_TYCON(tcSomeException, trModule, "SomeException", 0, kindType);
VUX_DEFINE_TYCON(tcErrorCall, trModule, "ErrorCall", 0, kindType);
VUX_DEFINE_TYCON(tcArithException, trModule, "ArithException", 0, kindType);
VUX_DEFINE_TYCON(tcAsyncException, trModule, "AsyncException", 0, kindType);
VUX_DEFINE_TYCON(tcNonTermination, trModule, "NonTermination", 0, kindType);

bool isSomeException(const Value& v) {
    return v && v->kind == rts::Kind::Con && v->tag == SomeException_tag && v->nptrs == 3 && v->nwords == 0;
}

bool sameTypeRep(const Value& a, const Value& b) {
    const Value& x = force(a);
    const Value& y = force(b);
    return tyConFingerprintHigh(x) == tyConFingerprintHigh(y) && tyConFingerprintLow(x) == tyConFingerprintLow(y);
}

Value toException(const Value& d, const Value& e) { return rts::apply(rts::field(force(d), 2), e); }
Value fromException(const Value& d, const Value& some) { return rts::apply(rts::field(force(d), 3), some); }
Value displayException(const Value& d, const Value& e) { return rts::apply(rts::field(force(d), 4), e); }

namespace {

// A Show record whose every form is the fixed text of the value (`showsPrec _ x = showString t`).
template <Value (*Text)(const Value&)>
struct TextShow {
    static Value showsPrec(const Value&, const Value& x, const Value& s) {
        return List::op_plus_plus(Text(x), s);
    }
    static Value show(const Value& x) { return Text(x); }
    static Value showList(const Value& xs, const Value& s) {
        return Show::showList__(showsPrec0_closure.value(), xs, s);
    }
    static Value showsPrec0(const Value& x, const Value& s) { return showsPrec(Value(), x, s); }
    static constexpr rts::StaticFun showsPrec_closure{rts::static_fun_info<&showsPrec>};
    static constexpr rts::StaticFun show_closure{rts::static_fun_info<&show>};
    static constexpr rts::StaticFun showList_closure{rts::static_fun_info<&showList>};
    static constexpr rts::StaticFun showsPrec0_closure{rts::static_fun_info<&showsPrec0>};
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

template <class T>
constexpr rts::StaticCon<3> showRecordOf() {
    return rts::StaticCon<3>(Show::C_Show_tag, ref_slot(T::showsPrec_closure.object()),
                             ref_slot(T::show_closure.object()), ref_slot(T::showList_closure.object()));
}
using ErrorCallShow = TextShow<&errorCallText>;
using ArithShow = TextShow<&arithTextOf>;
using AsyncShow = TextShow<&asyncTextOf>;
using LoopShow = TextShow<&loopText>;
using SomeShow = TextShow<&someText>;

}  // namespace

constinit const rts::StaticCon<3> inst_Show_ErrorCall = showRecordOf<ErrorCallShow>();
constinit const rts::StaticCon<3> inst_Show_ArithException = showRecordOf<ArithShow>();
constinit const rts::StaticCon<3> inst_Show_AsyncException = showRecordOf<AsyncShow>();
constinit const rts::StaticCon<3> inst_Show_NonTermination = showRecordOf<LoopShow>();
constinit const rts::StaticCon<3> inst_Show_SomeException = showRecordOf<SomeShow>();

constinit const rts::StaticCon<5> inst_Exception_ErrorCall =
    staticExceptionRecord<&inst_Exception_ErrorCall>(tcErrorCall, inst_Show_ErrorCall);
constinit const rts::StaticCon<5> inst_Exception_ArithException =
    staticExceptionRecord<&inst_Exception_ArithException>(tcArithException, inst_Show_ArithException);
constinit const rts::StaticCon<5> inst_Exception_AsyncException =
    staticExceptionRecord<&inst_Exception_AsyncException>(tcAsyncException, inst_Show_AsyncException);
constinit const rts::StaticCon<5> inst_Exception_NonTermination =
    staticExceptionRecord<&inst_Exception_NonTermination>(tcNonTermination, inst_Show_NonTermination);

namespace {
Value some_to(const Value& e) { return e; }
Value some_from(const Value& s) { return Maybe::Just(s); }
Value some_display(const Value& s) { return displaySomeExceptionText(s); }
constinit const rts::StaticFun some_to_closure{rts::static_fun_info<&some_to>};
constinit const rts::StaticFun some_from_closure{rts::static_fun_info<&some_from>};
constinit const rts::StaticFun some_display_closure{rts::static_fun_info<&some_display>};
}  // namespace

constinit const rts::StaticCon<5> inst_Exception_SomeException{
    C_Exception_tag,         ref_slot(tcSomeException.object()),    ref_slot(inst_Show_SomeException.object()),
    ref_slot(some_to_closure.object()), ref_slot(some_from_closure.object()), ref_slot(some_display_closure.object())};

// Static values of the enumerations and the SomeException values the runtime's hooks hand out.
namespace {
constinit const rts::StaticNullary arith_values[6] = {
    rts::StaticNullary{0}, rts::StaticNullary{1}, rts::StaticNullary{2},
    rts::StaticNullary{3}, rts::StaticNullary{4}, rts::StaticNullary{5}};
constinit const rts::StaticNullary async_values[4] = {rts::StaticNullary{0}, rts::StaticNullary{1},
                                                      rts::StaticNullary{2}, rts::StaticNullary{3}};

constexpr rts::StaticCon<3> staticSome(const rts::StaticCon<5>& d, const rts::StaticNullary& e) {
    return rts::StaticCon<3>(SomeException_tag, ref_slot(d.object()), ref_slot(Stack::EmptyCallStack_closure.object()),
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
    staticSome(inst_Exception_ArithException, arith_values[0]), staticSome(inst_Exception_ArithException, arith_values[1]),
    staticSome(inst_Exception_ArithException, arith_values[2]), staticSome(inst_Exception_ArithException, arith_values[3]),
    staticSome(inst_Exception_ArithException, arith_values[4]), staticSome(inst_Exception_ArithException, arith_values[5])};
constinit const rts::StaticCon<3> some_async[4] = {
    staticSome(inst_Exception_AsyncException, async_values[0]), staticSome(inst_Exception_AsyncException, async_values[1]),
    staticSome(inst_Exception_AsyncException, async_values[2]), staticSome(inst_Exception_AsyncException, async_values[3])};
constinit const rts::StaticCon<3> some_loop = staticSome(inst_Exception_NonTermination, NonTermination_closure);

Value makeRuntimeException(rts::RtsError kind) {
    switch (kind) {
        case rts::RtsError::NonTermination: return some_loop.value();
        case rts::RtsError::StackOverflow: return some_async[StackOverflow_tag].value();
        case rts::RtsError::HeapOverflow: return some_async[HeapOverflow_tag].value();
        case rts::RtsError::Overflow: return some_arith[Overflow_tag].value();
        case rts::RtsError::Underflow: return some_arith[Underflow_tag].value();
        case rts::RtsError::DivideByZero: return some_arith[DivideByZero_tag].value();
        case rts::RtsError::ThreadKilled: return some_async[ThreadKilled_tag].value();
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
        if (sameTypeRep(tc, rts::field(force(someExceptionRecord(s)), 0))) return Maybe::Just(someExceptionValue(s));
        return Maybe::Nothing();
    });
    Value display = rts::fun<1>([dShow](const Value& e) { return Show::show(dShow, e); });
    return C_Exception(tc, dShow, std::move(to), std::move(from), std::move(display));
}
}  // namespace

namespace detail {
Value std_toException(const Value& self, const Value& e) { return SomeException(self, Stack::EmptyCallStack(), e); }
Value std_fromException(const Value& self, const Value& some) {
    const Value& s = force(some);
    if (!isSomeException(s)) return Maybe::Nothing();
    if (sameTypeRep(rts::field(self, 0), rts::field(force(someExceptionRecord(s)), 0)))
        return Maybe::Just(someExceptionValue(s));
    return Maybe::Nothing();
}
Value std_displayException(const Value& self, const Value& e) { return Show::show(rts::field(self, 1), e); }
}  // namespace detail

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
// Runs act; on an exception of the record's type calls `onCaught(e, some)`, else re-raises.
template <class OnCaught>
Value runCatching(const Value& d, const Value& act, const Value& token, OnCaught&& onCaught) {
    try {
        return rts::apply(act, token);
    } catch (const rts::Exception& ex) {
        Value some = exceptionValue(ex);
        Value found = fromException(d, some);
        const Value& m = force(found);
        if (m->tag != Maybe::Just_tag) throw;
        return onCaught(rts::field(m, 0), some);
    }
}
}  // namespace

Value catch_(Value d, Value act, Value handler) {
    return rts::fun<1>([d, act, handler](const Value& token) {
        return runCatching(d, act, token,
                           [&](const Value& e, const Value&) { return rts::apply(handler, e, token); });
    });
}

Value catch2(Value d, Value act, Value handler) {
    return rts::fun<1>([d, act, handler](const Value& token) {
        return runCatching(d, act, token,
                           [&](const Value& e, const Value& some) { return rts::apply(handler, e, some, token); });
    });
}

Value try_(Value d, Value act) {
    return rts::fun<1>([d, act](const Value& token) -> Value {
        try {
            return Data::Either::Right(rts::apply(act, token));
        } catch (const rts::Exception& ex) {
            Value some = exceptionValue(ex);
            Value found = fromException(d, some);
        const Value& m = force(found);
            if (m->tag != Maybe::Just_tag) throw;
            return Data::Either::Left(rts::field(m, 0));
        }
    });
}

Value evaluate(Value x) {
    return IO::io([x]() -> Value { return rts::force(x); });
}

void throwArith(uint8_t tag) { rts::raise(some_arith[tag].value()); }
void divZeroError() { throwArith(DivideByZero_tag); }
void overflowError() { throwArith(Overflow_tag); }
void ratioZeroDenominatorError() { throwArith(RatioZeroDenominator_tag); }

}  // namespace VUX::Internal::Exception
