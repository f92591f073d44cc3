// The document front, written once for both document modules: the annotated core
// (Text::PrettyPrint::Annotated::Drovane) and the plain front (Text::PrettyPrint::Drovane). A copy
// is FrontCopy<Render>, where Render gives `showsIn(doc, rest)`, the module's rendering of a
// document in front of a text. Every static document is a member of the instantiation, so each
// module has its own. The module's header includes FrontInterface.inc and its source file
// FrontDefinitions.inc after `using Front = FrontCopy<its Render>;`, so the functions and their
// cost centres belong to that module.
#pragma once

#include <cstdint>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"

namespace Text::PrettyPrint::Annotated::DrovaneFront {

using rts::Value;
namespace D = Text::PrettyPrint::Annotated::Drovane;

template <class R>
struct FrontCopy {
    using Render = R;
    using CharDoc = D::detail::StaticCharDoc;
    using PairDoc = D::detail::StaticPairDoc;

    static constexpr CharDoc semiDoc{';'}, commaDoc{','}, colonDoc{':'}, equalsDoc{'='}, lparenDoc{'('},
        rparenDoc{')'}, lbrackDoc{'['}, rbrackDoc{']'}, lbraceDoc{'{'}, rbraceDoc{'}'}, quoteDoc{'\''},
        doubleQuoteDoc{'"'};
    // TextBeside (the shared space element) Empty.
    static constexpr rts::StaticCon<2, 0> spaceDoc{D::TextBeside_tag,
                                                   rts::ref_slot(D::spaceText_closure.object()),
                                                   rts::ref_slot(D::Empty_closure.object())};
    // What the bracketings give for an empty argument: Beside open False close.
    static constexpr PairDoc emptyParensDoc{lparenDoc.object(), rparenDoc.object()},
        emptyBracketsDoc{lbrackDoc.object(), rbrackDoc.object()},
        emptyBracesDoc{lbraceDoc.object(), rbraceDoc.object()},
        emptyQuotesDoc{quoteDoc.object(), quoteDoc.object()},
        emptyDoubleQuotesDoc{doubleQuoteDoc.object(), doubleQuoteDoc.object()};

    // The flag is evaluated: False yields the document itself, True its bracketing.
    static Value chosen(const Value& flag, Value (*bracketing)(const Value&), const Value& d) {
        if (VUX::Types::isTrue(rts::force(flag))) return bracketing(d);
        return rts::force(d);
    }

    // The operations of the records. A document is never put in parentheses, so showsPrec does
    // not even evaluate the precedence.
    static Value showsPrec(const Value&, const Value& doc, const Value& rest) {
        return Render::showsIn(doc, rest);
    }
    static Value shows0(const Value& doc, const Value& rest) { return Render::showsIn(doc, rest); }
};

}  // namespace Text::PrettyPrint::Annotated::DrovaneFront
