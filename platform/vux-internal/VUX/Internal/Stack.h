// Call stacks: the source locations of the calls that led to an error.
//
//   data SrcLoc    = SrcLoc package module file startLine startCol endLine endCol
//   data CallStack = EmptyCallStack | PushCallStack name SrcLoc CallStack | FreezeCallStack CallStack
//
// A function that wants its callers' locations takes the call stack as an argument (the
// language's implicit parameter made explicit); the top entry names the function called and the
// site it was called from. A frozen stack ignores further pushes.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Internal::Stack {

using rts::Value;

// SrcLoc: one constructor, fields in the order above (strings, then boxed Ints).
inline constexpr uint8_t SrcLoc_tag = 0;
Value SrcLoc(Value package, Value module, Value file, Value startLine, Value startCol, Value endLine,
             Value endCol);

// CallStack
inline constexpr uint8_t EmptyCallStack_tag = 0;
inline constexpr uint8_t PushCallStack_tag = 1;
inline constexpr uint8_t FreezeCallStack_tag = 2;
extern const rts::StaticNullary EmptyCallStack_closure;
inline Value EmptyCallStack() { return EmptyCallStack_closure.value(); }
inline Value PushCallStack(Value name, Value loc, Value rest) {
    return rts::con(PushCallStack_tag, std::move(name), std::move(loc), std::move(rest));
}
inline Value FreezeCallStack(Value stack) { return rts::con(FreezeCallStack_tag, std::move(stack)); }

// A source location written in C++.
struct Loc {
    const char* package;
    const char* module;
    const char* file;
    int64_t startLine, startCol, endLine, endCol;
};
// One entry: the function called and where.
struct CallSite {
    const char* function;
    Loc loc;
};

Value srcLoc(const Loc& loc);
// A stack of the given entries, the innermost (most recent call) first. Hold it in a constant
// to build it once.
Value callStack(std::initializer_list<CallSite> sites);

// `emptyCallStack`, `pushCallStack (name, loc) stack` (no effect on a frozen stack),
// `freezeCallStack`, `popCallStack` (drops the top entry of a stack that is not frozen).
inline Value emptyCallStack() { return EmptyCallStack(); }
Value pushCallStack(Value name, Value loc, const Value& stack);
Value freezeCallStack(Value stack);
Value popCallStack(const Value& stack);
// `withFrozenCallStack stack f`: f applied to the stack without its top entry, frozen.
Value withFrozenCallStack(const Value& stack, const Value& f);

// `getCallStack`: the entries as a list of pairs (name, SrcLoc), innermost first.
Value getCallStack(const Value& stack);
// `prettySrcLoc`: "FILE:LINE:COL in PACKAGE:MODULE".
Value prettySrcLoc(const Value& loc);
// `prettyCallStack`: "CallStack (from HasCallStack):" then one line per entry,
// "  NAME, called at FILE:LINE:COL in PACKAGE:MODULE", joined by newlines; empty for no entries.
Value prettyCallStack(const Value& stack);
// Whether the stack has no entries.
bool callStackIsEmpty(const Value& stack);

// Field readers of an evaluated SrcLoc.
inline const Value& srcLocPackage(const Value& l) { return rts::field(l, 0); }
inline const Value& srcLocModule(const Value& l) { return rts::field(l, 1); }
inline const Value& srcLocFile(const Value& l) { return rts::field(l, 2); }
inline const Value& srcLocStartLine(const Value& l) { return rts::field(l, 3); }
inline const Value& srcLocStartCol(const Value& l) { return rts::field(l, 4); }
inline const Value& srcLocEndLine(const Value& l) { return rts::field(l, 5); }
inline const Value& srcLocEndCol(const Value& l) { return rts::field(l, 6); }

}  // namespace VUX::Internal::Stack
