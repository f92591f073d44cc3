#include "VUX/Internal/Stack.h"

#include "VUX/Internal/List.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"

namespace VUX::Internal::Stack {

using namespace VUX::Types;
using List::fromBytes;
using rts::force;

constinit const rts::StaticNullary EmptyCallStack_closure{EmptyCallStack_tag};

Value SrcLoc(Value package, Value module, Value file, Value startLine, Value startCol, Value endLine,
             Value endCol) {
    return rts::con(SrcLoc_tag, std::move(package), std::move(module), std::move(file), std::move(startLine),
                    std::move(startCol), std::move(endLine), std::move(endCol));
}

Value srcLoc(const Loc& l) {
    return SrcLoc(fromBytes(l.package), fromBytes(l.module), fromBytes(l.file), I_hash(l.startLine),
                  I_hash(l.startCol), I_hash(l.endLine), I_hash(l.endCol));
}

Value callStack(std::initializer_list<CallSite> sites) {
    Value stack = EmptyCallStack();
    for (auto it = sites.end(); it != sites.begin();) {
        --it;
        stack = PushCallStack(fromBytes(it->function), srcLoc(it->loc), std::move(stack));
    }
    return stack;
}

Value pushCallStack(Value name, Value loc, const Value& stack) {
    const Value& s = force(stack);
    if (s->tag == FreezeCallStack_tag) return s;
    return PushCallStack(std::move(name), std::move(loc), s);
}

Value freezeCallStack(Value stack) { return FreezeCallStack(std::move(stack)); }

Value popCallStack(const Value& stack) {
    const Value& s = force(stack);
    switch (s->tag) {
        case EmptyCallStack_tag: return EmptyCallStack();
        case PushCallStack_tag: return rts::field(s, 2);
        default: return s;
    }
}

Value withFrozenCallStack(const Value& stack, const Value& f) {
    return rts::apply(f, freezeCallStack(popCallStack(stack)));
}

Value getCallStack(const Value& stack) {
    List::ListBuilder b;
    Value cur = stack;
    for (;;) {
        const Value& s = force(cur);
        if (s->tag == EmptyCallStack_tag) break;
        Value next;
        if (s->tag == PushCallStack_tag) {
            b.push(VUX::Tuple::Tuple2(rts::field(s, 0), rts::field(s, 1)));
            next = rts::field(s, 2);
        } else {
            next = rts::field(s, 0);
        }
        cur = std::move(next);
    }
    return b.finish(Nil());
}

bool callStackIsEmpty(const Value& stack) {
    Value cur = stack;
    for (;;) {
        const Value& s = force(cur);
        if (s->tag == EmptyCallStack_tag) return true;
        if (s->tag == PushCallStack_tag) return false;
        Value next = rts::field(s, 0);
        cur = std::move(next);
    }
}

namespace {
Value intText(const Value& boxed, Value s) { return Show::itos(intOf(force(boxed)), std::move(s)); }
}  // namespace

Value prettySrcLoc(const Value& loc) {
    const Value& l = force(loc);
    // FILE:LINE:COL in PACKAGE:MODULE, built back to front.
    Value s = List::op_plus_plus(srcLocModule(l), Nil());
    s = Cons(List::boxChar(':'), std::move(s));
    s = List::op_plus_plus(srcLocPackage(l), std::move(s));
    s = List::prependBytes(" in ", std::move(s));
    s = intText(srcLocStartCol(l), std::move(s));
    s = Cons(List::boxChar(':'), std::move(s));
    s = intText(srcLocStartLine(l), std::move(s));
    s = Cons(List::boxChar(':'), std::move(s));
    return List::op_plus_plus(srcLocFile(l), std::move(s));
}

Value prettyCallStack(const Value& stack) {
    // Entries are few; the text is built at once, last line first.
    std::vector<Value> entries;
    Value cur = getCallStack(stack);
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) break;
        entries.push_back(rts::field(c, 0));
        Value next = rts::field(c, 1);
        cur = std::move(next);
    }
    if (entries.empty()) return Nil();
    Value text = Nil();
    for (size_t i = entries.size(); i-- > 0;) {
        const Value& e = force(entries[i]);
        Value line = List::op_plus_plus(prettySrcLoc(rts::field(e, 1)), std::move(text));
        line = List::prependBytes(", called at ", std::move(line));
        line = List::op_plus_plus(rts::field(e, 0), std::move(line));
        text = List::prependBytes("\n  ", std::move(line));
    }
    return List::prependBytes("CallStack (from HasCallStack):", std::move(text));
}

}  // namespace VUX::Internal::Stack
