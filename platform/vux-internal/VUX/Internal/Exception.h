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
// The runtime's own failures (loop, stack and heap overflow, arithmetic) become these values
// through the hooks this module registers with the runtime when the library is loaded.
#pragma once

#include <cstdint>
#include <string>

#include "VUX/Types.h"
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
template <const rts::StaticCon<5>* Self>
struct StaticExceptionOps {
    static Value to(const Value& e) { return std_toException(Self->value(), e); }
    static Value from(const Value& s) { return std_fromException(Self->value(), s); }
    static Value display(const Value& e) { return std_displayException(Self->value(), e); }
    static constexpr rts::StaticFun to_closure{rts::static_fun_info<&to>};
    static constexpr rts::StaticFun from_closure{rts::static_fun_info<&from>};
    static constexpr rts::StaticFun display_closure{rts::static_fun_info<&display>};
};
}  // namespace detail
template <const rts::StaticCon<5>* Self>
constexpr rts::StaticCon<5> staticExceptionRecord(const VUX::Types::StaticTyCon& tc, const rts::StaticCon<3>& dShow) {
    using Ops = detail::StaticExceptionOps<Self>;
    return rts::StaticCon<5>(C_Exception_tag, rts::ref_slot(tc.object()), rts::ref_slot(dShow.object()),
                             rts::ref_slot(Ops::to_closure.object()), rts::ref_slot(Ops::from_closure.object()),
                             rts::ref_slot(Ops::display_closure.object()));
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
// `evaluate x`: an IO action that evaluates x to weak head normal form when run.
Value evaluate(Value x);

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

// AsyncException
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
    tcNonTermination;

}  // namespace VUX::Internal::Exception
