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

#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
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

// The Exception record: the type's representation (a TyCon), its Show record, then the operations.
VUX_CLASS(Exception, (Typeable, Show), toException, fromException, displayException);

// A record with the standard operations for a type: toException wraps with an empty context,
// fromException compares TyCons, displayException is `show`. `tyCon` is a static TyCon.
Value exceptionRecord(const VUX::Types::StaticTyCon& tyCon, Value dShow);

// The standard operations through the record, for static records of types declared in C++:
//   VUX_STATIC_INSTANCE(inst_Exception_T, C_Exception_class);
//   constinit const VUX::Record::Static<C_Exception_class> inst_Exception_T_closure{
//       ref(tcT), ref(inst_Show_T_closure), fn<&default_toException, &inst_Exception_T_closure>,
//       fn<&default_fromException, &inst_Exception_T_closure>,
//       fn<&default_displayException, &inst_Exception_T_closure>};
// Asynchronous exception types take asyncExceptionToException and asyncExceptionFromException
// (below) in place of the first two.
Value default_toException(const Value& dException, const Value& e);
Value default_fromException(const Value& dException, const Value& some);
Value default_displayException(const Value& dException, const Value& e);

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
VUX_STATIC_INSTANCE(inst_Exception_ErrorCall, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_ErrorCall, Show::C_Show_class);

// ArithException
inline constexpr uint8_t Overflow_tag = 0;
inline constexpr uint8_t Underflow_tag = 1;
inline constexpr uint8_t LossOfPrecision_tag = 2;
inline constexpr uint8_t DivideByZero_tag = 3;
inline constexpr uint8_t Denormal_tag = 4;
inline constexpr uint8_t RatioZeroDenominator_tag = 5;
extern rts::Object* const ArithException_closure_tbl[6];
VUX_STATIC_INSTANCE(inst_Exception_ArithException, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_ArithException, Show::C_Show_class);
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
VUX_STATIC_INSTANCE(inst_Exception_SomeAsyncException, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_SomeAsyncException, Show::C_Show_class);
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
VUX_STATIC_INSTANCE(inst_Exception_AsyncException, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_AsyncException, Show::C_Show_class);

// NonTermination: "<<loop>>".
extern const rts::StaticNullary NonTermination_closure;
VUX_STATIC_INSTANCE(inst_Exception_NonTermination, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_NonTermination, Show::C_Show_class);

// SomeException is an exception of its own: fromException is always Just.
VUX_STATIC_INSTANCE(inst_Exception_SomeException, C_Exception_class);
VUX_STATIC_INSTANCE(inst_Show_SomeException, Show::C_Show_class);

// Type representations of this module.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcSomeException, tcErrorCall, tcArithException, tcAsyncException,
    tcNonTermination, tcSomeAsyncException, tcMaskingState;

// Whether a raised exception is the thread-killed one: the runtime's ThreadKilled kind, or the
// AsyncException ThreadKilled value however it was raised.
bool isThreadKilled(const rts::Exception& e);

}  // namespace VUX::Internal::Exception
