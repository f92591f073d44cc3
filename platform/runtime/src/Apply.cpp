// Generic application: exactly, partially and over-saturated calls; partial applications.
#include <stdexcept>
#include <vector>

#include "ThreadState.h"

namespace rts {

namespace {

// A partial application: a function, the arguments given so far, and (in the tag) how many are
// still missing. Laid out like a constructor, so it is freed the same way.
Value make_pap(const Value& fn, uint32_t missing, size_t ngiven, const Value* given, size_t nmore,
               const Value* more) {
    size_t nptrs = 1 + ngiven + nmore;
    void* mem = allocate_bytes(con_size(nptrs, 0));
    Object* p = new (mem) Object(1, Kind::Pap, static_cast<uint8_t>(missing), static_cast<uint8_t>(nptrs), 0);
    Slot* s = con_slots(p);
    s[0].ref = Value(fn).detach();
    for (size_t i = 0; i < ngiven; ++i) s[1 + i].ref = Value(given[i]).detach();
    for (size_t i = 0; i < nmore; ++i) s[1 + ngiven + i].ref = Value(more[i]).detach();
    return Value::adopt(p);
}

// Copies a few references. A plain loop: the compiler would otherwise make it a block copy whose
// start-up costs more than the one or two words a partial application usually holds.
RTS_INLINE void copy_refs(Object** to, Object* const* from, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        asm("" : "+r"(i));  // hides the loop's shape from the block-copy recognition
        to[i] = from[i];
    }
}

// Calls the function of partial application `p` with the arguments it holds, then the `missing`
// first of `args`, gathered in `all`.
RTS_INLINE Value call_saturated(Object* p, const Value* args, Object** all) {
    Slot* s = con_slots(p);
    const size_t ngiven = p->nptrs - 1u;
    copy_refs(all, &s[1].ref, ngiven);
    copy_refs(all + ngiven, reinterpret_cast<Object* const*>(args), p->tag);
    Object* fn = s[0].ref;
    return fun_info(fn)->code(fn, reinterpret_cast<const Value*>(all));
}

[[noreturn]] void not_a_function() { throw std::logic_error("rts::apply: applied a value that is not a function"); }

}  // namespace

uint32_t arity_of(const Value& f) {
    Object* o = f.get();
    if (o->kind == Kind::Fun) return fun_info(o)->arity;
    if (o->kind == Kind::Pap) return o->tag;
    not_a_function();
}

namespace {

// apply_n's loop: any function or partial application, any number of arguments.
__attribute__((noinline)) Value apply_any(const Value& f0, size_t n, const Value* args) {
    thread_state();
    stack_check();
    // The function applied: the borrowed `f0`, then the result of an over-saturated call, held
    // in `result`. Borrowing the first saves a count up and down on every call.
    const Value* f = &f0;
    Value result;
    for (;;) {
        const Value& g = force(*f);
        Object* o = g.get();
        if (o->kind == Kind::Fun) {
            const FunInfo* info = fun_info(o);
            if (n == info->arity) return info->code(o, args);
            if (n < info->arity) return make_pap(g, static_cast<uint32_t>(info->arity - n), 0, nullptr, n, args);
            Value r = info->code(o, args);
            args += info->arity;
            n -= info->arity;
            result = std::move(r);
            f = &result;
            continue;
        }
        if (o->kind != Kind::Pap) not_a_function();
        uint32_t missing = o->tag;
        Slot* s = con_slots(o);
        size_t ngiven = o->nptrs - 1u;
        const Value* given = &as_value(s[1].ref);
        if (n < missing) return make_pap(as_value(s[0].ref), static_cast<uint32_t>(missing - n), ngiven, given, n, args);
        // Saturated: the stored arguments, then the first `missing` new ones.
        size_t total = ngiven + missing;
        Object* inline_buf[16];
        std::vector<Object*> heap_buf;
        Object** all = inline_buf;
        if (total > 16) {
            heap_buf.resize(total);
            all = heap_buf.data();
        }
        Value r = call_saturated(o, args, all);
        args += missing;
        n -= missing;
        if (n == 0) return r;
        result = std::move(r);
        f = &result;
    }
}

// A partial application given exactly the arguments it misses, which together with those it holds
// fit kFewArgs: its function's code is called with all of them, without apply_any's set-up.
constexpr size_t kFewArgs = 8;
RTS_INLINE bool saturates_few(const Object* o, size_t n) {
    return o->kind == Kind::Pap && o->tag == n && o->nptrs - 1u + n <= kFewArgs;
}

}  // namespace

Value apply_n(const Value& f, size_t n, const Value* args) {
    Object* o = f.get();
    if (RTS_UNLIKELY(o == nullptr) || !saturates_few(o, n)) return apply_any(f, n, args);
    stack_check();
    Object* all[kFewArgs];
    return call_saturated(o, args, all);
}

}  // namespace rts
