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
Value besideIn(const Value& p, const Value& g, const Value& q, const Value& frames);
Value besideAfterText(const Value& p, const Value& g, const Value& q, const Value& frames);

// The suspended steps of aboveNest and beside: the rest after an element (AfterText) or any
// other part; ReducedBeside is beside of the reduction of p (the rest of an annotation).
enum class StepKind : uint8_t { AboveNest, AboveNestAfterText, Beside, BesideAfterText, ReducedBeside };

struct Step {
    Value p, g;
    int64_t k;  // aboveNest's amount; 0 for beside
    Value q, frames;
    StepKind kind;
    Value operator()() const {
        switch (kind) {
            case StepKind::AboveNest: return aboveNestIn(p, g, k, q, frames);
            case StepKind::AboveNestAfterText: return restAfterText(p, g, k, q, frames);
            case StepKind::Beside: return besideIn(p, g, q, frames);
            case StepKind::BesideAfterText: return besideAfterText(p, g, q, frames);
            case StepKind::ReducedBeside: return besideIn(reduceDoc(p), g, q, frames);
        }
        __builtin_unreachable();
    }
};

Value suspendStep(Value p, const Value& g, int64_t k, const Value& q, const Value& frames, bool afterText) {
    return rts::delay(
        Step{std::move(p), g, k, q, frames, afterText ? StepKind::AboveNestAfterText : StepKind::AboveNest});
}
Value suspendBeside(Value p, const Value& g, const Value& q, const Value& frames, StepKind kind) {
    return rts::delay(Step{std::move(p), g, 0, q, frames, kind});
}

// Frames longer than this are not copied to take over a step; the step is run instead.
constexpr int kMaxCopiedFrames = 8;
// Offsets this large are left to the separate layers, whose saturating arithmetic they need.
constexpr int64_t kMaxFusedOffset = int64_t(1) << 40;

// The frames of `inner` followed by the frame (g, k, q, frames), k counted from the reference
// column of inner's document: rebased on the last of inner's frames. Empty if they cannot be
// joined cheaply and exactly.
std::optional<Value> joinFrames(const Step& inner, const Value& g, int64_t k, const Value& q,
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

// The step suspended in p, if p is one not yet run of one of the given kinds and no other thread
// can run it meanwhile (a single thread reads its captured arguments safely).
const Step* pendingStep(const Value& p, StepKind kind, StepKind alsoKind) {
    rts::Object* o = p.get();
    if (o->kind != rts::Kind::Thunk || !rts::sole_thread()) return nullptr;
    rts::ThunkObject* t = rts::as_thunk(o);
    if (t->info != &rts::ThunkOf<Step>::info || t->state.load(std::memory_order_acquire) != rts::kUnevaluated)
        return nullptr;
    const Step* step = rts::thunk_storage<Step>(o);
    return step->kind == kind || step->kind == alsoKind ? step : nullptr;
}

// Whether a step's result is known not to be Empty without running it: the rest of an
// annotation ends with its end marker.
bool neverEmpty(const Step& step) {
    return step.kind == StepKind::ReducedBeside && rts::is_evaluated(step.q) &&
           force(step.q)->tag != Empty_tag;
}

// Replaces (p, g, k, q, frames) by the arguments of the step suspended in p while there is one.
// afterText tells whether the step now held is a rest after an element.
struct Args {
    Value p, g;
    int64_t k;
    Value q, frames;
    bool afterText;
};
Args takeOver(Args a, StepKind kind, StepKind alsoKind) {
    while (const Step* step = pendingStep(a.p, kind, alsoKind)) {
        // After an element, only a step of the same mode, or one that is never Empty (the test for
        // the end of the line then never succeeds), can be taken over.
        bool sameMode = step->kind == kind;
        if (!sameMode && a.afterText && !neverEmpty(*step)) break;
        std::optional<Value> joined = joinFrames(*step, a.g, a.k, a.q, a.frames);
        if (!joined) break;
        bool reduce = step->kind == StepKind::ReducedBeside;
        a = Args{step->p, step->g, step->k, step->q, std::move(*joined), sameMode && a.afterText};
        if (reduce) {
            a.p = reduceDoc(a.p);
            break;
        }
    }
    return a;
}
Args takeOverAboveNest(Args a, bool afterText) {
    StepKind kind = afterText ? StepKind::AboveNestAfterText : StepKind::AboveNest;
    a.afterText = afterText;
    return takeOver(std::move(a), kind, kind);
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
    Args a = takeOverAboveNest(Args{p0, g0, k0, q0, frames0, false}, false);
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
    Args a = takeOverAboveNest(Args{p0, g0, k0, q0, frames0, true}, true);
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

// beside with pending continuations, as aboveNest above (the frames carry no offsets): beside
// of a document whose rest is a pending beside step takes that step over.
Value besideIn(const Value& p0, const Value& g0, const Value& q0, const Value& frames0) {
    rts::stack_check();
    Args a = takeOver(Args{p0, g0, 0, q0, frames0, false}, StepKind::Beside, StepKind::ReducedBeside);
    const Value& pv = forceDoc(a.p);
    const Value& g = a.g;
    const Value& q = a.q;
    const Value& frames = a.frames;
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag:
            return Union(suspendBeside(field(pv, 0), g, q, frames, StepKind::Beside),
                         suspendBeside(field(pv, 1), g, q, frames, StepKind::Beside));
        case Empty_tag: {
            // q, then the frames: an empty document gives way to the next frame's document.
            Value cur = q, rest = frames;
            for (;;) {
                if (isLastFrame(rest)) return cur;
                const Value& qv = forceDoc(cur);
                if (qv->tag != Empty_tag)
                    return besideIn(qv, field(rest, kFrameFlag), field(rest, kFrameDoc),
                                    field(rest, kFrameNext));
                Value doc = field(rest, kFrameDoc), next = field(rest, kFrameNext);
                cur = std::move(doc);
                rest = std::move(next);
            }
        }
        case Nest_tag: return Nest_hash(nestAmount(pv), besideIn(field(pv, 0), g, q, frames));
        case Beside_tag: {
            const Value& g1 = field(pv, 1);
            bool f1 = flagOf(g1);
            if (f1 == flagOf(g)) return besideIn(field(pv, 0), g1, beside(field(pv, 2), g, q), frames);
            return besideIn(reduceDoc(pv), g, q, frames);
        }
        case Above_tag: return besideIn(reduceDoc(pv), g, q, frames);
        case NilAbove_tag: return NilAbove(besideIn(field(pv, 0), g, q, frames));
        case TextBeside_tag:
            return rts::con(TextBeside_tag, field(pv, 0),
                            suspendBeside(field(pv, 1), g, q, frames, StepKind::BesideAfterText));
    }
    notADocument();
}

// nilBeside g q followed by the frames. An empty document moves on to the next frame, whose flag
// then decides the space.
Value nilBesideIn(const Value& g0, const Value& q, const Value& frames) {
    Value g = g0, cur = q, rest = frames;
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Nest_tag) {
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (qv->tag == Empty_tag) {
            if (isLastFrame(rest)) return Empty();
            Value flag = field(rest, kFrameFlag), doc = field(rest, kFrameDoc),
                  next = field(rest, kFrameNext);
            g = std::move(flag);
            cur = std::move(doc);
            rest = std::move(next);
            continue;
        }
        if (flagOf(g)) {
            if (isLastFrame(rest)) return rts::con(TextBeside_tag, spaceText(), qv);
            return rts::con(TextBeside_tag, spaceText(),
                            suspendBeside(qv, field(rest, kFrameFlag), field(rest, kFrameDoc),
                                          field(rest, kFrameNext), StepKind::BesideAfterText));
        }
        if (isLastFrame(rest)) return qv;
        return besideIn(qv, field(rest, kFrameFlag), field(rest, kFrameDoc), field(rest, kFrameNext));
    }
}

// The rest after an element of p's line: nilBeside if p ended there, beside otherwise.
Value besideAfterText(const Value& p0, const Value& g0, const Value& q0, const Value& frames0) {
    Args a = takeOver(Args{p0, g0, 0, q0, frames0, true}, StepKind::BesideAfterText, StepKind::ReducedBeside);
    if (a.afterText && forceDoc(a.p)->tag == Empty_tag) return nilBesideIn(a.g, a.q, a.frames);
    return besideIn(a.p, a.g, a.q, a.frames);
}

}  // namespace

Value beside(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    return besideIn(p, g, q, noFrames.value());
}

Value nilBeside(const Value& g, const Value& q) {
    VUX_FUNCTION;
    return nilBesideIn(g, q, noFrames.value());
}

namespace detail {
Value suspendedBesideOfReduced(const Value& d, const Value& g, const Value& q) {
    return suspendBeside(d, g, q, noFrames.value(), StepKind::ReducedBeside);
}
}  // namespace detail

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
