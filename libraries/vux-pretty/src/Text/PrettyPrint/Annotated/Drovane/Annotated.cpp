// Renderers that make annotations visible: spans of annotated regions, decorated text, and
// decorations as actions of a monad.
//
// All three render in the default style and fold the chunks of the layout from the last to the
// first, so the end marker of a region is met before its start marker: a stack receives an entry
// at each end marker and gives it up at the matching start marker. The fold is a loop over the
// chunk sequence (collected front to back, then walked back to front), so a document of millions
// of chunks needs no deep C++ recursion; the texts are still built by putting each chunk in front
// of the suspended rest, without copying.
#include <vector>

#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "Text/PrettyPrint/Annotated/Drovane/Surface.h"
#include "VUX/Internal/Base.h"
#include "VUX/Internal/List.h"
#include "VUX/Tuple.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using rts::field;
using rts::force;

namespace {

Value consChunk(const Value& chunk, const Value& rest) { return Cons(chunk, rest); }
constinit const rts::StaticFun consChunk_closure{rts::static_fun_info<&consChunk>};

// The chunks of the document laid out in the default style, in document order.
std::vector<Value> layoutChunks(const Value& doc) {
    std::vector<Value> chunks;
    Value cur = detail::renderInFront(consChunk_closure.value(), doc, Nil());
    for (;;) {
        const Value& cell = force(cur);
        if (cell->tag == Nil_tag) return chunks;
        chunks.push_back(force(field(cell, 0)));
        Value next = field(cell, 1);
        cur = std::move(next);
    }
}

// The text of a chunk in front of `rest`, suspended (a string chunk copies its cells on demand).
Value chunkText(const Value& details, const Value& rest) {
    if (details->tag == Chr_tag) return txtPrinter(details, rest);
    return rts::delay([details, rest] { return txtPrinter(details, rest); });
}

// The string of a text chunk: a one-character string for Chr.
Value chunkString(const Value& details) {
    if (details->tag == Chr_tag)
        return Cons(VUX::Internal::List::boxChar(static_cast<uint32_t>(rts::word(details, 0))), Nil());
    return field(details, 0);
}

// `f ++ text`, suspended.
Value prependApplied(const Value& f, const Value& a, const Value& text) {
    return rts::delay([f, a, text] { return VUX::Internal::List::op_plus_plus(rts::apply(f, a), text); });
}

// A pending span: the annotation and the width from its region's end to the document's end.
struct Pending {
    Value annotation;
    int64_t endOffset;
};
// A finished span, its start still counted from the document's end.
struct Finished {
    Value annotation;
    int64_t startFromEnd;
    int64_t length;
};

}  // namespace

Value renderSpans(const Value& doc) {
    VUX_FUNCTION;
    std::vector<Value> chunks = layoutChunks(doc);
    int64_t offset = 0;
    std::vector<Pending> stack;
    std::vector<Finished> finished;
    Value output = Nil();
    for (size_t i = chunks.size(); i-- > 0;) {
        const Value& c = chunks[i];
        switch (c->tag) {
            case AnnotEnd_tag: stack.push_back({field(c, 0), offset}); break;
            case AnnotStart_tag: {
                if (stack.empty()) detail::layoutError("renderSpans: stack underflow");
                Pending p = std::move(stack.back());
                stack.pop_back();
                finished.push_back({std::move(p.annotation), offset, offset - p.endOffset});
                break;
            }
            default:
                output = chunkText(field(c, 0), output);
                offset += elementWidth(c);
                break;
        }
    }
    // Finished spans were met from the last start to the first; consing them in that order puts
    // the first start at the head.
    Value spans = Nil();
    for (Finished& f : finished) spans = Cons(Span_hash(offset - f.startFromEnd, f.length, std::move(f.annotation)), spans);
    return VUX::Tuple::Tuple2(std::move(output), std::move(spans));
}

Value renderDecorated(const Value& start, const Value& end, const Value& doc) {
    VUX_FUNCTION;
    std::vector<Value> chunks = layoutChunks(doc);
    std::vector<Value> stack;
    Value text = Nil();
    for (size_t i = chunks.size(); i-- > 0;) {
        const Value& c = chunks[i];
        switch (c->tag) {
            case AnnotEnd_tag:
                text = prependApplied(end, field(c, 0), text);
                stack.push_back(field(c, 0));
                break;
            case AnnotStart_tag: {
                if (stack.empty()) detail::layoutError("renderDecorated: stack underflow");
                text = prependApplied(start, stack.back(), text);
                stack.pop_back();
                break;
            }
            default: text = chunkText(field(c, 0), text); break;
        }
    }
    return force(text);
}

Value renderDecoratedM(const Value& dMonad, const Value& start, const Value& end, const Value& txt,
                       const Value& docEnd, const Value& doc) {
    VUX_FUNCTION;
    std::vector<Value> chunks = layoutChunks(doc);
    std::vector<Value> stack;
    Value action = docEnd;
    // `f a >> rest`, suspended; only `>>` of the caller's monad is used.
    auto then = [&dMonad](const Value& f, const Value& a, const Value& rest) {
        return rts::delay([dMonad, f, a, rest] {
            return VUX::Internal::Base::op_gt_gt(dMonad, rts::delay([f, a] { return rts::apply(f, a); }), rest);
        });
    };
    for (size_t i = chunks.size(); i-- > 0;) {
        const Value& c = chunks[i];
        switch (c->tag) {
            case AnnotEnd_tag:
                action = then(end, field(c, 0), action);
                stack.push_back(field(c, 0));
                break;
            case AnnotStart_tag: {
                // Underflow here is reported with the message of renderDecorated.
                if (stack.empty()) detail::layoutError("renderDecorated: stack underflow");
                action = then(start, stack.back(), action);
                stack.pop_back();
                break;
            }
            default: action = then(txt, chunkString(field(c, 0)), action); break;
        }
    }
    return force(action);
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
