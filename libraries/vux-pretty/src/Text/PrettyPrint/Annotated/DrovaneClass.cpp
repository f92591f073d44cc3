// The annotated copy of the Pretty class: documents of the annotated core.
#include "Text/PrettyPrint/Annotated/DrovaneClass.h"

#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "Text/PrettyPrint/Annotated/DrovaneClass/Copy.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.DrovaneClass");

namespace Text::PrettyPrint::Annotated::DrovaneClass {

namespace {
namespace D = Text::PrettyPrint::Annotated::Drovane;
struct AnnotatedFront {
    static Value text(const Value& s) { return D::text(s); }
    static Value char_(const Value& c) { return D::char_(c); }
    static Value int_(const Value& n) { return D::int_(n); }
    static Value integer(const Value& n) { return D::integer(n); }
    static Value float_(const Value& x) { return D::float_(x); }
    static Value double_(const Value& x) { return D::double_(x); }
    static Value comma() { return D::comma(); }
    static Value parens(const Value& d) { return D::parens(d); }
    static Value brackets(const Value& d) { return D::brackets(d); }
    static Value maybeParens(const Value& flag, const Value& d) { return D::maybeParens(flag, d); }
    static Value render(const Value& d) { return D::render(d); }
    // Evaluates a constant of the copy under the constant's own cost centre in this module.
    template <const char* Name, Value (*Compute)()>
    static Value constant() {
        VUX_CAF(Name);
        return Compute();
    }
};
}  // namespace

using Copy = DrovaneClassCopy::PrettyCopy<AnnotatedFront, C_Pretty_class>;
#include "Text/PrettyPrint/Annotated/DrovaneClass/Definitions.inc"

}  // namespace Text::PrettyPrint::Annotated::DrovaneClass
