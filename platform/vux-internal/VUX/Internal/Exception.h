// Exceptions as language values.
//
//   data SomeException = SomeException (Exception record of e) context e
//
// The context is the call stack the exception was raised with (EmptyCallStack for exceptions
// raised without one). The `Exception` record `C_Exception` holds, in order: the type's
// representation (its TyCon), its Show record, `toException`, `fromException`,
// `displayException`. A handler catches by type: `fromException` compares the TyCon inside the
// SomeException with its own and answers `Just e` or `Nothing`, so other exceptions pass on.
//
// Asynchronous exception types (AsyncException and any type given an async record) travel one
// layer deeper: their toException wraps the value in `SomeAsyncException` first, and their
// fromException looks inside that layer. A handler for SomeAsyncException therefore catches every
// asynchronous exception, and one for AsyncException catches StackOverflow, HeapOverflow,
// ThreadKilled and UserInterrupt.
//
// The runtime's own failures (loop, stack and heap overflow, arithmetic, thread killed) become
// these values through the hooks this module registers with the runtime when the library is
// loaded.
//
// Handlers run as the language runs them: with asynchronous exceptions masked (interruptibly)
// when the caller was unmasked, through the runtime's catch and masking primitives (rts/Mask.h).
// An exception that a handler does not take, and one passed on by onException, bracket and
// finally, is re-raised unchanged (its kind and asynchrony included).
#pragma once

#include <cstdint>
#include <string>

#include "VUX/Types.h"
#include "rts/Mask.h"
#include "rts/rts.h"

namespace VUX::Internal::Exception {

using rts::Value;

// SomeException
inline constexpr uint8_t SomeException_tag = 0;
inline Value SomeException(Value dException, Value context, Value e) {
    return rts::con(SomeException_tag, std::move(dException), std::move(context), std::move(e));
}
// Fields of an evaluated SomeException.
inline const Value& someExceptionRecord(const Value& se) { return rts::field(se, 0); }
inline const Value& someExceptionContext(const Value& se) { return rts::field(se, 1); }
inline const Value& someExceptionValue(const Value& se) { return rts::field(se, 2); }
// Whether an (evaluated) raised value is a SomeException. Other values (markers that tests raise)
// are never caught by type.
bool isSomeException(const Value& v);

// The Exception record
inline constexpr uint8_t C_Exception_tag = 0;
inline Value C_Exception(Value tyCon, Value dShow, Value toException, Value fromException, Value displayException) {
    return rts::con(C_Exception_tag, std::move(tyCon), std::move(dShow), std::move(toException),
                    std::move(fromException), std::move(displayException));
}
// A record with the standard operations for a type: toException wraps with an empty context,
// fromException compares TyCons, displayException is `show`. `tyCon` is a static TyCon.
Value exceptionRecord(const VUX::Types::StaticTyCon& tyCon, Value dShow);

// A static record with the standard operations, for a type declared in C++:
//   extern const rts::StaticCon<5> inst_Exception_T;
//   constinit const rts::StaticCon<5> inst_Exception_T = staticExceptionRecord<&inst_Exception_T>(tcT, inst_Show_T);
namespace detail {
Value std_toException(const Value& self, const Value& e);
Value std_fromException(const Value& self, const Value& some);
Value std_displayException(const Value& self, const Value& e);
Value async_toException(const Value& self, const Value& e);
Value async_fromException(const Value& self, const Value& some);

// The operations of a static record `Self`: its conversions To and From, and the standard display.
template <const rts::StaticCon<5>* Self, Value (*To)(const Value&, const Value&),
          Value (*From)(const Value&, const Value&)>
struct StaticExceptionOps {
    static Value to(const Value& e) { return To(Self->value(), e); }
    static Value from(const Value& s) { return From(Self->value(), s); }
    static Value display(const Value& e) { return std_displayException(Self->value(), e); }
    static constexpr rts::StaticFun to_closure{rts::static_fun_info<&to>};
    static constexpr rts::StaticFun from_closure{rts::static_fun_info<&from>};
    static constexpr rts::StaticFun display_closure{rts::static_fun_info<&display>};
};

template <class Ops>
constexpr rts::StaticCon<5> exceptionRecordOf(const VUX::Types::StaticTyCon& tc, const rts::StaticCon<3>& dShow) {
    return rts::StaticCon<5>(C_Exception_tag, rts::ref_slot(tc.object()), rts::ref_slot(dShow.object()),
                             rts::ref_slot(Ops::to_closure.object()), rts::ref_slot(Ops::from_closure.object()),
                             rts::ref_slot(Ops::display_closure.object()));
}
}  // namespace detail

template <const rts::StaticCon<5>* Self>
constexpr rts::StaticCon<5> staticExceptionRecord(const VUX::Types::StaticTyCon& tc, const rts::StaticCon<3>& dShow) {
    return detail::exceptionRecordOf<
        detail::StaticExceptionOps<Self, &detail::std_toException, &detail::std_fromException>>(tc, dShow);
}

// Records of asynchronous exception types: toException is asyncExceptionToException,
// fromException asyncExceptionFromException, displayException `show`.
template <const rts::StaticCon<5>* Self>
constexpr rts::StaticCon<5> staticAsyncExceptionRecord(const VUX::Types::StaticTyCon& tc,
                                                       const rts::StaticCon<3>& dShow) {
    return detail::exceptionRecordOf<
        detail::StaticExceptionOps<Self, &detail::async_toException, &detail::async_fromException>>(tc, dShow);
}

// Calling through the record.
Value toException(const Value& dException, const Value& e);
// `Just e` when `some` holds an exception of the record's type, `Nothing` otherwise.
Value fromException(const Value& dException, const Value& some);
Value displayException(const Value& dException, const Value& e);
// `sameTypeRep`: whether two TyCons have the same fingerprint.
bool sameTypeRep(const Value& a, const Value& b);

// The full text of a raised SomeException, as the top-level handler prints it: the exception's
// `displayException`, then, when the context holds a call stack with entries, a newline and
// `prettyCallStack` of it. The runtime's `display` hook.
std::string displaySomeException(const Value& some);
Value displaySomeExceptionText(const Value& some);

// ---------------------------------------------------------------------------------------------
// Raising and handling

// `throw e`: raises toException e (pure code).
[[noreturn]] void throw_(const Value& dException, const Value& e);
// Raises an exception with the given call stack in its context.
[[noreturn]] void throwWithCallStack(const Value& dException, const Value& e, const Value& callStack);
// `throwIO e`: an IO action that raises when run.
Value throwIO(Value dException, Value e);
// `catch act handler`: an IO action that runs act and, when it raises an exception of the
// record's type, runs `handler e` instead. Other exceptions pass on unchanged.
Value catch_(Value dException, Value act, Value handler);
// `catch2`: like catch_, for a handler that also receives the whole SomeException it caught:
// `handler e some`.
Value catch2(Value dException, Value act, Value handler);
// `try act`: Right of the result, or Left of an exception of the record's type.
Value try_(Value dException, Value act);
// `handle handler act`: catch_ with the arguments the other way round.
Value handle(Value dException, Value handler, Value act);
// `evaluate x`: an IO action that evaluates x to weak head normal form when run.
Value evaluate(Value x);

// ---------------------------------------------------------------------------------------------
// Masking asynchronous exceptions (IO actions over the runtime's masking states)

// MaskingState = Unmasked | MaskedInterruptible | MaskedUninterruptible
inline constexpr uint8_t Unmasked_tag = 0;
inline constexpr uint8_t MaskedInterruptible_tag = 1;
inline constexpr uint8_t MaskedUninterruptible_tag = 2;
extern rts::Object* const MaskingState_closure_tbl[3];
// `getMaskingState`: an action answering the calling thread's MaskingState.
extern const rts::StaticFun getMaskingState_closure;
inline Value getMaskingState() { return getMaskingState_closure.value(); }
// `mask io`: runs `io restore` with asynchronous exceptions masked (interruptibly; a caller
// already masked keeps its state); `restore act` runs act in the caller's state.
Value mask(Value io);
// `mask_ act`: act masked, without a restore.
Value mask_(Value act);
// `uninterruptibleMask io`, `uninterruptibleMask_ act`: the same, masked uninterruptibly.
Value uninterruptibleMask(Value io);
Value uninterruptibleMask_(Value act);
// `interruptible act`: act unmasked when the caller is masked interruptibly; otherwise as it is.
Value interruptible(Value act);

// For C++ library code: runs `body(outer)` as `mask` (inside = MaskedInterruptible) or
// `uninterruptibleMask` (inside = MaskedUninterruptible) runs its action: in `inside`, unless the
// caller's state `outer` is already as strict. `rts::with_masking_state(outer, ...)` is `restore`.
template <class Body>
auto masked(rts::MaskingState inside, Body&& body) -> decltype(body(inside)) {
    rts::MaskingState outer = rts::masking_state();
    if (outer == inside || outer == rts::MaskingState::MaskedUninterruptible) return body(outer);
    return rts::with_masking_state(inside, [&] { return body(outer); });
}

// `onException act what`: runs act; if it raises, runs what and passes the exception on.
Value onException(Value act, Value what);
// `bracket before after thing`: acquires with `before` masked, runs `thing a` in the caller's
// state, and runs `after a` (masked) however thing ends; the result is thing's.
Value bracket(Value before, Value after, Value thing);
// `bracket_ before after thing`: bracket with actions that ignore the resource.
Value bracket_(Value before, Value after, Value thing);
// `bracketOnError before after thing`: runs `after a` only when thing raises.
Value bracketOnError(Value before, Value after, Value thing);
// `finally act sequel`: runs sequel (masked) after act, however act ends.
Value finally(Value act, Value sequel);

// The language value carried by a C++ exception: the SomeException, made from the runtime's own
// failure when the runtime raised one without a value.
Value exceptionValue(const rts::Exception& e);

// ---------------------------------------------------------------------------------------------
// Standard exception types

// ErrorCall: the exception of `error`, one field, the message.
inline constexpr uint8_t ErrorCall_tag = 0;
inline Value ErrorCall(Value message) { return rts::con(ErrorCall_tag, std::move(message)); }
extern const rts::StaticCon<5> inst_Exception_ErrorCall;
extern const rts::StaticCon<3> inst_Show_ErrorCall;

// ArithException
inline constexpr uint8_t Overflow_tag = 0;
inline constexpr uint8_t Underflow_tag = 1;
inline constexpr uint8_t LossOfPrecision_tag = 2;
inline constexpr uint8_t DivideByZero_tag = 3;
inline constexpr uint8_t Denormal_tag = 4;
inline constexpr uint8_t RatioZeroDenominator_tag = 5;
extern rts::Object* const ArithException_closure_tbl[6];
extern const rts::StaticCon<5> inst_Exception_ArithException;
extern const rts::StaticCon<3> inst_Show_ArithException;
// Raises the arithmetic exception of the tag (pure code).
[[noreturn]] void throwArith(uint8_t tag);
// `divZeroError`, `overflowError`, `ratioZeroDenominatorError`.
[[noreturn]] void divZeroError();
[[noreturn]] void overflowError();
[[noreturn]] void ratioZeroDenominatorError();

// SomeAsyncException: the layer every asynchronous exception travels in. Fields: the Exception
// record of the exception inside, the exception. Shown and displayed as the exception inside.
inline constexpr uint8_t SomeAsyncException_tag = 0;
inline Value SomeAsyncException(Value dException, Value e) {
    return rts::con(SomeAsyncException_tag, std::move(dException), std::move(e));
}
extern const rts::StaticCon<5> inst_Exception_SomeAsyncException;
extern const rts::StaticCon<3> inst_Show_SomeAsyncException;
// `asyncExceptionToException e`: SomeException of SomeAsyncException of e.
Value asyncExceptionToException(const Value& dException, const Value& e);
// `asyncExceptionFromException some`: `Just e` when `some` holds a SomeAsyncException whose
// exception is of the record's type.
Value asyncExceptionFromException(const Value& dException, const Value& some);

// AsyncException (an asynchronous exception type: its values travel in SomeAsyncException).
inline constexpr uint8_t StackOverflow_tag = 0;
inline constexpr uint8_t HeapOverflow_tag = 1;
inline constexpr uint8_t ThreadKilled_tag = 2;
inline constexpr uint8_t UserInterrupt_tag = 3;
extern rts::Object* const AsyncException_closure_tbl[4];
extern const rts::StaticCon<5> inst_Exception_AsyncException;
extern const rts::StaticCon<3> inst_Show_AsyncException;

// NonTermination: "<<loop>>".
extern const rts::StaticNullary NonTermination_closure;
extern const rts::StaticCon<5> inst_Exception_NonTermination;
extern const rts::StaticCon<3> inst_Show_NonTermination;

// SomeException is an exception of its own: fromException is always Just.
extern const rts::StaticCon<5> inst_Exception_SomeException;
extern const rts::StaticCon<3> inst_Show_SomeException;

// Type representations of this module.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcSomeException, tcErrorCall, tcArithException, tcAsyncException,
    tcNonTermination, tcSomeAsyncException, tcMaskingState;

// Whether a raised exception is the thread-killed one: the runtime's ThreadKilled kind, or the
// AsyncException ThreadKilled value however it was raised.
bool isThreadKilled(const rts::Exception& e);

}  // namespace VUX::Internal::Exception
