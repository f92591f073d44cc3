// Text forms derived from a type's declaration: the Show and the Read record of a type from one
// description of its constructors.
//
// A description lists the constructors in declaration order (the tag of each is its position).
// A constructor has a name and its fields; a field has the `Forms` of its type (the type's Show
// and Read records) and, in a record, its field name. The forms written and read:
//   - a constructor without fields: its name, at every precedence;
//   - prefix: the name, then each field at precedence 11 after one space, in parentheses at
//     precedence 11 or more; read only at precedence 10 or less;
//   - record (every field named): "C {f = v, g = w}", the values at precedence 0, in parentheses
//     at precedence 11 or more; read only at precedence 11 or less, the fields in declaration
//     order, each once;
//   - infix (`infix` set to the constructor's fixity p, two fields): left, " ", name, " ", right,
//     both at p + 1, in parentheses when the precedence is above p; read at p or less.
// Every form is read inside any number of parentheses and with white space between lexemes (see
// Read.h). Fields are written when the text reaches them and stored unevaluated when read,
// unless the field's representation says otherwise.
//
// Example: the types
//     data Shape = Dot | Box Int [Shape] | Named { label :: String, size :: Maybe Double }
//     data Mode = Fast | Slow
// are described and defined, in a .cpp, by
//     VUX_DERIVE_TEXT_FORMS(Mode, {"Fast"}, {"Slow"})
//     VUX_DERIVE_TEXT_FORMS(Shape,
//         {"Dot"},
//         {"Box", {Derived::Int(), Derived::listOf(forms_Shape())}},
//         {"Named", {{Derived::String(), "label"}, {Derived::maybeOf(Derived::Double()), "size"}}})
// which defines the constants `inst_Show_Shape_closure` and `inst_Read_Shape_closure` (records
// built on first use, shared afterwards), `inst_Show_Shape()` and `inst_Read_Shape()` (each
// constant as a Value, unevaluated) and `forms_Shape()` (both, for use in other descriptions and
// in its own: a recursive type names itself). A header declares them with
// `VUX_DECLARE_TEXT_FORMS(Shape);`. For records that take the records of type parameters,
// call `derive`, `deriveShow` or `deriveRead` with the description built from the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "rts/rts.h"

namespace VUX::Internal::Derived {

using rts::Value;

// The text-form records of a type. Either may be empty when only the other is derived.
struct Forms {
    Value show;
    Value read;
};

// How a field is stored. Boxed and Strict fields are references (a Strict field is evaluated
// before the constructor is built when read); the others are unboxed words (`Int#`, `Word#`,
// `Char#`, `Double#`, `Float#`) and bring their own forms. References come first in the object,
// then words, each in declaration order.
enum class Rep : uint8_t { Boxed, Strict, Int, Word, Char, Double, Float };

struct Field {
    Field(Forms t, const char* n = nullptr, Rep r = Rep::Boxed) : type(std::move(t)), name(n), rep(r) {}
    Field(Rep r, const char* n = nullptr) : name(n), rep(r) {}
    Forms type;
    const char* name;  // the record field name, or null for a positional field
    Rep rep;
};

struct Con {
    std::string name;
    std::vector<Field> fields = {};
    int infix = -1;  // the fixity of an infix constructor of two fields, -1 for prefix or record
};

// The records of the described type.
Forms derive(std::vector<Con> cons);
Value deriveShow(std::vector<Con> cons);
Value deriveRead(std::vector<Con> cons);

// Forms with one record only, for instances built from the records of one class.
inline Forms showOnly(Value dShow) { return {std::move(dShow), Value()}; }
inline Forms readOnly(Value dRead) { return {Value(), std::move(dRead)}; }

// The forms of the basic types and of the compound types over forms.
Forms Int();
Forms Word();
Forms Integer();
Forms Natural();
Forms Double();
Forms Float();
Forms Char();
Forms String();
Forms Bool();
Forms Ordering();
Forms Unit();
Forms listOf(const Forms& element);
Forms maybeOf(const Forms& x);
Forms eitherOf(const Forms& a, const Forms& b);
Forms tupleOf(std::initializer_list<Forms> components);

// The forms held by two constants (neither is evaluated).
inline Forms formsOf(const rts::Constant& show, const rts::Constant& read) {
    return {show.value(), read.value()};
}

}  // namespace VUX::Internal::Derived

// Declares what VUX_DERIVE_TEXT_FORMS defines, in the current namespace.
#define VUX_DECLARE_TEXT_FORMS(T)                   \
    extern ::rts::Constant inst_Show_##T##_closure; \
    extern ::rts::Constant inst_Read_##T##_closure; \
    ::rts::Value inst_Show_##T();                   \
    ::rts::Value inst_Read_##T();                   \
    ::VUX::Internal::Derived::Forms forms_##T()

// Defines the constants `inst_Show_T_closure` and `inst_Read_T_closure`, the functions
// `inst_Show_T()` and `inst_Read_T()` and `forms_T()` from the constructors of T (each a
// `Derived::Con` in braces), in the current namespace.
#define VUX_DERIVE_TEXT_FORMS(T, ...)                                                               \
    [[maybe_unused]] ::VUX::Internal::Derived::Forms forms_##T();                                   \
    static std::vector<::VUX::Internal::Derived::Con> T##_derived_cons() { return {__VA_ARGS__}; }  \
    RTS_CONSTANT(inst_Show_##T##_closure) {                                                         \
        return ::VUX::Internal::Derived::deriveShow(T##_derived_cons());                            \
    }                                                                                               \
    RTS_CONSTANT(inst_Read_##T##_closure) {                                                         \
        return ::VUX::Internal::Derived::deriveRead(T##_derived_cons());                            \
    }                                                                                               \
    [[maybe_unused]] ::rts::Value inst_Show_##T() { return inst_Show_##T##_closure.value(); }       \
    [[maybe_unused]] ::rts::Value inst_Read_##T() { return inst_Read_##T##_closure.value(); }       \
    ::VUX::Internal::Derived::Forms forms_##T() {                                                   \
        return ::VUX::Internal::Derived::formsOf(inst_Show_##T##_closure, inst_Read_##T##_closure); \
    }
