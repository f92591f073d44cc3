// Module Control.Monad.Catch: throwing, catching and bracketing as classes over the computation
// type, with their instances for IO.
//
//   C_MonadThrow(Monad record, throwM)
//       throwM: (Exception record of e, e) to the computation that raises e;
//   C_MonadCatch(MonadThrow record, catch)
//       catch: (Exception record of e, act, handler): act, or handler e when act raises an
//       exception of e's type (others pass on unchanged);
//   C_MonadMask(MonadCatch record, mask, uninterruptibleMask, generalBracket)
//       mask, uninterruptibleMask: run `io restore` masked (see VUX/Internal/Exception.h);
//       generalBracket: (acquire, release, use): acquires masked, runs `use a` in the caller's
//       masking state, then `release a exitCase` masked however use ended, and yields (b, c): use's
//       and release's results. When use raises, release gets `ExitCaseException e` and the
//       exception is raised again after it.
#pragma once

#include <cstdint>

#include "VUX/Internal/Base.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Control::Monad::Catch {

using rts::Value;

using VUX::Internal::Base::C_Monad_class;

VUX_CLASS(MonadThrow, (Monad), throwM);
VUX_CLASS(MonadCatch, (MonadThrow), catch_);
VUX_CLASS(MonadMask, (MonadCatch), mask, uninterruptibleMask, generalBracket);

// data ExitCase a = ExitCaseSuccess a | ExitCaseException SomeException | ExitCaseAbort
inline constexpr uint8_t ExitCaseSuccess_tag = 0, ExitCaseException_tag = 1, ExitCaseAbort_tag = 2;
inline Value ExitCaseSuccess(Value a) { return rts::con(ExitCaseSuccess_tag, std::move(a)); }
inline Value ExitCaseException(Value e) { return rts::con(ExitCaseException_tag, std::move(e)); }
extern const rts::StaticNullary ExitCaseAbort_closure;

VUX_STATIC_INSTANCE(inst_MonadThrow_IO, C_MonadThrow_class);
VUX_STATIC_INSTANCE(inst_MonadCatch_IO, C_MonadCatch_class);
VUX_STATIC_INSTANCE(inst_MonadMask_IO, C_MonadMask_class);

// Through the records.
Value throwM(const Value& dMonadThrow, const Value& dException, const Value& e);
Value catch_(const Value& dMonadCatch, const Value& dException, const Value& act, const Value& handler);
// `try act`: `Right` of act's result, or `Left` of an exception of the record's type.
Value try_(const Value& dMonadCatch, const Value& dException, const Value& act);
// `bracket acquire release use`: use's result, release run however use ends.
Value bracket(const Value& dMonadMask, const Value& acquire, const Value& release, const Value& use);
// `bracket_ before after thing`: bracket with actions that take no resource.
Value bracket_(const Value& dMonadMask, const Value& before, const Value& after, const Value& thing);

}  // namespace Control::Monad::Catch
