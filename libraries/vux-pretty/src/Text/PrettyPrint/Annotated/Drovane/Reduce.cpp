// Reduction to the normal form: the unreduced compositions Beside and Above become a tree of
// elements, line breaks, nests, alternatives and empty sets, built on demand.
//
// Positions are relative: every sub-document has a reference column, where it starts a line when
// it starts one. Descending past an element or a nest, the reduction corrects the pending
// indentation of what it attaches by the element's width or the nest's amount.
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "rts/Profiling.h"

#include <algorithm>
#include <optional>

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::addSat;
using detail::flagOf;
using detail::forceDoc;
using detail::later;
using detail::layoutError;
using detail::notADocument;
using detail::subSat;
using rts::field;
using rts::force;

namespace detail {
RTS_COLD void notADocument() {
    layoutError("not a document: a value of another type where a document is expected");
}
}  // namespace detail

Value reduceDoc(const Value& d) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& dv = forceDoc(d);
    switch (dv->tag) {
        case Beside_tag: {
            Value q = field(dv, 2);
            return beside(field(dv, 0), field(dv, 1), later([q] { return reduceDoc(q); }));
        }
        case Above_tag: {
            Value q = field(dv, 2);
            return above(field(dv, 0), field(dv, 1), later([q] { return reduceDoc(q); }));
        }
        default: return dv;
    }
}

Value beside(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& pv = forceDoc(p);
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag: {
            Value p1 = field(pv, 0), p2 = field(pv, 1);
            return Union(later([p1, g, q] { return beside(p1, g, q); }),
                         later([p2, g, q] { return beside(p2, g, q); }));
        }
        case Empty_tag: return q;
        case Nest_tag: return Nest_hash(nestAmount(pv), beside(field(pv, 0), g, q));
        case Beside_tag: {
            const Value& g1 = field(pv, 1);
            bool f1 = flagOf(g1);
            if (f1 == flagOf(g)) return beside(field(pv, 0), g1, beside(field(pv, 2), g, q));
            return beside(reduceDoc(pv), g, q);
        }
        case Above_tag: return beside(reduceDoc(pv), g, q);
        case NilAbove_tag: return NilAbove(beside(field(pv, 0), g, q));
        case TextBeside_tag: {
            Value rest = field(pv, 1);
            return rts::con(TextBeside_tag, field(pv, 0), later([rest, g, q] {
                                if (forceDoc(rest)->tag == Empty_tag) return nilBeside(g, q);
                                return beside(rest, g, q);
                            }));
        }
    }
    notADocument();
}

Value nilBeside(const Value& g, const Value& q) {
    VUX_FUNCTION;
    Value cur = q;
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Empty_tag) return Empty();
        if (qv->tag == Nest_tag) {
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (flagOf(g)) return rts::con(TextBeside_tag, spaceText(), qv);
        return qv;
    }
}

Value above(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    rts::stack_check();
    const Value& pv = forceDoc(p);
    switch (pv->tag) {
        case Above_tag: {
            Value q1 = field(pv, 2);
            return above(field(pv, 0), field(pv, 1), later([q1, g, q] { return above(q1, g, q); }));
        }
        case Beside_tag: return aboveNest(reduceDoc(pv), g, 0, later([q] { return reduceDoc(q); }));
        default: return aboveNest(pv, g, 0, later([q] { return reduceDoc(q); }));
    }
}

// aboveNest with pending continuations.
//
// A tower of vertical compositions would otherwise pass every line of its innermost document
// through one suspended aboveNest per enclosing level. Instead, an aboveNest that meets the
// not-yet-run suspended step of another aboveNest takes over that step's document and appends its
// own continuation to the step's: the line then passes one layer, and the enclosing documents wait
// in a chain of frames. A frame holds the flag joining the document to what precedes it, the
// document, its offset and the next frame; the first frame's offset counts from the current
// reference column, each later one from the reference column of the frame before it.
//
// (p $$ nest k q) $$ nest k' r = p $$ nest k (q $$ nest (k' - k) r) makes the take-over exact,
// except for the flag used when q turns out to be empty after p's last text: that case moves on to
// the next frame with that frame's flag, as the composition of the separate layers does.

namespace {

enum FrameField { kFrameFlag = 0, kFrameDoc = 1, kFrameNext = 2 };

Value frame(const Value& g, int64_t k, const Value& q, const Value& next) {
    return rts::con_words(0, {static_cast<uint64_t>(k)}, g, q, next);
}
bool isLastFrame(const Value& frames) { return frames->nptrs == 0; }
int64_t frameOffset(const Value& f) { return rts::int_word(f, 0); }

constinit const rts::StaticCon<0, 0> noFrames{0};

Value aboveNestIn(const Value& p, const Value& g, int64_t k, const Value& q, const Value& frames);
Value restAfterText(const Value& p, const Value& g, int64_t k, const Value& q, const Value& frames);
Value nilAboveNestIn(const Value& g, int64_t k, const Value& q, const Value& frames);

// The suspended step of aboveNest: the rest after an element (afterText) or any other part.
struct AboveNestStep {
    Value p, g;
    int64_t k;
    Value q, frames;
    bool afterText;
    Value operator()() const {
        return afterText ? restAfterText(p, g, k, q, frames) : aboveNestIn(p, g, k, q, frames);
    }
};

Value suspendStep(Value p, const Value& g, int64_t k, const Value& q, const Value& frames, bool afterText) {
    return rts::delay(AboveNestStep{std::move(p), g, k, q, frames, afterText});
}

// Frames longer than this are not copied to take over a step; the step is run instead.
constexpr int kMaxCopiedFrames = 8;
// Offsets this large are left to the separate layers, whose saturating arithmetic they need.
constexpr int64_t kMaxFusedOffset = int64_t(1) << 40;

// The frames of `inner` followed by the frame (g, k, q, frames), k counted from the reference
// column of inner's document: rebased on the last of inner's frames. Empty if they cannot be
// joined cheaply and exactly.
std::optional<Value> joinFrames(const AboveNestStep& inner, const Value& g, int64_t k, const Value& q,
                                const Value& frames) {
    if (k > kMaxFusedOffset || k < -kMaxFusedOffset || inner.k > kMaxFusedOffset ||
        inner.k < -kMaxFusedOffset)
        return std::nullopt;
    Value copied[kMaxCopiedFrames];
    int n = 0;
    int64_t offset = k - inner.k;
    for (Value f = inner.frames; !isLastFrame(f);) {
        if (n == kMaxCopiedFrames) return std::nullopt;
        int64_t fk = frameOffset(f);
        if (fk > kMaxFusedOffset || fk < -kMaxFusedOffset) return std::nullopt;
        offset -= fk;
        Value next = field(f, kFrameNext);
        copied[n++] = std::move(f);
        f = std::move(next);
    }
    Value joined = frame(g, offset, q, frames);
    while (n-- > 0) {
        const Value& f = copied[n];
        joined = frame(field(f, kFrameFlag), frameOffset(f), field(f, kFrameDoc), joined);
    }
    return joined;
}

// The step suspended in p, if p is one not yet run in the given mode and no other thread can
// run it meanwhile (a single thread reads its captured arguments safely).
const AboveNestStep* pendingStep(const Value& p, bool afterText) {
    rts::Object* o = p.get();
    if (o->kind != rts::Kind::Thunk || !rts::sole_thread()) return nullptr;
    rts::ThunkObject* t = rts::as_thunk(o);
    if (t->info != &rts::ThunkOf<AboveNestStep>::info ||
        t->state.load(std::memory_order_acquire) != rts::kUnevaluated)
        return nullptr;
    const AboveNestStep* step = rts::thunk_storage<AboveNestStep>(o);
    return step->afterText == afterText ? step : nullptr;
}

// Replaces (p, g, k, q, frames) by the arguments of the step suspended in p while there is one.
struct Args {
    Value p, g;
    int64_t k;
    Value q, frames;
};
Args takeOver(Args a, bool afterText) {
    while (const AboveNestStep* step = pendingStep(a.p, afterText)) {
        std::optional<Value> joined = joinFrames(*step, a.g, a.k, a.q, a.frames);
        if (!joined) break;
        a = Args{step->p, step->g, step->k, step->q, std::move(*joined)};
    }
    return a;
}

// mkNest k of q followed by the frames: the continuation when a document ends at a line start.
Value endAtLineStart(int64_t k, const Value& q, const Value& frames) {
    Value cur = q, rest = frames;
    if (isLastFrame(rest)) return mkNest(k, cur);
    int64_t offset = frameOffset(rest);
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Nest_tag) {
            int64_t n = nestAmount(qv);
            k = addSat(k, n);
            offset = subSat(offset, n);
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (qv->tag != Empty_tag)
            return mkNest(k, aboveNestIn(qv, field(rest, kFrameFlag), offset, field(rest, kFrameDoc),
                                         field(rest, kFrameNext)));
        k = addSat(k, offset);
        Value doc = field(rest, kFrameDoc), next = field(rest, kFrameNext);
        cur = std::move(doc);
        rest = std::move(next);
        if (isLastFrame(rest)) return mkNest(k, cur);
        offset = frameOffset(rest);
    }
}

Value aboveNestIn(const Value& p0, const Value& g0, int64_t k0, const Value& q0, const Value& frames0) {
    rts::stack_check();
    Args a = takeOver(Args{p0, g0, k0, q0, frames0}, false);
    const Value& pv = forceDoc(a.p);
    const Value& g = a.g;
    const Value& q = a.q;
    const Value& frames = a.frames;
    int64_t k = a.k;
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag:
            return Union(suspendStep(field(pv, 0), g, k, q, frames, false),
                         suspendStep(field(pv, 1), g, k, q, frames, false));
        case Empty_tag: return endAtLineStart(k, q, frames);
        case Nest_tag: {
            int64_t k1 = nestAmount(pv);
            return Nest_hash(k1, suspendStep(field(pv, 0), g, subSat(k, k1), q, frames, false));
        }
        case NilAbove_tag: return NilAbove(suspendStep(field(pv, 0), g, k, q, frames, false));
        case TextBeside_tag: {
            const Value& s = field(pv, 0);
            int64_t k1 = subSat(k, elementWidth(s));
            return rts::con(TextBeside_tag, s, suspendStep(field(pv, 1), g, k1, q, frames, true));
        }
        case Above_tag: layoutError("aboveNest Above");
        case Beside_tag: layoutError("aboveNest Beside");
    }
    notADocument();
}

// The rest after an element of p's line: nilAboveNest if p ended there, aboveNest otherwise.
Value restAfterText(const Value& p0, const Value& g0, int64_t k0, const Value& q0, const Value& frames0) {
    Args a = takeOver(Args{p0, g0, k0, q0, frames0}, true);
    if (forceDoc(a.p)->tag == Empty_tag) return nilAboveNestIn(a.g, a.k, a.q, a.frames);
    return aboveNestIn(a.p, a.g, a.k, a.q, a.frames);
}

// nilAboveNest g k q followed by the frames. An empty document moves on to the next frame, whose
// flag then decides the overlap.
Value nilAboveNestIn(const Value& g0, int64_t k, const Value& q, const Value& frames) {
    Value g = g0, cur = q, rest = frames;
    int64_t start = k;  // k before the nests of the current frame's document
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Nest_tag) {
            k = addSat(k, nestAmount(qv));
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (qv->tag == Empty_tag) {
            if (isLastFrame(rest)) return Empty();
            k = start = addSat(start, frameOffset(rest));
            Value flag = field(rest, kFrameFlag), doc = field(rest, kFrameDoc),
                  next = field(rest, kFrameNext);
            g = std::move(flag);
            cur = std::move(doc);
            rest = std::move(next);
            continue;
        }
        // The lower frames continue after q, at their offset from q's reference column.
        int64_t after = isLastFrame(rest) ? 0 : subSat(addSat(start, frameOffset(rest)), k);
        if (!flagOf(g) && k > 0) {
            Value tail = isLastFrame(rest)
                             ? qv
                             : suspendStep(qv, field(rest, kFrameFlag), after, field(rest, kFrameDoc),
                                           field(rest, kFrameNext), true);
            return rts::con(TextBeside_tag, NoAnnot_hash(Str(indent(k)), k), std::move(tail));
        }
        Value below = qv;
        return NilAbove(later([k, below, rest, after] {
            if (isLastFrame(rest)) return mkNest(k, below);
            return mkNest(k, aboveNestIn(below, field(rest, kFrameFlag), after, field(rest, kFrameDoc),
                                         field(rest, kFrameNext)));
        }));
    }
}

}  // namespace

Value aboveNest(const Value& p, const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    return aboveNestIn(p, g, k, q, noFrames.value());
}

Value nilAboveNest(const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    return nilAboveNestIn(g, k, q, noFrames.value());
}

Value mkNest(int64_t k, const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case Nest_tag: {
                k = addSat(k, nestAmount(dv));
                Value inner = field(dv, 0);
                cur = std::move(inner);
                continue;
            }
            case NoDoc_tag:
            case Empty_tag: return dv;
            default:
                if (k == 0) return dv;
                return Nest_hash(k, dv);
        }
    }
}

Value mkUnion(const Value& p, const Value& q) {
    VUX_FUNCTION;
    const Value& pv = forceDoc(p);
    if (pv->tag == Empty_tag) return Empty();
    return Union(pv, q);
}

Value oneLiner(const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NoDoc_tag:
            case Empty_tag: return dv;
            case NilAbove_tag: return NoDoc();
            case TextBeside_tag: {
                Value rest = field(dv, 1);
                return rts::con(TextBeside_tag, field(dv, 0), later([rest] { return oneLiner(rest); }));
            }
            case Nest_tag: {
                Value inner = field(dv, 0);
                return Nest_hash(nestAmount(dv), later([inner] { return oneLiner(inner); }));
            }
            case Union_tag: {
                Value p = field(dv, 0);
                cur = std::move(p);
                continue;
            }
            case Above_tag: layoutError("oneLiner Above");
            case Beside_tag: layoutError("oneLiner Beside");
            default: notADocument();
        }
    }
}

bool fits(int64_t n, const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        if (n < 0) return false;
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case Empty_tag:
            case NilAbove_tag: return true;
            case NoDoc_tag: return false;
            case TextBeside_tag: {
                n = subSat(n, elementWidth(field(dv, 0)));
                Value rest = field(dv, 1);
                cur = std::move(rest);
                continue;
            }
            case Union_tag: layoutError("fits Union");
            case Nest_tag: layoutError("fits Nest");
            case Above_tag: layoutError("fits Above");
            case Beside_tag: layoutError("fits Beside");
            default: notADocument();
        }
    }
}

bool nonEmptySet(const Value& d) {
    VUX_FUNCTION;
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NoDoc_tag: return false;
            case Union_tag:
            case Empty_tag:
            case NilAbove_tag: return true;
            case TextBeside_tag: {
                Value rest = field(dv, 1);
                cur = std::move(rest);
                continue;
            }
            case Nest_tag: {
                Value inner = field(dv, 0);
                cur = std::move(inner);
                continue;
            }
            case Above_tag: layoutError("nonEmptySet Above");
            case Beside_tag: layoutError("nonEmptySet Beside");
            default: notADocument();
        }
    }
}

namespace {
constinit const rts::StaticCon<0, 1> spaceChar{C_hash_tag, rts::word_slot(' ')};
constinit const rts::StaticCon<2, 0> oneSpace{Cons_tag, rts::ref_slot(spaceChar.object()),
                                              rts::ref_slot(Nil_closure.object())};
}  // namespace

Value indent(int64_t n) {
    VUX_FUNCTION;
    if (n <= 0) return Nil();
    if (n == 1) return oneSpace.value();
    // A block of spaces is built at once; a longer indentation continues lazily block by block,
    // so an enormous nest amount costs only the spaces a reader consumes.
    constexpr int64_t block = 256;
    Value spaces = n > block ? later([n] { return indent(n - block); }) : Nil();
    for (int64_t i = std::min(n, block); i > 0; --i) spaces = Cons(spaceChar.value(), std::move(spaces));
    return spaces;
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
