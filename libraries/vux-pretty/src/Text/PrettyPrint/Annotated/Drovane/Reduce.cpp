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

// Layers of compositions.
//
// aboveNest and beside walk a reduced document and attach a continuation at its end. Composed
// naively, a tower of compositions passes every line of its innermost document through one
// suspended walk per enclosing level. Instead one walk carries the continuations of all the levels
// it has taken over, as a chain of frames: when a walk meets the not-yet-run suspended step of an
// inner walk, it takes that step's document, and the inner frames followed by its own. Each
// frame is one layer, A (aboveNest g k q) or B (beside g q), applied in chain order; where the
// document ends, the first frame's continuation is applied and the result is walked by the rest of
// the chain, as the separate layers would have done, so the outcome and the evaluation of every
// document part are those of the layers.
//
// Offsets: the walk carries K, the pending offset of the first A frame of its chain from the
// current column. Every A frame after it keeps its offset from the A frame before it, which stays
// constant while both layers see the same columns; B frames do not move the columns.

namespace {

enum FrameBits : uint64_t { kBeside = 1, kChainHasBeside = 2, kChainHasAbove = 4 };
enum FrameWord { kOffset = 0, kFirstAboveOffset = 1, kBits = 2 };
enum FrameField { kFrameFlag = 0, kFrameDoc = 1, kFrameNext = 2 };

constinit const rts::StaticCon<0, 3> noFrames{0, rts::word_slot(0), rts::word_slot(0), rts::word_slot(0)};

uint64_t bitsOf(const Value& f) { return rts::word(f, kBits); }
bool isLastFrame(const Value& f) { return f->nptrs == 0; }
bool isBesideFrame(const Value& f) { return bitsOf(f) & kBeside; }
bool chainHasBeside(const Value& f) { return bitsOf(f) & kChainHasBeside; }
bool chainHasAbove(const Value& f) { return bitsOf(f) & kChainHasAbove; }
int64_t frameOffset(const Value& f) { return rts::int_word(f, kOffset); }
// The offset of the chain's first A frame from the A frame before the chain.
int64_t firstAboveOffset(const Value& f) { return rts::int_word(f, kFirstAboveOffset); }

Value frame(bool isBeside, const Value& g, const Value& q, int64_t offset, const Value& next) {
    uint64_t bits = (isBeside ? kBeside | kChainHasBeside : kChainHasAbove) | (bitsOf(next) & ~kBeside);
    int64_t firstAbove = isBeside ? firstAboveOffset(next) : offset;
    return rts::con_words(0, {static_cast<uint64_t>(offset), static_cast<uint64_t>(firstAbove), bits}, g, q,
                          next);
}
Value aboveFrame(const Value& g, const Value& q) { return frame(false, g, q, 0, noFrames.value()); }
Value besideFrame(const Value& g, const Value& q) { return frame(true, g, q, 0, noFrames.value()); }

Value walk(const Value& p, const Value& frames, int64_t k);
Value walkAfterText(const Value& p, const Value& frames, int64_t k);

// A suspended walk: of the rest after an element (AfterText), of any other part, or of the
// reduction of p (Reduced, the rest of an annotation).
enum class StepKind : uint8_t { Walk, AfterText, Reduced };

struct Step {
    Value p, frames;
    int64_t k;
    StepKind kind;
    Value operator()() const {
        switch (kind) {
            case StepKind::Walk: return walk(p, frames, k);
            case StepKind::AfterText: return walkAfterText(p, frames, k);
            case StepKind::Reduced: return walk(reduceDoc(p), frames, k);
        }
        __builtin_unreachable();
    }
};

Value suspend(Value p, const Value& frames, int64_t k, StepKind kind) {
    return rts::delay(Step{std::move(p), frames, k, kind});
}

// The step suspended in p, if p is one not yet run and no other thread can run it meanwhile
// (a single thread reads its captured arguments safely).
const Step* pendingStep(const Value& p) {
    rts::Object* o = p.get();
    if (o->kind != rts::Kind::Thunk || !rts::sole_thread()) return nullptr;
    rts::ThunkObject* t = rts::as_thunk(o);
    if (t->info != &rts::ThunkOf<Step>::info || t->state.load(std::memory_order_acquire) != rts::kUnevaluated)
        return nullptr;
    return rts::thunk_storage<Step>(o);
}

// Whether a step's result is known not to be Empty without running it: the rest of an
// annotation ends with its end marker.
bool neverEmpty(const Step& step) {
    const Value& f = step.frames;
    return step.kind == StepKind::Reduced && isBesideFrame(f) && rts::is_evaluated(field(f, kFrameDoc)) &&
           force(field(f, kFrameDoc))->tag == TextBeside_tag;
}

// Frames copied to take over a step at most; a longer chain is walked as a separate layer.
constexpr int kMaxCopiedFrames = 8;
// Offsets beyond this are left to the separate layers, whose saturating arithmetic they need.
constexpr int64_t kMaxJoinedOffset = int64_t(1) << 40;
bool joinable(int64_t k) { return k <= kMaxJoinedOffset && k >= -kMaxJoinedOffset; }

// The frames of `inner` (walked with offset innerK) followed by `outer` (walked with offset
// outerK), and the offset to walk them with; nothing if they cannot be joined cheaply and exactly.
struct Joined {
    Value frames;
    int64_t k;
};
std::optional<Joined> joinFrames(const Value& inner, int64_t innerK, const Value& outer, int64_t outerK) {
    if (!joinable(innerK) || !joinable(outerK)) return std::nullopt;
    Value copied[2 * kMaxCopiedFrames];
    int n = 0;
    // The inner frames, and the offset of their last A frame from the current column.
    bool innerHasAbove = false;
    int64_t lastAbove = innerK;
    for (Value f = inner; !isLastFrame(f);) {
        if (n == kMaxCopiedFrames) return std::nullopt;
        if (!isBesideFrame(f)) {
            if (innerHasAbove) {
                if (!joinable(frameOffset(f))) return std::nullopt;
                lastAbove += frameOffset(f);
            }
            innerHasAbove = true;
        }
        Value next = field(f, kFrameNext);
        copied[n++] = std::move(f);
        f = std::move(next);
    }
    if (!innerHasAbove) lastAbove = 0;
    // The outer frames up to their first A frame, whose offset then counts from lastAbove.
    Value tail = outer;
    int nInner = n;
    if (innerHasAbove && chainHasAbove(outer)) {
        for (;;) {
            if (n == 2 * kMaxCopiedFrames) return std::nullopt;
            bool isAbove = !isBesideFrame(tail);
            Value next = field(tail, kFrameNext);
            copied[n++] = std::move(tail);
            tail = std::move(next);
            if (isAbove) break;
        }
    }
    Value joined = std::move(tail);
    for (int i = n; i-- > 0;) {
        const Value& f = copied[i];
        int64_t offset = i >= nInner && !isBesideFrame(f) ? outerK - lastAbove : frameOffset(f);
        joined = frame(isBesideFrame(f), field(f, kFrameFlag), field(f, kFrameDoc), offset, joined);
    }
    return Joined{std::move(joined), innerHasAbove ? innerK : outerK};
}

// Takes over the steps suspended in p while there are some that can be: p, frames and k then
// describe the joined walk, and afterText whether it is the rest after an element.
struct Walk {
    Value p, frames;
    int64_t k;
    bool afterText;
};
Walk takeOver(Walk w) {
    while (const Step* step = pendingStep(w.p)) {
        bool stepAfterText = step->kind == StepKind::AfterText;
        // The rest after an element tests for the end of the line; a step of the other mode
        // can be taken over only when that test cannot succeed.
        if (stepAfterText != w.afterText && !(w.afterText && neverEmpty(*step))) break;
        std::optional<Joined> joined = joinFrames(step->frames, step->k, w.frames, w.k);
        if (!joined) break;
        bool reduce = step->kind == StepKind::Reduced;
        w = Walk{step->p, std::move(joined->frames), joined->k, stepAfterText};
        if (reduce) {
            w.p = reduceDoc(w.p);
            break;
        }
    }
    return w;
}

// The offset of the next A frame once the first frame of the chain has been applied.
int64_t offsetAfterFirst(const Value& frames, int64_t k) {
    if (isBesideFrame(frames)) return k;
    const Value& rest = field(frames, kFrameNext);
    return chainHasAbove(rest) ? addSat(k, firstAboveOffset(rest)) : 0;
}

Value nilAboveNestPlain(const Value& g, int64_t k, const Value& q);
Value nilBesidePlain(const Value& g, const Value& q);

// Applies the frames' continuations at the end of the walked document (at the end of a line's
// text when afterText): each layer's result is handed to the next, an Empty one to the next
// layer's own end.
Value applyEnd(const Value& frames0, int64_t k, bool afterText) {
    Value frames = frames0;
    for (;;) {
        const Value& g = field(frames, kFrameFlag);
        const Value& q = field(frames, kFrameDoc);
        bool beside = isBesideFrame(frames);
        Value v = afterText ? (beside ? nilBesidePlain(g, q) : nilAboveNestPlain(g, k, q))
                            : (beside ? q : mkNest(k, q));
        Value rest = field(frames, kFrameNext);
        if (isLastFrame(rest)) return v;
        k = offsetAfterFirst(frames, k);
        const Value& vv = forceDoc(v);
        if (vv->tag != Empty_tag) return walk(vv, rest, k);
        frames = std::move(rest);
    }
}

RTS_INLINE Value walkPart(const Value& p, const Value& frames, int64_t k);

// The joined walk, out of line so that the frame walk makes per level of the compositions it
// recurses into holds no copy of its arguments.
__attribute__((noinline)) Value walkTakenOver(const Value& p, const Value& frames, int64_t k) {
    Walk w = takeOver(Walk{p, frames, k, false});  // stays a walk of a whole part
    return walkPart(w.p, w.frames, w.k);
}

Value walk(const Value& p, const Value& frames, int64_t k) {
    if (pendingStep(p)) return walkTakenOver(p, frames, k);
    return walkPart(p, frames, k);
}

// A walk of a whole part with nothing left to take over at its start.
RTS_INLINE Value walkPart(const Value& p, const Value& frames, int64_t k) {
    rts::stack_check();
    const Value& pv = forceDoc(p);
    // Layers of beside compute nests and line breaks at once, those of aboveNest defer them.
    bool eager = chainHasBeside(frames);
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag:
            return Union(suspend(field(pv, 0), frames, k, StepKind::Walk),
                         suspend(field(pv, 1), frames, k, StepKind::Walk));
        case Empty_tag: return applyEnd(frames, k, false);
        case Nest_tag: {
            int64_t n = nestAmount(pv);
            int64_t k1 = subSat(k, n);
            return Nest_hash(n, eager ? walk(field(pv, 0), frames, k1)
                                      : suspend(field(pv, 0), frames, k1, StepKind::Walk));
        }
        case NilAbove_tag:
            return NilAbove(eager ? walk(field(pv, 0), frames, k)
                                  : suspend(field(pv, 0), frames, k, StepKind::Walk));
        case TextBeside_tag: {
            const Value& s = field(pv, 0);
            return rts::con(TextBeside_tag, s,
                            suspend(field(pv, 1), frames, subSat(k, elementWidth(s)), StepKind::AfterText));
        }
        case Beside_tag: {
            if (!isBesideFrame(frames)) layoutError("aboveNest Beside");
            const Value& g = field(frames, kFrameFlag);
            const Value& g1 = field(pv, 1);
            if (flagOf(g1) != flagOf(g)) return walk(reduceDoc(pv), frames, k);
            Value q = beside(field(pv, 2), g, field(frames, kFrameDoc));
            return walk(field(pv, 0), frame(true, g1, q, 0, field(frames, kFrameNext)), k);
        }
        case Above_tag:
            if (!isBesideFrame(frames)) layoutError("aboveNest Above");
            return walk(reduceDoc(pv), frames, k);
    }
    notADocument();
}

// The rest after an element: the end of the line's text if p is Empty, p walked otherwise.
Value walkAfterText(const Value& p, const Value& frames, int64_t k) {
    if (!pendingStep(p)) {
        if (forceDoc(p)->tag == Empty_tag) return applyEnd(frames, k, true);
        return walkPart(p, frames, k);
    }
    Walk w = takeOver(Walk{p, frames, k, true});
    if (w.afterText && forceDoc(w.p)->tag == Empty_tag) return applyEnd(w.frames, w.k, true);
    return walk(w.p, w.frames, w.k);
}

Value nilBesidePlain(const Value& g, const Value& q) {
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

Value nilAboveNestPlain(const Value& g, int64_t k, const Value& q) {
    Value cur = q;
    for (;;) {
        const Value& qv = forceDoc(cur);
        if (qv->tag == Empty_tag) return Empty();
        if (qv->tag == Nest_tag) {
            k = addSat(k, nestAmount(qv));
            Value inner = field(qv, 0);
            cur = std::move(inner);
            continue;
        }
        if (!flagOf(g) && k > 0) return rts::con(TextBeside_tag, NoAnnot_hash(Str(indent(k)), k), qv);
        // qv is evaluated and neither a nest nor Empty: nesting it forces nothing and raises
        // nothing, so it is done at once instead of kept suspended under the line break.
        return NilAbove(k == 0 || qv->tag == NoDoc_tag ? qv : Nest_hash(k, qv));
    }
}

}  // namespace

Value aboveNest(const Value& p, const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    return walk(p, aboveFrame(g, q), k);
}

Value nilAboveNest(const Value& g, int64_t k, const Value& q) {
    VUX_FUNCTION;
    return nilAboveNestPlain(g, k, q);
}

Value beside(const Value& p, const Value& g, const Value& q) {
    VUX_FUNCTION;
    return walk(p, besideFrame(g, q), 0);
}

Value nilBeside(const Value& g, const Value& q) {
    VUX_FUNCTION;
    return nilBesidePlain(g, q);
}

namespace detail {
Value suspendedBesideOfReduced(const Value& d, const Value& g, const Value& q) {
    return suspend(d, besideFrame(g, q), 0, StepKind::Reduced);
}
}  // namespace detail

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
                // A last element is its own one-line form: shared instead of rebuilt.
                if (detail::isEvaluatedDoc(rest, Empty_tag)) return dv;
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

namespace {
// The last layout whose first line a choice found to fit, and the width it fits in, kept only
// while a fits test runs on this thread. Forcing the rest of a line inside a test makes the
// choices of that line, each testing the rest of the line again: a test that reaches a layout
// already found to fit in at most its remaining width has its answer (the test is monotone in
// the width and reads only immutable nodes), so a line is walked once instead of once per choice.
// The layout's reference is counted (as a Value, through rts::as_value_mut), so its address
// cannot be reused while it is kept; the record is plain so that reading it costs no call.
struct ProvenFit {
    rts::Object* layout;
    int64_t width;
    int running;
};
constinit thread_local ProvenFit provenFit __attribute__((tls_model("initial-exec"))) = {nullptr, 0, 0};

// Counts a running test; the last one to end lets go of the layout.
class FitsTestScope {
  public:
    explicit FitsTestScope(ProvenFit& proven) : proven_(proven) { ++proven_.running; }
    ~FitsTestScope() { leave(proven_); }
    static void leave(ProvenFit& proven) {
        if (--proven.running == 0) rts::as_value_mut(proven.layout) = Value();
    }
    FitsTestScope(const FitsTestScope&) = delete;
    FitsTestScope& operator=(const FitsTestScope&) = delete;

  private:
    ProvenFit& proven_;
};
}  // namespace

void detail::noteFits(const Value& layout, int64_t width) {
    ProvenFit& proven = provenFit;
    if (proven.running == 0) return;  // no test could use it
    rts::as_value_mut(proven.layout) = layout;
    proven.width = width;
}

detail::FitsTestAhead::FitsTestAhead() { ++provenFit.running; }
detail::FitsTestAhead::~FitsTestAhead() { FitsTestScope::leave(provenFit); }

bool fits(int64_t n, const Value& d) {
    VUX_FUNCTION;
    ProvenFit& proven = provenFit;
    FitsTestScope scope(proven);
    // Walks by reference, taking no counts: every node met stays reachable from `d`, which the
    // caller holds, and forcing a field never replaces it.
    const Value* cur = &d;
    for (;;) {
        if (n < 0) return false;
        const Value& dv = forceDoc(*cur);
        if (dv.get() == proven.layout && n >= proven.width) return true;
        switch (dv->tag) {
            case Empty_tag:
            case NilAbove_tag: return true;
            case NoDoc_tag: return false;
            case TextBeside_tag: {
                n = subSat(n, elementWidth(field(dv, 0)));
                cur = &field(dv, 1);
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
