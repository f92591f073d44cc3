// Evaluation: suspended computations, functions, application and top-level constants.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "rts/Exception.h"
#include "rts/Object.h"
#include "rts/Stack.h"

namespace rts {

// ---------------------------------------------------------------------------------------------
// Suspended computations (thunks): their layout and states are in rts/Object.h.

template <class T>
RTS_INLINE T* thunk_storage(Object* o) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(o) + sizeof(ThunkObject));
}

// Evaluates a thunk that is not yet known to be evaluated; returns its result slot.
const Value& force_thunk(Object* t);
// Forcing an empty reference (a default-constructed or moved-from Value): raises a C++
// std::logic_error naming the mistake instead of reading through a null pointer.
[[noreturn]] RTS_COLD void force_empty();

// Evaluates to the outermost constructor (or function), following indirections. The reference
// returned lives as long as `v` does. On an evaluated value this costs a load and a compare.
RTS_INLINE const Value& force(const Value& v) {
    Object* o = v.get();
    if (RTS_UNLIKELY(o == nullptr)) force_empty();
    if (RTS_LIKELY(o->kind != Kind::Thunk)) return v;
    ThunkObject* t = as_thunk(o);
    if (RTS_LIKELY(t->state.load(std::memory_order_acquire) == kEvaluated)) return as_value(t->result);
    return force_thunk(o);
}

// A temporary cannot lend a reference that outlives it, so forcing one returns the value itself:
// `const Value& x = force(apply(f, y));` then holds its own reference.
RTS_INLINE Value force(Value&& v) {
    const Value& r = force(static_cast<const Value&>(v));
    if (r.get() == v.get()) return std::move(v);
    return r;
}

// Whether a value is already in weak head normal form (never evaluates anything).
RTS_INLINE bool is_evaluated(const Value& v) {
    Object* o = v.get();
    return o->kind != Kind::Thunk || as_thunk(o)->state.load(std::memory_order_acquire) == kEvaluated;
}

template <class F>
struct ThunkOf {
    static Value code(Object* self) { return (*thunk_storage<F>(self))(); }
    static void destroy(Object* self) { thunk_storage<F>(self)->~F(); }
    static constexpr ThunkInfo info{&code, std::is_trivially_destructible_v<F> ? nullptr : &destroy,
                                    static_cast<uint32_t>(sizeof(ThunkObject) + sizeof(F))};
};

// A suspended computation of `f()`, which returns a Value (possibly another suspended one).
template <class F>
Value delay(F&& f) {
    using Fn = std::decay_t<F>;
    static_assert(alignof(Fn) <= 16, "captured data must fit the object's alignment");
    void* mem = allocate_bytes(ThunkOf<Fn>::info.size);
    auto* t = new (mem) ThunkObject(1, &ThunkOf<Fn>::info);
    new (thunk_storage<Fn>(&t->header)) Fn(std::forward<F>(f));
    return Value::adopt(&t->header);
}

// ---------------------------------------------------------------------------------------------
// Functions
//
// A function object holds its FunInfo (code and arity) and, after it, whatever it captured.
// Its code receives the function object itself, so a recursive function needs no reference to
// itself, and exactly `arity` borrowed arguments.

using FunCode = Value (*)(Object* self, const Value* args);

struct FunInfo {
    FunCode code;
    void (*destroy)(Object* self);  // releases what it captured; null when nothing is
    uint32_t size;                  // size of the whole object in bytes
    uint32_t arity;                 // 1 or more
};

struct FunObject {
    Object header;
    const FunInfo* info;
    // captured data follow, 16-byte aligned

    constexpr FunObject(uint32_t rc, const FunInfo* i) : header(rc, Kind::Fun, 0, 0, 0), info(i) {}
};
inline constexpr size_t kFunStorageOffset = 16;
static_assert(sizeof(FunObject) == kFunStorageOffset && kFunStorageOffset % 16 == 0);
static_assert(offsetof(FunObject, info) == 8);
// A partial application keeps the arguments still missing in its tag and its function and
// arguments as references, so arities stop at what a header byte holds.
inline constexpr uint32_t kMaxArity = 255;

RTS_INLINE const FunInfo* fun_info(Object* o) { return reinterpret_cast<FunObject*>(o)->info; }
template <class T>
RTS_INLINE T* fun_storage(Object* o) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(o) + kFunStorageOffset);
}

// The arity of an evaluated function or partial application: how many arguments it still takes.
uint32_t arity_of(const Value& f);

namespace detail {
template <class F, size_t... I>
RTS_INLINE Value call_with(F& f, const Value* a, std::index_sequence<I...>) {
    return f(a[I]...);
}
template <class F, size_t... I>
RTS_INLINE Value call_self_with(F& f, Object* self, const Value* a, std::index_sequence<I...>) {
    Object* s = self;
    return f(as_value(s), a[I]...);
}
}  // namespace detail

template <class F, uint32_t N, bool Self>
struct FunOf {
    static Value code(Object* self, const Value* args) {
        if constexpr (Self)
            return detail::call_self_with(*fun_storage<F>(self), self, args, std::make_index_sequence<N>{});
        else
            return detail::call_with(*fun_storage<F>(self), args, std::make_index_sequence<N>{});
    }
    static void destroy(Object* self) { fun_storage<F>(self)->~F(); }
    static constexpr FunInfo info{&code, std::is_trivially_destructible_v<F> ? nullptr : &destroy,
                                  static_cast<uint32_t>(kFunStorageOffset + sizeof(F)), N};
};

template <uint32_t N, bool Self, class F>
Value make_fun(F&& f) {
    using Fn = std::decay_t<F>;
    static_assert(N >= 1 && N <= kMaxArity, "a function takes 1 to 255 arguments");
    static_assert(alignof(Fn) <= 16, "captured data must fit the object's alignment");
    const FunInfo* info = &FunOf<Fn, N, Self>::info;
    void* mem = allocate_bytes(info->size);
    auto* fo = new (mem) FunObject(1, info);
    new (fun_storage<Fn>(&fo->header)) Fn(std::forward<F>(f));
    return Value::adopt(&fo->header);
}

// A function of N arguments from a callable taking N `const Value&` and returning a Value.
template <uint32_t N, class F>
Value fun(F&& f) {
    return make_fun<N, false>(std::forward<F>(f));
}
// The same, but the callable also receives the function itself first (for recursion).
template <uint32_t N, class F>
Value fun_rec(F&& f) {
    return make_fun<N, true>(std::forward<F>(f));
}

// A static function: a constant-initialised function object that is never counted.
struct alignas(16) StaticFun {
    FunObject obj;
    constexpr explicit StaticFun(const FunInfo* info) : obj(0, info) {}
    Value value() const { return Value::adopt(object()); }
    constexpr Object* object() const { return const_cast<Object*>(&obj.header); }
};

// The FunInfo of a plain C++ function `Value fn(const Value&, ...)` taking N arguments.
template <auto Fn>
struct StaticFunOf;
template <class... A, Value (*Fn)(A...)>
struct StaticFunOf<Fn> {
    static Value code(Object*, const Value* args) {
        return [&]<size_t... I>(std::index_sequence<I...>) { return Fn(args[I]...); }(
            std::index_sequence_for<A...>{});
    }
    static_assert(sizeof...(A) >= 1 && sizeof...(A) <= kMaxArity, "a function takes 1 to 255 arguments");
    static constexpr FunInfo info{&code, nullptr, sizeof(FunObject), sizeof...(A)};
};
// Usage: `const rts::StaticFun eqInt_closure{rts::static_fun_info<&eqInt>};`
template <auto Fn>
inline constexpr const FunInfo* static_fun_info = &StaticFunOf<Fn>::info;

// ---------------------------------------------------------------------------------------------
// Application

// Applies `f` to n borrowed arguments: exactly (calls the code), too few (builds a partial
// application) or too many (calls, then applies the result to the rest).
Value apply_n(const Value& f, size_t n, const Value* args);

template <class... A>
RTS_INLINE Value apply(const Value& f, const A&... args) {
    static_assert((std::is_same_v<A, Value> && ...), "arguments are Values");
    constexpr size_t n = sizeof...(A);
    static_assert(n >= 1, "apply takes at least one argument");
    Object* raw[n] = {args.get()...};
    const Value* av = reinterpret_cast<const Value*>(raw);
    const Value& g = force(f);
    Object* o = g.get();
    if (RTS_LIKELY(o->kind == Kind::Fun)) {
        const FunInfo* info = fun_info(o);
        if (RTS_LIKELY(info->arity == n)) {
            stack_check();
            return info->code(o, av);
        }
    }
    return apply_n(g, n, av);
}

// ---------------------------------------------------------------------------------------------
// Top-level constants: static suspended computations, computed on first use and then shared for
// the rest of the run; never freed; the same exception rules as any suspended computation.

struct alignas(16) Constant {
    ThunkObject obj;
    constexpr explicit Constant(const ThunkInfo* info) : obj(0, info) {}
    Constant(const Constant&) = delete;
    // The constant as a value (its evaluation is still deferred).
    Value value() const { return Value::adopt(object()); }
    constexpr Object* object() const { return const_cast<Object*>(&obj.header); }
    // The constant's value, computing it on first use.
    RTS_INLINE const Value& get() const {
        if (RTS_LIKELY(obj.state.load(std::memory_order_acquire) == kEvaluated)) return as_value(obj.result);
        return force_thunk(object());
    }
};

template <Value (*Fn)()>
struct ConstantOf {
    static Value code(Object*) { return Fn(); }
    static constexpr ThunkInfo info{&code, nullptr, sizeof(ThunkObject)};
};
template <Value (*Fn)()>
inline constexpr const ThunkInfo* constant_info = &ConstantOf<Fn>::info;

// Defines a constant `name` computed by the body that follows:
//   RTS_CONSTANT(greeting) { return unpackCString("hello"); }
#define RTS_CONSTANT(name)                                            \
    static ::rts::Value name##_compute();                            \
    constinit ::rts::Constant name{::rts::constant_info<&name##_compute>}; \
    static ::rts::Value name##_compute()

// ---------------------------------------------------------------------------------------------
// Opaque runtime objects (mailboxes, thread handles...): a header, a destructor and payload.

struct OpaqueInfo {
    void (*destroy)(Object* self);
    uint32_t size;
    const char* name;
};
struct OpaqueObject {
    Object header;
    const OpaqueInfo* info;
};

}  // namespace rts
