// Class records, their selectors and their instances: the one way every library declares them.
//
// A class (interface) is a record of operations: a constructor `C_<Class>` whose fields are, in
// order, the records of its superclasses and then its operations. A class of one operation and
// no superclass has no record and no declaration: its instance is the operation itself, and a
// static one is declared `VUX_STATIC_INSTANCE(inst_NFData_T, VUX::Record::Operation)` and defined
// `constinit const rts::StaticFun inst_NFData_T_closure{rts::static_fun_info<&rnfT>};`.
//
// Declare a class once, in its module's header and namespace:
//
//     VUX_CLASS(Ord, (Eq), compare, op_lt, op_lt_eq, op_gt, op_gt_eq, max, min)
//
// The superclasses come in parentheses (`()` for none), then the operations, both in field order.
// The declaration gives, in the enclosing namespace:
//   C_Ord_class            the class: `tag`, `fields` (the count) and the field indexes
//                          `C_Ord_class::Eq`, `C_Ord_class::compare`, ...
//   C_Ord_tag              the record constructor's tag (0)
//   C_Ord(eq, cmp, ...)    the record constructor: one Value per field, in field order
//   compare(d), op_lt(d)   one selector per operation, named after it
//   Ord_Eq(d)              one selector per superclass: <Class>_<Superclass>
// Names follow the project's spelling of operators and keywords (`==` is op_eq_eq, `<$` is
// op_lt_dollar, `return` is return_). A selector evaluates the record and returns a reference to
// the field, unevaluated; it is inline (a force, a load). Copy it (`Value eq = op_eq_eq(d)`) when
// the record is a temporary. Selectors of classes in one namespace share it, so two classes with an
// operation of the same name live in different namespaces (overloads of other arities are fine:
// `fmap(d)` selects, `fmap(d, f, x)` calls). `make<Class>(fields...)` builds a record in code
// written over any class; `call(op, args...)` and `test(op, args...)` apply an operation and
// evaluate its result (test: to a Bool).
//
// Instances are named `inst_<Class>_<Type>` everywhere (the type in words: `inst_Eq_List_Char`,
// `inst_Ord_Tuple`, `inst_Monad_Function`), and every instance is used by calling it:
//   - a static instance (no components) is a constant-initialised record `inst_<Class>_<Type>_closure`,
//     never counted or freed; `inst_<Class>_<Type>()` gives it as a Value. Header, then source:
//
//         VUX_STATIC_INSTANCE(inst_Ord_Int, C_Ord_class);
//         constinit const VUX::Record::Static<C_Ord_class> inst_Ord_Int_closure{
//             VUX::Record::ref(inst_Eq_Int_closure), VUX::Record::fn<&compareInt>, ...};
//
//     `fn<&f>` is a static function value of `Value f(const Value&...)` (one object per f, shared
//     by every record holding it); `fn<&f, &inst_X_Y_closure>` passes the static record first,
//     which is how a static record uses a default definition; `ref(x)` is any static object.
//   - a compound instance (built from component records) is a function from the component
//     records, in the class's order, to a fresh record; fields it must suspend are `rts::delay`,
//     the others are built at once, usually with `with<&f>(records...)`, the function value of
//     f with its first arguments fixed:
//
//         Value inst_Ord_List(const Value& dOrd) {
//             VUX_FUNCTION;
//             return C_Ord(rts::delay([dOrd] { return inst_Eq_List(Ord_Eq(dOrd)); }),
//                          with<&compareList>(dOrd), ...);
//         }
//   - a default definition is `Value default_<op>(const Value& d<Class>, args...)`: the record
//     first, then the operation's arguments.
//
// A new class with a static and a compound instance thus takes one declaration (VUX_CLASS) and
// two definitions (the static record, the instance function). Profiling: give each operation and
// each compound instance function its cost centre (VUX_FUNCTION / VUX_SCC) in its source file;
// selectors and static records have none.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Record {

using rts::Value;

// A field of a record: the record is evaluated, the field is not.
template <size_t I>
RTS_INLINE const Value& field(const Value& record) {
    return rts::field(rts::force(record), I);
}

// Calls an operation taken from a record and evaluates the result.
template <class... A>
RTS_INLINE Value call(const Value& op, const A&... args) {
    Value r = rts::apply(op, args...);
    return Value(rts::force(r));
}
// Calls an operation whose result is a Bool and tells whether it is True.
template <class... A>
RTS_INLINE bool test(const Value& op, const A&... args) {
    Value r = rts::apply(op, args...);
    return Types::isTrue(rts::force(r));
}

// A fresh record of Class from its fields in order (what `C_<Class>(...)` does, for code written
// over any class).
template <class Class, class... F>
requires(sizeof...(F) == Class::fields && (std::is_convertible_v<F, Value> && ...)) RTS_INLINE Value
    make(F&&... fields) {
    return rts::con(Class::tag, std::forward<F>(fields)...);
}

// ---------------------------------------------------------------------------------------------
// Static records

// The static record of an instance of Class: one slot per field, constant-initialised.
template <class Class>
struct Static : rts::StaticCon<Class::fields> {
    template <class... Slots>
    constexpr Static(Slots... s) : rts::StaticCon<Class::fields>(Class::tag, s...) {
        static_assert(sizeof...(Slots) == Class::fields, "one slot per field of the class");
    }
};

// The class of a one-operation class's instances: the operation itself, a static function.
struct Operation;

namespace detail {
template <class Class>
struct StaticOf {
    using type = Static<Class>;
};
template <>
struct StaticOf<Operation> {
    using type = rts::StaticFun;
};

template <class R, class... A>
constexpr size_t param_count(R (*)(A...)) {
    return sizeof...(A);
}

// The code of `Fn(Bound->value()..., args...)` as a static function.
template <auto Fn, auto... Bound>
struct BoundOp {
    static constexpr size_t arity = param_count(Fn) - sizeof...(Bound);
    static_assert(arity >= 1 && arity <= rts::kMaxArity, "a function takes 1 to 255 arguments");
    static Value code(rts::Object*, const Value* args) {
        return [&]<size_t... I>(std::index_sequence<I...>) { return Fn(Bound->value()..., args[I]...); }
        (std::make_index_sequence<arity>{});
    }
    static constexpr rts::FunInfo info{&code, nullptr, sizeof(rts::FunObject), static_cast<uint32_t>(arity)};
};
template <auto Fn, auto... Bound>
struct StaticFunInfo {
    static constexpr const rts::FunInfo* info = &BoundOp<Fn, Bound...>::info;
};
template <auto Fn>
struct StaticFunInfo<Fn> {
    static constexpr const rts::FunInfo* info = rts::static_fun_info<Fn>;
};

template <size_t>
using Arg = const Value&;
}  // namespace detail

// The static function value of `Value Fn(const Value&...)`; with Bound (addresses of static
// records), the function of the remaining arguments that passes those records first.
template <auto Fn, auto... Bound>
inline constexpr rts::StaticFun static_fun{detail::StaticFunInfo<Fn, Bound...>::info};

// Slots of static records: a static function value, or any static object.
template <auto Fn, auto... Bound>
inline constexpr rts::Slot fn = rts::ref_slot(static_fun<Fn, Bound...>.object());
template <class S>
constexpr rts::Slot ref(const S& staticObject) {
    return rts::ref_slot(staticObject.object());
}
constexpr rts::Slot ref(const rts::Object* object) { return rts::ref_slot(object); }

// ---------------------------------------------------------------------------------------------
// Fields of compound records

// The function value of `Fn(captured..., args...)`: Fn with its first arguments fixed (component
// records, usually), taking the rest.
template <auto Fn, class... C>
Value with(C&&... captured) {
    constexpr size_t n = detail::param_count(Fn) - sizeof...(C);
    return [&]<size_t... I>(std::index_sequence<I...>) {
        return rts::fun<n>(
            [... c = std::forward<C>(captured)](detail::Arg<I>... args) { return Fn(c..., args...); });
    }
    (std::make_index_sequence<n>{});
}

}  // namespace VUX::Record

// ---------------------------------------------------------------------------------------------
// The declaration macros

// Declares `inst_<Class>_<Type>_closure` (of the class's static record type; Class may be
// VUX::Record::Operation) and `inst_<Class>_<Type>()`, the record as a Value.
#define VUX_STATIC_INSTANCE(name, Class)                                               \
    extern const typename ::VUX::Record::detail::StaticOf<Class>::type name##_closure; \
    inline ::rts::Value name() { return name##_closure.value(); }                      \
    static_assert(true)

#define VUX_CLASS(Class, Supers, ...)                                                                        \
    struct C_##Class##_class {                                                                               \
        static constexpr uint8_t tag = 0;                                                                    \
        enum Field : size_t {                                                                                \
            VUX_RECORD_EACH_IN(VUX_RECORD_ENUMERATOR, _, Supers)                                             \
                VUX_RECORD_EACH(VUX_RECORD_ENUMERATOR, _, __VA_ARGS__)                                       \
        };                                                                                                   \
        static constexpr size_t fields =                                                                     \
            0 VUX_RECORD_EACH_IN(VUX_RECORD_ONE, _, Supers) VUX_RECORD_EACH(VUX_RECORD_ONE, _, __VA_ARGS__); \
    };                                                                                                       \
    inline constexpr uint8_t C_##Class##_tag = C_##Class##_class::tag;                                       \
    template <class... F>                                                                                    \
    RTS_INLINE ::rts::Value C_##Class(F&&... fields) {                                                       \
        return ::VUX::Record::make<C_##Class##_class>(std::forward<F>(fields)...);                           \
    }                                                                                                        \
    VUX_RECORD_EACH_IN(VUX_RECORD_SUPER_SELECTOR, Class, Supers)                                             \
    VUX_RECORD_EACH(VUX_RECORD_SELECTOR, Class, __VA_ARGS__)                                                 \
    static_assert(true)

#define VUX_RECORD_ENUMERATOR(_, name) name,
#define VUX_RECORD_ONE(_, name) +1
#define VUX_RECORD_SELECTOR(Class, op)                         \
    RTS_INLINE const ::rts::Value& op(const ::rts::Value& d) { \
        return ::VUX::Record::field<C_##Class##_class::op>(d); \
    }
#define VUX_RECORD_SUPER_SELECTOR(Class, Super)                             \
    RTS_INLINE const ::rts::Value& Class##_##Super(const ::rts::Value& d) { \
        return ::VUX::Record::field<C_##Class##_class::Super>(d);           \
    }

// `m(ctx, x)` for each x of a list, given as arguments or in parentheses.
#define VUX_RECORD_EACH_IN(m, ctx, list) VUX_RECORD_EACH_IN_I(m, ctx, VUX_RECORD_UNPAREN list)
#define VUX_RECORD_EACH_IN_I(m, ctx, ...) VUX_RECORD_EACH(m, ctx, __VA_ARGS__)
#define VUX_RECORD_UNPAREN(...) __VA_ARGS__
#define VUX_RECORD_EACH(m, ctx, ...) __VA_OPT__(VUX_RECORD_EXPAND(VUX_RECORD_EACH_STEP(m, ctx, __VA_ARGS__)))
#define VUX_RECORD_EACH_STEP(m, ctx, x, ...) \
    m(ctx, x) __VA_OPT__(VUX_RECORD_EACH_AGAIN VUX_RECORD_PARENS(m, ctx, __VA_ARGS__))
#define VUX_RECORD_EACH_AGAIN() VUX_RECORD_EACH_STEP
#define VUX_RECORD_PARENS ()
#define VUX_RECORD_EXPAND(...) \
    VUX_RECORD_EXPAND3(VUX_RECORD_EXPAND3(VUX_RECORD_EXPAND3(VUX_RECORD_EXPAND3(__VA_ARGS__))))
#define VUX_RECORD_EXPAND3(...) VUX_RECORD_EXPAND2(VUX_RECORD_EXPAND2(VUX_RECORD_EXPAND2(__VA_ARGS__)))
#define VUX_RECORD_EXPAND2(...) VUX_RECORD_EXPAND1(VUX_RECORD_EXPAND1(VUX_RECORD_EXPAND1(__VA_ARGS__)))
#define VUX_RECORD_EXPAND1(...) __VA_ARGS__
