// Layout choice (best) and rendering in the four modes.
//
// best decides greedily, line by line: at a Union it keeps the preferred alternative when its
// first line fits the remaining width and the ribbon, and never backtracks. The renderer walks the
// chosen layout from the first chunk to the last and hands each chunk, with the suspended rest of
// the rendering, to the caller's text function, so output is produced as it is consumed.
#include <algorithm>
#include <cmath>

#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "VUX/Internal/List.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::addSat;
using detail::forceDoc;
using detail::later;
using detail::layoutError;
using detail::notADocument;
using detail::subSat;
using rts::field;
using rts::force;

int64_t ribbonWidth(int64_t lineLength, float ribbonsPerLine) {
    VUX_FUNCTION;
    float q = static_cast<float>(lineLength) / ribbonsPerLine;
    float r = std::nearbyintf(q);  // the default rounding mode: halves go to the even neighbour
    if (std::isnan(r)) return INT64_MAX;
    if (r >= 9223372036854775808.0f) return INT64_MAX;
    if (r < -9223372036854775808.0f) return INT64_MIN;
    return static_cast<int64_t>(r);
}

// ---------------------------------------------------------------------------------------------
// Layout choice

namespace {

// `room` is the width left, at the document laid out, to the fits test that walks the result as
// soon as it is made; negative when no test does (a test stops at the first node it has no room
// for). Where a test would force a suspended step at once, the step is taken at once instead:
// the same nodes are forced in the same order, without the suspension.
constexpr int64_t kNoTest = -1;

Value get(int64_t w, int64_t r, const Value& d, int64_t room = kNoTest);
Value get1(int64_t w, int64_t r, int64_t sl, const Value& d, int64_t room = kNoTest);

// Whether d is already an evaluated document node, checked as forceDoc checks it: reading it
// forces nothing and raises nothing.
bool evaluatedDoc(const Value& d) { return rts::is_evaluated(d) && detail::isDocNode(force(d)); }

// Steps of get1 taken at once rather than suspended, at most this many in a row, where no test
// would take them at once.
constexpr int kEagerSteps = 32;

// The room a test has left after the text s: once it has none it stops.
int64_t roomAfter(int64_t room, const Value& s) { return room < 0 ? room : subSat(room, elementWidth(s)); }

// Where the fits test of a layout made for it can start: after the text the layout begins with,
// whose widths its making took from the room already, as the test would. Saturated at the same
// points, the room is the width the test has left there; negative, the test fails before it.
struct TestStart {
    int64_t room;
    const Value* rest;  // null: the test starts at the layout itself
};

// get1 w r sl d, from evaluated text or after text. An evaluated run of text is copied at once (a
// step that forces nothing and raises nothing, so no caller can tell), in a loop; the node after it
// is laid out at once if the test walking the result would force it at once, else suspended.
Value get1Rest(int64_t w, int64_t r, int64_t sl, const Value& d, int64_t room, TestStart* start = nullptr) {
    detail::DocBuilder line;
    rts::Object* last = nullptr;
    const Value* cur = &d;  // read in place: evaluated fields never change
    for (int steps = kEagerSteps; detail::isEvaluatedDoc(*cur, TextBeside_tag) && (room >= 0 || steps > 0); --steps) {
        const Value& dv = force(*cur);
        const Value& s = field(dv, 0);
        sl = addSat(sl, elementWidth(s));
        room = roomAfter(room, s);
        Value text = line.openText(s);
        last = text.get();
        line.link(std::move(text));
        cur = &field(dv, 1);
    }
    Value rest;
    if (room >= 0) rest = get1(w, r, sl, *cur, room);
    else if (detail::isEvaluatedDoc(*cur, Empty_tag)) rest = force(*cur);
    else rest = later([w, r, sl, p = *cur] { return get1(w, r, sl, p); });
    Value laidOut = line.finish(std::move(rest));
    // The last text copied holds the rest, and the result holds that text.
    if (start && last) *start = TestStart{room, &field(rts::as_value(last), 1)};
    return laidOut;
}

// get and get1 of an alternative, entering evaluated text here rather than in a frame of their own:
// a line laid out at once for its test then costs two frames per choice, fewer than the suspended
// steps the test would force.
RTS_INLINE Value getAlternative(int64_t w, int64_t r, const Value& d, int64_t room, TestStart* start) {
    if (detail::isEvaluatedDoc(d, TextBeside_tag)) return get1Rest(w, r, 0, d, room, start);
    return get(w, r, d, room);
}
RTS_INLINE Value get1Alternative(int64_t w, int64_t r, int64_t sl, const Value& d, int64_t room,
                                 TestStart* start) {
    if (detail::isEvaluatedDoc(d, TextBeside_tag)) return get1Rest(w, r, sl, d, room, start);
    return get1(w, r, sl, d, room);
}

// The choice at Union p q, with each alternative laid out by `layout`; the preferred one is made
// for its test, the other for the caller's. The test skips the text the making already measured.
template <class Layout>
Value choose(int64_t w, int64_t r, int64_t sl, const Value& u, int64_t room, Layout layout) {
    int64_t width = subSat(std::min(w, r), sl);
    {
        detail::FitsTestAhead test;
        TestStart start{width, nullptr};
        Value preferred = layout(field(u, 0), width, &start);
        if (start.room >= 0 && fits(start.room, start.rest ? *start.rest : preferred)) {
            detail::noteFits(preferred, width);
            return preferred;
        }
    }
    return layout(field(u, 1), room, nullptr);
}

Value get(int64_t w, int64_t r, const Value& d, int64_t room) {
    rts::stack_check();
    const Value& dv = forceDoc(d);
    switch (dv->tag) {
        case Empty_tag:
        case NoDoc_tag: return dv;
        case NilAbove_tag: {
            Value p = field(dv, 0);
            return NilAbove(later([w, r, p] { return get(w, r, p); }));
        }
        case TextBeside_tag: return get1Rest(w, r, 0, d, room);
        case Nest_tag: {
            int64_t k = nestAmount(dv);
            Value p = field(dv, 0);
            int64_t w1 = subSat(w, k);
            return Nest_hash(k, later([w1, r, p] { return get(w1, r, p); }));
        }
        case Union_tag:
            return choose(w, r, 0, dv, room, [w, r](const Value& p, int64_t room1, TestStart* start) {
                return getAlternative(w, r, p, room1, start);
            });
        case Beside_tag: layoutError("best get Beside");
        case Above_tag: layoutError("best get Above");
    }
    notADocument();
}

Value get1(int64_t w, int64_t r, int64_t sl, const Value& d, int64_t room) {
    rts::stack_check();
    const Value* cur = &d;  // read in place: d holds the nodes reached from it
    for (;;) {
        const Value& dv = forceDoc(*cur);
        switch (dv->tag) {
            case Empty_tag:
            case NoDoc_tag: return dv;
            case NilAbove_tag: {
                Value p = field(dv, 0);
                int64_t w1 = subSat(w, sl);
                return NilAbove(later([w1, r, p] { return get(w1, r, p); }));
            }
            case TextBeside_tag: return get1Rest(w, r, sl, *cur, room);
            case Nest_tag:  // a nest inside a line is dropped
                cur = &field(dv, 0);
                continue;
            case Union_tag:
                return choose(w, r, sl, dv, room,
                              [w, r, sl](const Value& p, int64_t room1, TestStart* start) {
                                  return get1Alternative(w, r, sl, p, room1, start);
                              });
            case Beside_tag: layoutError("best get1 Beside");
            case Above_tag: layoutError("best get1 Above");
            default: notADocument();
        }
    }
}

}  // namespace

Value best(int64_t lineLength, int64_t ribbon, const Value& d) {
    VUX_FUNCTION;
    return get(lineLength, ribbon, d);
}

Value first(const Value& p, const Value& q) {
    VUX_FUNCTION;
    return nonEmptySet(p) ? forceDoc(p) : forceDoc(q);
}

// ---------------------------------------------------------------------------------------------
// Display

namespace {

// The walk's fixed arguments, held in one counted object that every suspended step shares.
class DisplayRef {
  public:
    DisplayRef(const Value& txt, const Value& end, const Value& slashes, const Value& backslashes,
               bool zigzag, int64_t gap, int64_t shift)
        : obj_(rts::con_words(0, {uint64_t(zigzag), static_cast<uint64_t>(gap), static_cast<uint64_t>(shift)},
                              txt, end, slashes, backslashes)) {}
    const Value& txt() const { return field(obj_, 0); }
    const Value& end() const { return field(obj_, 1); }
    // The zig-zag marker chunks, suspended: only a fold demands them.
    const Value& slashes() const { return field(obj_, 2); }
    const Value& backslashes() const { return field(obj_, 3); }
    bool zigzag() const { return rts::word(obj_, 0) != 0; }
    int64_t gap() const { return rts::int_word(obj_, 1); }
    int64_t shift() const { return rts::int_word(obj_, 2); }

  private:
    Value obj_;
};

Value lay(const DisplayRef& ctx, int64_t k, const Value& d);
Value lay2(const DisplayRef& ctx, int64_t k, const Value& d);
Value renderChunk(const Value& chunk, const Value& rest);

bool ownText(const DisplayRef& ctx) { return ctx.txt().get() == renderChunk_closure.object(); }

// The text function applied to a chunk and the rest: the renderer's own is called directly.
Value emit(const DisplayRef& ctx, const Value& chunk, const Value& rest) {
    if (ownText(ctx)) return renderChunk(chunk, rest);
    return rts::apply(ctx.txt(), chunk, rest);
}

Value indentChunk(int64_t k) { return NoAnnot_hash(Str(indent(k)), k); }

// A marker chunk of n copies of c, built when first demanded, its characters produced on demand:
// page mode never writes one, and the widths of an unbounded line would not fit in memory.
Value repeatChunk(char c, int64_t n) {
    return later([c, n] {
        using VUX::Internal::List::boxChar;
        return NoAnnot_hash(Str(VUX::Internal::List::replicate(n, boxChar(static_cast<unsigned char>(c)))),
                            n);
    });
}

// k spaces in front of rest, packed: what the renderer's own text function makes of an
// indentation chunk, without building the chunk's string and copying it.
Value spacesBefore(int64_t k, const Value& rest) {
    VUX::Internal::List::TextBuilder text;
    text.pushSpaces(k);
    return text.finish(rest);
}

Value lay1(const DisplayRef& ctx, int64_t k, const Value& s, const Value& p) {
    auto text = [ctx, k, s, p] {
        int64_t k1 = addSat(k, elementWidth(s));
        return emit(ctx, s, later([ctx, k1, p] { return lay2(ctx, k1, p); }));
    };
    if (!ownText(ctx)) return rts::apply(ctx.txt(), indentChunk(k), later(text));
    // The renderer's own text: a line without indentation starts with its text at once.
    if (k <= 0) return text();
    return spacesBefore(k, later(text));
}

// A zig-zag fold: a line feed, a marker line and a line feed, then the text at the new column.
Value fold(const DisplayRef& ctx, const Value& marker, int64_t k, const Value& s, const Value& p) {
    Value afterMarker = later([ctx, k, s, p] {
        return rts::apply(ctx.txt(), newlineText(), later([ctx, k, s, p] { return lay1(ctx, k, s, p); }));
    });
    Value markerLine =
        later([ctx, marker, afterMarker] { return rts::apply(ctx.txt(), marker, afterMarker); });
    return rts::apply(ctx.txt(), newlineText(), markerLine);
}

// The walk at the start of a line, at indentation k, a chunk at a time through the text function.
Value layChunk(const DisplayRef& ctx, int64_t k, const Value& d) {
    rts::stack_check();
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case Nest_tag: {
                k = addSat(k, nestAmount(dv));
                Value p = field(dv, 0);
                cur = std::move(p);
                continue;
            }
            case Empty_tag: return ctx.end();
            case NilAbove_tag: {
                Value p = field(dv, 0);
                return emit(ctx, newlineText(), later([ctx, k, p] { return lay(ctx, k, p); }));
            }
            case TextBeside_tag: {
                const Value& s = field(dv, 0);
                const Value& p = field(dv, 1);
                if (ctx.zigzag() && k >= ctx.gap())
                    return fold(ctx, ctx.slashes(), subSat(k, ctx.shift()), s, p);
                if (ctx.zigzag() && k < 0) return fold(ctx, ctx.backslashes(), addSat(k, ctx.shift()), s, p);
                return lay1(ctx, k, s, p);
            }
            case Union_tag: layoutError("display lay Union");
            case NoDoc_tag: layoutError("display lay NoDoc");
            case Beside_tag: layoutError("display lay Beside");
            case Above_tag: layoutError("display lay Above");
            default: notADocument();
        }
    }
}

// The walk inside a line, at column k, a chunk at a time through the text function.
Value lay2Chunk(const DisplayRef& ctx, int64_t k, const Value& d) {
    rts::stack_check();
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NilAbove_tag: {
                Value p = field(dv, 0);
                return emit(ctx, newlineText(), later([ctx, k, p] { return lay(ctx, k, p); }));
            }
            case TextBeside_tag: {
                const Value& s = field(dv, 0);
                Value p = field(dv, 1);
                int64_t k1 = addSat(k, elementWidth(s));
                return emit(ctx, s, later([ctx, k1, p] { return lay2(ctx, k1, p); }));
            }
            case Nest_tag: {
                Value p = field(dv, 0);
                cur = std::move(p);
                continue;
            }
            case Empty_tag: return ctx.end();
            case Union_tag: layoutError("display lay2 Union");
            case NoDoc_tag: layoutError("display lay2 NoDoc");
            case Beside_tag: layoutError("display lay2 Beside");
            case Above_tag: layoutError("display lay2 Above");
            default: notADocument();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The renderer's own text, written ahead
//
// The renderer's own text function puts each chunk's characters in front of the rest, so the walk
// writes the characters of a run of chunks into one list instead of suspending the rest after
// every chunk. Once it has written a character it reads only what is already evaluated and valid
// (document nodes, text cells) and suspends the rest at anything else: what is forced, when, and
// every error stay those of the walk a chunk at a time.

// Where the walk stands: at the start of a line, before its indentation, or inside a line.
enum class Place : bool { LineStart, InLine };

// Nodes and characters taken ahead of demand in one run before the rest is suspended.
constexpr int64_t kAheadSteps = 1024;

// Whether a line of text at indentation k is folded (zig-zag mode, out of the page's band).
bool folds(const DisplayRef& ctx, int64_t k) { return ctx.zigzag() && (k >= ctx.gap() || k < 0); }

Value writeLater(const DisplayRef& ctx, Place at, int64_t k, const Value& d);

// One run of the walk: the characters written so far and the steps left.
class OwnTextRun {
  public:
    explicit OwnTextRun(const DisplayRef& ctx) : ctx_(ctx) {}
    Value write(Place at, int64_t k, const Value& d);

  private:
    // Once a character is written nothing more may be forced.
    bool ahead() const { return !out_.empty(); }
    bool canRead(const Value& v) const { return !ahead() || (budget_ > 0 && rts::is_evaluated(v)); }
    bool canReadChunk(const Value& chunk) const;
    Value suspend(Place at, int64_t k, const Value& d);
    Value writeChunk(const Value& chunk, int64_t k1, const Value& p);
    Value writeChars(const Value& chars, int64_t k1, const Value& p);

    const DisplayRef& ctx_;
    VUX::Internal::List::TextBuilder out_;
    int64_t budget_ = kAheadSteps;
};

// The walk from d, in a run of its own when first demanded.
Value writeLater(const DisplayRef& ctx, Place at, int64_t k, const Value& d) {
    return later([ctx, at, k, d] { return OwnTextRun(ctx).write(at, k, d); });
}

Value OwnTextRun::suspend(Place at, int64_t k, const Value& d) { return out_.finish(writeLater(ctx_, at, k, d)); }

Value OwnTextRun::write(Place at, int64_t k, const Value& d) {
    rts::stack_check();
    // The nodes are read in place: d holds the ones reached from it, evaluated fields never change.
    const Value* node = &d;
    for (;; --budget_) {
        const Value& cur = *node;
        if (ahead() && !(budget_ > 0 && evaluatedDoc(cur))) return suspend(at, k, cur);
        const Value& dv = ahead() ? force(cur) : forceDoc(cur);  // ahead, cur was checked just now
        switch (dv->tag) {
            case Nest_tag: {
                if (at == Place::LineStart) k = addSat(k, nestAmount(dv));  // a nest inside a line is dropped
                node = &field(dv, 0);
                continue;
            }
            case Empty_tag: return out_.finish(ctx_.end());
            case NilAbove_tag: {
                out_.pushChar('\n');
                at = Place::LineStart;
                node = &field(dv, 0);
                continue;
            }
            case TextBeside_tag: {
                if (at == Place::InLine) {
                    const Value& s = field(dv, 0);
                    if (!canReadChunk(s)) return suspend(at, k, cur);
                    int64_t k1 = addSat(k, elementWidth(s));
                    const Value& p = field(dv, 1);
                    if (Value output = writeChunk(s, k1, p)) return output;
                    k = k1;
                    node = &p;
                    continue;
                }
                if (!folds(ctx_, k)) {
                    out_.pushSpaces(k);  // packed, one step however long
                    at = Place::InLine;
                    continue;
                }
                // A fold: the walk a chunk at a time does it.
                if (ahead()) return suspend(at, k, cur);
                return layChunk(ctx_, k, cur);
            }
            default:  // not laid out: the walk a chunk at a time raises its error
                if (ahead()) return suspend(at, k, cur);
                return at == Place::LineStart ? layChunk(ctx_, k, cur) : lay2Chunk(ctx_, k, cur);
        }
    }
}

// Whether the chunk and its text details can be read now.
bool OwnTextRun::canReadChunk(const Value& chunk) const {
    if (!canRead(chunk)) return false;
    const Value& c = force(chunk);
    return c->tag != NoAnnot_tag || canRead(field(c, 0));
}

// Writes the text of a readable chunk, after which the walk goes on at column k1 with p. Returns
// null when the run goes on, else the run's whole output, which stops inside the chunk's text.
Value OwnTextRun::writeChunk(const Value& chunk, int64_t k1, const Value& p) {
    const Value& c = force(chunk);
    if (c->tag != NoAnnot_tag) return Value();  // annotation markers write nothing
    const Value& d = force(field(c, 0));
    if (d->tag != Chr_tag) return writeChars(field(d, 0), k1, p);
    out_.pushChar(static_cast<uint32_t>(rts::word(d, 0)));
    --budget_;
    return Value();
}

// Writes the characters of a chunk's string while they can be read; returns null when written in
// full, else the run's whole output, ending in the characters not written and then the walk.
Value OwnTextRun::writeChars(const Value& chars, int64_t k1, const Value& p) {
    using VUX::Internal::List::evaluatedListCell;
    const Value* cell = &chars;  // read in place, as the nodes are
    for (;; --budget_) {
        if (ahead() && !(budget_ > 0 && evaluatedListCell(*cell))) {
            Value rest = writeLater(ctx_, Place::InLine, k1, p);
            return out_.finish(
                later([unwritten = *cell, rest] { return VUX::Internal::List::op_plus_plus(unwritten, rest); }));
        }
        const Value& c = ahead() ? force(*cell) : VUX::Internal::List::forceList(*cell);  // ahead, checked just now
        if (c->tag == VUX::Types::Nil_tag) return Value();
        out_.push(field(c, 0));
        cell = &field(c, 1);
    }
}

Value lay(const DisplayRef& ctx, int64_t k, const Value& d) {
    if (ownText(ctx)) return OwnTextRun(ctx).write(Place::LineStart, k, d);
    return layChunk(ctx, k, d);
}

Value lay2(const DisplayRef& ctx, int64_t k, const Value& d) {
    if (ownText(ctx)) return OwnTextRun(ctx).write(Place::InLine, k, d);
    return lay2Chunk(ctx, k, d);
}

// The walk of LeftMode and OneLineMode: no indentation, a separator for each line break, and
// `takeFirst` choosing between the alternatives of a Union.
Value easyDisplay(const Value& separator, bool takeFirst, const Value& txt, const Value& end,
                  const Value& d) {
    rts::stack_check();
    Value cur = d;
    for (;;) {
        const Value& dv = forceDoc(cur);
        switch (dv->tag) {
            case NoDoc_tag: layoutError("easyDisplay: NoDoc");
            case Union_tag: {
                Value next = takeFirst ? first(field(dv, 0), field(dv, 1)) : field(dv, 1);
                cur = std::move(next);
                continue;
            }
            case Nest_tag: {
                Value p = field(dv, 0);
                cur = std::move(p);
                continue;
            }
            case Empty_tag: return end;
            case NilAbove_tag: {
                Value p = field(dv, 0);
                return rts::apply(txt, separator, later([separator, takeFirst, txt, end, p] {
                                      return easyDisplay(separator, takeFirst, txt, end, p);
                                  }));
            }
            case TextBeside_tag: {
                const Value& s = field(dv, 0);
                Value p = field(dv, 1);
                return rts::apply(txt, s, later([separator, takeFirst, txt, end, p] {
                                      return easyDisplay(separator, takeFirst, txt, end, p);
                                  }));
            }
            case Above_tag: layoutError("easyDisplay Above");
            case Beside_tag: layoutError("easyDisplay Beside");
            default: notADocument();
        }
    }
}

}  // namespace

Value fullRenderAnn(const Value& modeV, const Value& lineLengthV, const Value& ribbonsV, const Value& txt,
                    const Value& end, const Value& doc) {
    VUX_FUNCTION;
    uint8_t m = force(modeV)->tag;
    if (m == LeftMode_tag) return easyDisplay(newlineText(), true, txt, end, reduceDoc(doc));
    if (m == OneLineMode_tag) return easyDisplay(spaceText(), false, txt, end, reduceDoc(doc));
    int64_t len = intOf(force(lineLengthV));
    float ribbons = floatOf(force(ribbonsV));
    int64_t ribbon = ribbonWidth(len, ribbons);
    bool zigzag = m == ZigZagMode_tag;
    int64_t gap = subSat(len, ribbon);
    return display(zigzag, gap, gap / 2, txt, end, best(zigzag ? INT64_MAX : len, ribbon, reduceDoc(doc)));
}

Value display(bool zigzag, int64_t gap, int64_t shift, const Value& txt, const Value& end,
              const Value& laidOut) {
    VUX_FUNCTION;
    DisplayRef ctx(txt, end, repeatChunk('/', shift), repeatChunk('\\', shift), zigzag, gap, shift);
    return lay(ctx, 0, laidOut);
}

namespace {
// The text function of fullRender: text chunks go to the caller's function, markers vanish.
Value forwardText(const Value& txt, const Value& chunk, const Value& rest) {
    const Value& c = force(chunk);
    if (c->tag != NoAnnot_tag) return rest;
    return rts::apply(txt, field(c, 0), rest);
}

// Whether txt is already txtPrinter itself (checked without forcing it): forwarding to it is then
// exactly the renderer's own text function.
bool isTxtPrinter(const Value& txt) {
    if (!rts::is_evaluated(txt)) return false;
    const Value& f = force(txt);
    return f->kind == rts::Kind::Fun &&
           reinterpret_cast<const rts::FunObject*>(f.get())->info == rts::static_fun_info<&txtPrinter>;
}
}  // namespace

Value fullRender(const Value& modeV, const Value& lineLengthV, const Value& ribbonsV, const Value& txt,
                 const Value& end, const Value& doc) {
    VUX_FUNCTION;
    if (isTxtPrinter(txt)) return fullRenderAnn(modeV, lineLengthV, ribbonsV, renderChunk_closure.value(), end, doc);
    Value txt1 =
        rts::fun<2>([txt](const Value& chunk, const Value& rest) { return forwardText(txt, chunk, rest); });
    return fullRenderAnn(modeV, lineLengthV, ribbonsV, txt1, end, doc);
}

Value txtPrinter(const Value& details, const Value& rest) {
    VUX_FUNCTION;
    const Value& d = force(details);
    if (d->tag == Chr_tag)
        return Cons(VUX::Internal::List::boxChar(static_cast<uint32_t>(rts::word(d, 0))), rest);
    return VUX::Internal::List::op_plus_plus(field(d, 0), rest);
}

namespace {
Value renderChunk(const Value& chunk, const Value& rest) {
    const Value& c = force(chunk);
    if (c->tag != NoAnnot_tag) return rest;
    return txtPrinter(field(c, 0), rest);
}
}  // namespace
constinit const rts::StaticFun renderChunk_closure{rts::static_fun_info<&renderChunk>};

Value renderStyle(const Value& s, const Value& doc) {
    VUX_FUNCTION;
    const Value& sv = force(s);
    return fullRenderAnn(field(sv, 0), field(sv, 1), field(sv, 2), renderChunk_closure.value(), Nil(), doc);
}

Value render(const Value& doc) {
    VUX_FUNCTION;
    return renderStyle(style(), doc);
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
