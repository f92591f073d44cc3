// Separating (sep, cat) and filling (fsep, fcat) layouts: the alternatives of one line or of
// stacked lines, as Unions whose second alternative is built only if the first does not fit.
#include "Text/PrettyPrint/Annotated/Drovane/Internal.h"
#include "rts/Profiling.h"

VUX_MODULE("Text.PrettyPrint.Annotated.Drovane");

namespace Text::PrettyPrint::Annotated::Drovane {

using namespace VUX::Types;
using detail::flagOf;
using detail::forceDoc;
using detail::later;
using detail::layoutError;
using detail::notADocument;
using detail::subSat;
using rts::field;
using rts::force;
using VUX::Internal::List::evaluatedListCell;
using VUX::Internal::List::forceList;

namespace {

// Steps taken at once rather than suspended, at most this many in a row (of a one-line
// alternative, or of the words of a fill): an evaluated list can be cyclic.
constexpr int kEagerSteps = 16;

// What follows the first document when everything is stacked below it.
Value stackedRest(bool filling, const Value& g, const Value& ys) {
    if (filling) return later([g, ys] { return fill(g, ys); });
    return later([ys] { return reduceDoc(vcat(ys)); });
}

Value stepFrom(bool filling, const Value& g, const Value& pv, int64_t k, const Value& ys, int eager);
Value fillFrom(const Value& g, const Value& p, int64_t k, const Value& ys, int eager);

// The step shared by sep1 (filling = false) and fill1 (filling = true). Empty documents in front
// are skipped in a loop: the step of an Empty is the step of the next document at column 0, nested
// by k, so a list that starts with many empty documents takes no stack.
Value step1(bool filling, const Value& g, const Value& p, int64_t k, const Value& ys, int eager = kEagerSteps) {
    rts::stack_check();
    const Value& pv = forceDoc(p);
    if (pv->tag != Empty_tag) return stepFrom(filling, g, pv, k, ys, eager);
    Value rest = ys;
    for (;;) {
        const Value& cell = forceList(rest);
        if (cell->tag == Nil_tag) return mkNest(k, Empty());
        Value next = reduceDoc(field(cell, 0));
        Value tail = field(cell, 1);
        const Value& nv = forceDoc(next);
        if (nv->tag != Empty_tag) return mkNest(k, stepFrom(filling, g, nv, 0, tail, eager));
        rest = std::move(tail);
    }
}

// Whether the fill after a line's last element, the rest p of its member then ys, starts without
// evaluating anything or raising anything: p is Empty and ys ends or starts with a text.
bool fillStartsEvaluated(const Value& g, const Value& p, const Value& ys) {
    if (!rts::is_evaluated(g) || !detail::isEvaluatedDoc(p, Empty_tag) || !evaluatedListCell(ys)) return false;
    const Value& cell = force(ys);
    return cell->tag == Nil_tag || detail::isEvaluatedDoc(field(cell, 0), TextBeside_tag);
}

// The step of a document that is not Empty.
Value stepFrom(bool filling, const Value& g, const Value& pv, int64_t k, const Value& ys, int eager) {
    switch (pv->tag) {
        case NoDoc_tag: return NoDoc();
        case Union_tag: {
            Value p1 = field(pv, 0), q1 = field(pv, 1);
            return Union(later([filling, g, p1, k, ys] { return step1(filling, g, p1, k, ys); }),
                         later([filling, g, q1, k, ys] {
                             return aboveNest(q1, False(), k, stackedRest(filling, g, ys));
                         }));
        }
        case Nest_tag: {
            int64_t n = nestAmount(pv);
            Value inner = field(pv, 0);
            int64_t k1 = subSat(k, n);
            return Nest_hash(n,
                             later([filling, g, inner, k1, ys] { return step1(filling, g, inner, k1, ys); }));
        }
        case NilAbove_tag: {
            Value inner = field(pv, 0);
            return NilAbove(later([filling, g, inner, k, ys] {
                return aboveNest(inner, False(), k, stackedRest(filling, g, ys));
            }));
        }
        case TextBeside_tag: {
            const Value& s = field(pv, 0);
            Value rest = field(pv, 1);
            int64_t k1 = subSat(k, elementWidth(s));
            if (filling && eager > 0 && fillStartsEvaluated(g, rest, ys))
                return rts::con(TextBeside_tag, s, fillFrom(g, rest, k1, ys, eager - 1));
            return rts::con(TextBeside_tag, s, later([filling, g, rest, k1, ys] {
                                return filling ? fillNB(g, rest, k1, ys) : sepNB(g, rest, k1, ys);
                            }));
        }
        case Above_tag: layoutError(filling ? "fill1 Above" : "sep1 Above");
        case Beside_tag: layoutError(filling ? "fill1 Beside" : "sep1 Beside");
    }
    notADocument();
}

// The alternative of a fill (with spaces if Spaced) that starts the list cell `cell` on a new
// line, nested by k. The flag is in the code rather than among the captured data: a fill keeps
// one of these per word, and one word fewer makes each a smaller block.
template <bool Spaced>
Value belowAlternativeOf(int64_t k, const Value& cell) {
    return later([k, cell] { return nilAboveNest(False(), k, fill(Spaced ? True() : False(), cell)); });
}
Value belowAlternative(bool spaced, int64_t k, const Value& cell) {
    return spaced ? belowAlternativeOf<true>(k, cell) : belowAlternativeOf<false>(k, cell);
}

// Whether the list cell `cell`, evaluated, holds a plain word: an evaluated text followed by the
// evaluated Empty document, which is its own reduced one-line form.
RTS_INLINE bool holdsPlainWord(const Value& cell) {
    if (cell->tag != Cons_tag) return false;
    const Value& y = field(cell, 0);
    return detail::isEvaluatedDoc(y, TextBeside_tag) && detail::isEvaluatedDoc(field(force(y), 1), Empty_tag);
}

// The cell of the list `ys` if it is evaluated and holds a plain word, else null.
RTS_INLINE const Value* plainWordCell(const Value& ys) {
    if (!evaluatedListCell(ys)) return nullptr;
    const Value& cell = force(ys);
    return holdsPlainWord(cell) ? &cell : nullptr;
}

// The choices of a run of plain words, from the evaluated cell `cell` holding one, built front to
// back in one loop: per word the Union of the word beside the line (after a space if spaced) and of
// the fill from it below, exactly as fillStep makes them. Each word's rest is written once the
// next is made, as a list builder does; the run stops where fillStep would stop taking steps at
// once, or at the first word that is not plain, and hands the rest to fillFrom.
Value plainWordsStep(const Value& g, int64_t k, const Value& cell, int eager) {
    bool spaced = flagOf(g);
    detail::DocBuilder choices;
    const Value* c = &cell;
    for (;;) {
        const Value& word = force(field(*c, 0));
        const Value& s = field(word, 0);
        int64_t k1 = spaced ? subSat(k, 1) : k;
        Value line = choices.openText(s);
        if (spaced) line = rts::con(TextBeside_tag, spaceText(), std::move(line));
        choices.link(rts::con(Union_tag, std::move(line), belowAlternative(spaced, k, *c)));
        k = subSat(k1, elementWidth(s));
        const Value& rest = field(word, 1);
        const Value& tail = field(*c, 1);
        // The word's rest is the evaluated Empty: the fill goes on at once where the list does.
        if (eager > 0) {
            if (const Value* next = plainWordCell(tail)) {
                c = next;
                --eager;
                continue;
            }
        }
        Value after = eager > 0 && fillStartsEvaluated(g, rest, tail)
                          ? fillFrom(g, rest, k, tail, eager - 1)
                          : later([g, rest, k, tail] { return fillNB(g, rest, k, tail); });
        return choices.finish(std::move(after));
    }
}

// The choice for the next document y, held by the list cell `cell`, after the text of the current
// line.
Value fillStep(const Value& g, int64_t k, const Value& cell, int eager) {
    rts::stack_check();
    if (rts::is_evaluated(g) && holdsPlainWord(cell)) return plainWordsStep(g, k, cell, eager);
    const Value& y = field(cell, 0);
    const Value& rest = field(cell, 1);
    bool spaced = flagOf(g);
    int64_t k1 = spaced ? subSat(k, 1) : k;
    Value y1 = oneLiner(reduceDoc(y));
    const Value& y1v = forceDoc(y1);
    if (y1v->tag == Nest_tag) {
        Value inner = field(y1v, 0);
        y1 = std::move(inner);
    }
    Value firstAlt = nilBeside(g, step1(true, g, y1, k1, rest, eager));
    return mkUnion(firstAlt, belowAlternative(spaced, k, cell));
}

// The horizontal composition of ys (with spaces if g), reduced.
Value reducedRow(const Value& g, const Value& ys) { return reduceDoc(flagOf(g) ? hsep(ys) : hcat(ys)); }

// Whether xs is an evaluated list whose first member that is not the Empty document is plain text
// under evaluated nests, or which has none: then its one-line alternative starts without
// evaluating anything or raising anything.
bool rowStartsEvaluated(const Value& xs) {
    Value list = xs;
    for (int i = 0; i < kEagerSteps; ++i) {
        if (!evaluatedListCell(list)) return false;
        const Value& cell = force(list);
        if (cell->tag == Nil_tag) return true;
        const Value* member = &field(cell, 0);
        if (!detail::isEvaluatedDoc(*member, Empty_tag)) {
            for (int n = 0; n < kEagerSteps && detail::isEvaluatedDoc(*member, Nest_tag); ++n)
                member = &field(force(*member), 0);
            return detail::isEvaluatedDoc(*member, TextBeside_tag);
        }
        Value tail = field(cell, 1);
        list = std::move(tail);
    }
    return false;
}

Value oneLineAfterText(const Value& g, const Value& rest, const Value& ys, int eager);

// The one-line alternative after an element: taken at once where that evaluates nothing.
Value oneLineAfterTextLater(const Value& g, const Value& rest, const Value& ys, int eager) {
    bool atOnce = eager > 0 && (detail::isEvaluatedDoc(rest, TextBeside_tag) ||
                                (detail::isEvaluatedDoc(rest, Empty_tag) && rowStartsEvaluated(ys)));
    if (atOnce) return oneLineAfterText(g, rest, ys, eager - 1);
    return later([g, rest, ys] { return oneLineAfterText(g, rest, ys, kEagerSteps); });
}

// oneLiner (nilBeside g (reducedRow g ys)), built in one pass where the members are plain texts
// under nests: they are forced as reduceDoc, beside and nilBeside would force them, and a member
// of any other shape leaves the rest to the general combinators.
Value oneLineRow(const Value& g, const Value& ys, int eager) {
    Value list = ys;
    for (;;) {
        const Value& cell = forceList(list);
        if (cell->tag == Nil_tag) return Empty();
        const Value* core = &forceDoc(field(cell, 0));
        if (core->get()->tag == Empty_tag) {
            Value tail = field(cell, 1);
            list = std::move(tail);
            continue;
        }
        while (core->get()->tag == Nest_tag) core = &forceDoc(field(*core, 0));
        if (core->get()->tag != TextBeside_tag) return oneLiner(nilBeside(g, reducedRow(g, list)));
        Value line = rts::con(TextBeside_tag, field(*core, 0),
                              oneLineAfterTextLater(g, field(*core, 1), field(cell, 1), eager));
        return flagOf(g) ? rts::con(TextBeside_tag, spaceText(), std::move(line)) : line;
    }
}

// The one-line alternative from the rest of a member after one of its elements, then ys.
Value oneLineAfterText(const Value& g, const Value& rest, const Value& ys, int eager) {
    const Value& rv = forceDoc(rest);
    switch (rv->tag) {
        case Empty_tag: return oneLineRow(g, ys, eager);
        case TextBeside_tag:
            return rts::con(TextBeside_tag, field(rv, 0), oneLineAfterTextLater(g, field(rv, 1), ys, eager));
        default: return oneLiner(beside(rv, g, later([g, ys] { return reducedRow(g, ys); })));
    }
}

template <bool Filling>
Value separate(const Value& g, const Value& docs) {
    const Value& cell = forceList(docs);
    if (cell->tag == Nil_tag) return Empty();
    return step1(Filling, g, reduceDoc(field(cell, 0)), 0, field(cell, 1));
}

}  // namespace

Value sep1(const Value& g, const Value& p, int64_t k, const Value& ys) {
    VUX_FUNCTION;
    return step1(false, g, p, k, ys);
}
Value fill1(const Value& g, const Value& p, int64_t k, const Value& ys) {
    VUX_FUNCTION;
    return step1(true, g, p, k, ys);
}

Value sepNB(const Value& g, const Value& p, int64_t k, const Value& ys) {
    VUX_FUNCTION;
    Value cur = p;
    for (;;) {
        const Value& pv = forceDoc(cur);
        if (pv->tag == Nest_tag) {
            Value inner = field(pv, 0);
            cur = std::move(inner);
            continue;
        }
        if (pv->tag != Empty_tag) return sep1(g, pv, k, ys);
        return mkUnion(oneLineRow(g, ys, kEagerSteps),
                       later([k, ys] { return nilAboveNest(False(), k, reduceDoc(vcat(ys))); }));
    }
}

Value fillNB(const Value& g, const Value& p, int64_t k, const Value& ys) {
    VUX_FUNCTION;
    return fillFrom(g, p, k, ys, kEagerSteps);
}

namespace {
// fillNB, with the steps that may still be taken at once.
Value fillFrom(const Value& g, const Value& p, int64_t k, const Value& ys, int eager) {
    Value cur = p;
    Value rest = ys;
    for (;;) {
        const Value& pv = forceDoc(cur);
        if (pv->tag == Nest_tag) {
            Value inner = field(pv, 0);
            cur = std::move(inner);
            continue;
        }
        if (pv->tag != Empty_tag) return step1(true, g, pv, k, rest, eager);
        const Value& cell = forceList(rest);
        if (cell->tag == Nil_tag) return Empty();
        const Value& y = field(cell, 0);
        if (forceDoc(y)->tag == Empty_tag) {
            // Documents that are the Empty constructor are skipped one by one.
            Value next = field(cell, 1);
            rest = std::move(next);
            continue;
        }
        return fillStep(g, k, cell, eager);
    }
}
}  // namespace

Value fill(const Value& g, const Value& docs) {
    VUX_FUNCTION;
    return separate<true>(g, docs);
}
Value sep(const Value& docs) {
    VUX_FUNCTION;
    return separate<false>(True(), docs);
}
Value cat(const Value& docs) {
    VUX_FUNCTION;
    return separate<false>(False(), docs);
}
Value fsep(const Value& docs) {
    VUX_FUNCTION;
    return separate<true>(True(), docs);
}
Value fcat(const Value& docs) {
    VUX_FUNCTION;
    return separate<true>(False(), docs);
}

Value hang(const Value& d1, const Value& amount, const Value& d2) {
    VUX_FUNCTION;
    Value nested = later([amount, d2] { return nest(amount, d2); });
    return sep1(True(), reduceDoc(d1), 0, Cons(std::move(nested), Nil()));
}

}  // namespace Text::PrettyPrint::Annotated::Drovane
