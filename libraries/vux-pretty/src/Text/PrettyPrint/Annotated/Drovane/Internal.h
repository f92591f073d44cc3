// Helpers shared by the parts of the annotated document module.
#pragma once

#include <cstdint>

#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/List.h"

namespace Text::PrettyPrint::Annotated::Drovane::detail {

inline constexpr const char* kModule = "Text.PrettyPrint.Annotated.Drovane";

// Raises an internal error of the layout engine: an error exception with the message and the call
// stack of the raising site. Documents built with the library's operations never reach one.
[[noreturn]] inline void layoutError(const char* message, VUX::Internal::Err::SourceLocation site =
                                                              VUX::Internal::Err::SourceLocation::current()) {
    VUX::Internal::Err::errorAt(message, VUX_PACKAGE_ID, kModule, site);
}

// Raises the error of a value that is not a document where the layout engine expects one (a list,
// a number, a function passed by mistake): an error exception instead of undefined behaviour.
[[noreturn]] void notADocument();

// Whether v, in weak head normal form, is one of the document constructors with its fields.
RTS_INLINE bool isDocNode(const Value& v) {
    // Reference and word fields of each constructor, by tag (Empty to Above).
    static constexpr uint8_t kRefs[8] = {0, 1, 2, 1, 2, 0, 3, 3};
    static constexpr uint8_t kWords[8] = {0, 0, 0, 1, 0, 0, 0, 0};
    static_assert(Empty_tag == 0 && Nest_tag == 3 && Above_tag == 7);
    uint8_t tag = v->tag;
    return v->kind == rts::Kind::Con && tag <= Above_tag && v->nptrs == kRefs[tag] && v->nwords == kWords[tag];
}

// A document forced to weak head normal form, checked to be one of the document constructors
// with its fields, so that a value of another type is never read as a document.
RTS_INLINE const Value& forceDoc(const Value& d) {
    const Value& v = rts::force(d);
    if (RTS_UNLIKELY(!isDocNode(v))) notADocument();
    return v;
}

// Whether d is already the document constructor `tag`: then forceDoc(d) evaluates nothing and
// raises nothing. Testing it evaluates nothing either.
RTS_INLINE bool isEvaluatedDoc(const Value& d, uint8_t tag) {
    if (!rts::is_evaluated(d)) return false;
    const Value& v = rts::force(d);
    return v->tag == tag && isDocNode(v);
}

// A suspended computation of `f()`.
template <class F>
inline Value later(F&& f) {
    return rts::delay(std::forward<F>(f));
}

// Width and indentation arithmetic saturates at the Int range instead of overflowing: huge nests
// and widths (an unbounded zig-zag page, negative nests) then keep their text in place.
inline int64_t addSat(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return b > 0 ? INT64_MAX : INT64_MIN;
    return r;
}
inline int64_t subSat(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) return b < 0 ? INT64_MAX : INT64_MIN;
    return r;
}

// A document made front to back, as a list builder makes a list: a text node's rest is left open
// (the static Empty until then) and filled by the next part linked, or by the rest at the end.
class DocBuilder {
  public:
    // The text s beside a rest still to come, which the next link or finish fills.
    Value openText(const Value& s) {
        rts::Object* node = rts::alloc_con(TextBeside_tag, 2, 0);
        rts::Slot* slots = rts::con_slots(node);
        slots[0].ref = Value(s).detach();
        slots[1].ref = Empty_closure.object();
        open_ = &slots[1].ref;
        return Value::adopt(node);
    }
    // Links part (holding the text opened last) where the part before left its rest open; the
    // first part is the head.
    void link(Value part) {
        if (hole_ == nullptr)
            head_ = std::move(part);
        else
            *hole_ = part.detach();
        hole_ = open_;
    }
    // The document built, ending in rest.
    Value finish(Value rest) {
        if (hole_ == nullptr) return rest;
        *hole_ = rest.detach();
        hole_ = nullptr;
        return std::move(head_);
    }

  private:
    Value head_;
    rts::Object** hole_ = nullptr;
    rts::Object** open_ = nullptr;
};

// beside (reduceDoc d) g q, suspended in a form that an enclosing beside can take over.
Value suspendedBesideOfReduced(const Value& d, const Value& g, const Value& q);

// Records that the first line of the laid-out document `layout` fits in `width` (fits found it),
// for the fits tests running around the choice that found it.
void noteFits(const Value& layout, int64_t width);

// Counts a fits test as running while it lives: a choice holds one from before it lays out its
// preferred alternative, whose inner choices, made at once, then record their fits for the test.
class FitsTestAhead {
  public:
    FitsTestAhead();
    ~FitsTestAhead();
    FitsTestAhead(const FitsTestAhead&) = delete;
    FitsTestAhead& operator=(const FitsTestAhead&) = delete;
};

inline bool flagOf(const Value& b) { return VUX::Types::isTrue(rts::force(b)); }

}  // namespace Text::PrettyPrint::Annotated::Drovane::detail
