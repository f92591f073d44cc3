// The plain copy of the Pretty class: documents of the plain front and its static documents.
#include "Text/PrettyPrint/DrovaneClass.h"

#include "Text/PrettyPrint/Annotated/DrovaneClass/Copy.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.DrovaneClass");

namespace Text::PrettyPrint::DrovaneClass {

namespace {
namespace P = Text::PrettyPrint::Drovane;
struct PlainFront {
    static Value text(const Value& s) { return P::text(s); }
    static Value char_(const Value& c) { return P::char_(c); }
    static Value int_(const Value& n) { return P::int_(n); }
    static Value integer(const Value& n) { return P::integer(n); }
    static Value float_(const Value& x) { return P::float_(x); }
    static Value double_(const Value& x) { return P::double_(x); }
    static Value comma() { return P::comma(); }
    static Value parens(const Value& d) { return P::parens(d); }
    static Value brackets(const Value& d) { return P::brackets(d); }
    static Value maybeParens(const Value& flag, const Value& d) { return P::maybeParens(flag, d); }
    static Value render(const Value& d) { return P::render(d); }
    // Evaluates a constant of the copy under the constant's own cost centre in this module.
    template <const char* Name, Value (*Compute)()>
    static Value constant() {
        VUX_CAF(Name);
        return Compute();
    }
};
}  // namespace

using Copy = Text::PrettyPrint::Annotated::DrovaneClassCopy::PrettyCopy<PlainFront, C_Pretty_class>;
#include "Text/PrettyPrint/Annotated/DrovaneClass/Definitions.inc"

}  // namespace Text::PrettyPrint::DrovaneClass
