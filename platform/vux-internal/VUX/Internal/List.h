// List functions of the base library, lazy where the language's are, and the small builders
// that the rest of the base layer uses to produce character lists.
//
// Calling one of these functions is evaluating the application: it may force the list argument
// as far as the language's function would to reach weak head normal form; everything after the
// first cell it produces is left suspended. Walks that must reach the end of a list (length,
// reverse, last, eqString) are loops, so a list of any length runs in constant stack.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Internal::List {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Characters

// The boxed characters 0 to 255 are static, so writing text allocates only the list cells.
extern const std::array<rts::StaticCon<0, 1>, 256> latin1_chars;
RTS_INLINE Value boxChar(uint32_t c) {
    if (RTS_LIKELY(c < 256)) return latin1_chars[c].value();
    return VUX::Types::C_hash(c);
}

// ---------------------------------------------------------------------------------------------
// List cells

// Raises the error of a value of another type where a list is expected.
[[noreturn]] void notAList();

// Whether a value in weak head normal form is a list cell: [] (no fields) or (:) with its head
// and tail.
RTS_INLINE bool isListCell(const Value& c) {
    using namespace VUX::Types;
    const uint32_t shape = rts::shape_of(c.get()) & 0xFFFFFF;  // words not compared
    return shape == rts::con_shape(Cons_tag, 2, 0) || shape == rts::con_shape(Nil_tag, 0, 0);
}
// The cell of a list forced to weak head normal form. Anything else, such as a document or a
// number passed where a list is expected, raises an error instead of being read as a cell.
RTS_INLINE const Value& forceList(const Value& xs) {
    const Value& c = rts::force(xs);
    if (RTS_UNLIKELY(!isListCell(c))) notAList();
    return c;
}
// Whether xs is already an evaluated list cell: reading it forces nothing and raises nothing.
RTS_INLINE bool evaluatedListCell(const Value& xs) { return rts::is_evaluated(xs) && isListCell(rts::force(xs)); }

// ---------------------------------------------------------------------------------------------
// Conversions between C++ strings and vectors and lists

// `s` in front of `tail`, one character per byte (code points 0 to 255), built at once.
Value prependBytes(std::string_view s, Value tail);
// The characters of `s` (one per byte) as a fully built list.
inline Value fromBytes(std::string_view s) { return prependBytes(s, VUX::Types::Nil()); }
// The characters of UTF-8 text as a fully built list. A byte that does not start a well-formed
// sequence (overlong, surrogate, above U+10FFFF, truncated) becomes U+FFFD.
Value fromUtf8(std::string_view s);
// A character list forced to its end, as UTF-8 text; a surrogate code point becomes U+FFFD.
// The walks below take the list by value: a list moved in is let go cell by cell as it is read,
// so a long text produced on demand is converted in constant memory.
std::string toUtf8(Value chars);
// The code points of a character list forced to its end.
std::vector<uint32_t> codePoints(Value chars);
// A list of the given values, fully built; and the elements of a list forced to its end (the
// elements themselves are not evaluated).
Value fromValues(const std::vector<Value>& items);
std::vector<Value> toValues(Value list);

// Builds a list front to back, then closes it with a tail. Cells are allocated as elements are
// pushed; an exception midway frees what was built.
class ListBuilder {
  public:
    void push(Value x) {
        rts::Object* cell = rts::alloc_con(VUX::Types::Cons_tag, 2, 0);
        rts::Slot* s = rts::con_slots(cell);
        s[0].ref = x.detach();
        s[1].ref = VUX::Types::Nil_closure.object();  // static placeholder until the next cell
        append(cell, &s[1].ref);
    }
    void pushChar(uint32_t c) { push(boxChar(c)); }
    // Appends a packed run of text (see packedText below), which then stands for its characters.
    void pushPacked(int64_t spaces, std::string_view latin1);
    bool empty() const { return last_ == nullptr; }
    // The list built so far, ending in `tail`. The builder is empty afterwards.
    Value finish(Value tail) {
        if (last_ == nullptr) return tail;
        *last_ = tail.detach();
        last_ = nullptr;
        return std::move(head_);
    }

  private:
    // Links `o`, whose rest is the placeholder in `rest`, after what was built.
    void append(rts::Object* o, rts::Object** rest) {
        if (last_ == nullptr)
            head_ = Value::adopt(o);
        else
            *last_ = o;
        last_ = rest;
    }

    Value head_;
    rts::Object** last_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Packed text
//
// Text written ahead of demand, such as a renderer's, is mostly runs of spaces and of Latin-1
// characters. Such a run can be held packed: one suspended value in front of the rest of the list
// instead of a cell per character. Forced by anyone, it is exactly the cells it stands for, built
// then and ending in its tail (a long run of spaces a block at a time, the rest packed again). The
// walks that take their list by value (toUtf8, codePoints, toValues), when they hold the only
// reference to a packed run not yet forced, read its characters in place and go on with its tail:
// no cell is built, and no one else can tell, as no one else can reach it.

// `spaces` spaces, then the characters of `latin1` (one per byte), in front of `tail`.
Value packedText(int64_t spaces, std::string_view latin1, Value tail);

// Builds a character list front to back, as ListBuilder does, packing what it can: characters
// already evaluated and below 256 and runs of spaces. The first character pushed is a cell, so a
// list finished after a push is an evaluated cell, whose rest can be packed.
class TextBuilder {
  public:
    void pushChar(uint32_t c) {
        if (RTS_LIKELY(c < 256 && !cells_.empty()))
            pack(static_cast<char>(c));
        else
            pushCell(boxChar(c));
    }
    // Pushes an element of a character list, as it is unless it is already an evaluated character.
    void push(const Value& x) {
        const Value& v = rts::is_evaluated(x) ? rts::force(x) : x;
        if (RTS_LIKELY(isLatin1Char(v) && !cells_.empty()))
            pack(static_cast<char>(rts::word(v, 0)));
        else
            pushCell(x);
    }
    // n spaces (none when n <= 0), packed as a count however many they are.
    void pushSpaces(int64_t n);
    bool empty() const { return cells_.empty(); }
    // The list built so far, ending in `tail`. The builder is empty afterwards.
    Value finish(Value tail);

  private:
    static constexpr size_t kRunChars = 512;  // characters of one run at most

    static bool isLatin1Char(const Value& v) {
        return rts::shape_of(v.get()) == rts::con_shape(VUX::Types::C_hash_tag, 0, 1) && rts::word(v, 0) < 256;
    }
    void pack(char c) {
        if (RTS_UNLIKELY(n_ == kRunChars)) flush();
        chars_[n_++] = c;
    }
    // Pushes x as a cell of its own, after what is pending.
    void pushCell(Value x);
    // Packs what is pending into one run.
    void flush();

    ListBuilder cells_;
    int64_t spaces_ = 0;  // pending: these spaces, then the first n_ of chars_
    size_t n_ = 0;
    char chars_[kRunChars];
};

// ---------------------------------------------------------------------------------------------
// Lazy list functions

// `map f xs`: each element `f x` suspended, the rest of the list produced on demand.
Value map(Value f, Value xs);
// `xs ++ ys`: the cells of xs copied on demand, ys itself shared at the end (never copied).
Value op_plus_plus(Value xs, Value ys);
// `foldr k z xs`: k applied to the head and the suspended fold of the rest.
Value foldr(Value k, Value z, Value xs);
// `concat xss`: the lists one after the other, produced on demand.
Value concat(Value xss);
// `concatMap f xs`.
Value concatMap(Value f, Value xs);
// `replicate n x`: n copies of x, produced on demand (empty when n <= 0).
Value replicate(int64_t n, Value x);
// `repeat x`: an endless list of x, one shared cell pointing to itself is a cycle, so cells are
// produced on demand instead.
Value repeat(Value x);
// `iterate f x`: x, f x, f (f x)...
Value iterate(Value f, Value x);
// `take n xs`: the first n elements, produced on demand (works on endless lists).
Value take(int64_t n, Value xs);
// `filter p xs`.
Value filter(Value p, Value xs);
// `zip xs ys`: pairs until the shorter list ends.
Value zip(Value xs, Value ys);
// `zipWith f xs ys`.
Value zipWith(Value f, Value xs, Value ys);
// `lines s`: the lines of s, broken at each '\n' (a final newline makes no empty last line).
Value lines(Value s);
// `unlines ls`: each line followed by '\n'.
Value unlines(Value ls);
// `intercalate sep xss`.
Value intercalate(Value sep, Value xss);

// ---------------------------------------------------------------------------------------------
// Strict walks (loops)

// `drop n xs`: walks n cells of the spine.
Value drop(int64_t n, Value xs);
// `length xs`: the number of cells; the elements are not evaluated.
int64_t length(const Value& xs);
// `reverse xs`.
Value reverse(const Value& xs);
// `null xs`: whether the list is empty (evaluates only the first cell).
bool null(const Value& xs);
// `last xs`: the last element. An empty list raises `lastError` with the caller's call stack
// (whose top entry is `last` at the caller's site) below the entry of `lastError` itself.
Value last(const Value& xs, const Value& callStack);
// `eqString a b`: character lists compared cell by cell; stops at the first difference.
bool eqString(const Value& a, const Value& b);
// `sum` and friends are not needed here; `and`/`or` stop at the first decisive element.
bool and_(const Value& bools);
bool or_(const Value& bools);
// `elem` of a character.
bool elemChar(uint32_t c, const Value& chars);
// `foldl'`: strict left fold in constant stack.
Value foldl_prime(const Value& k, Value z, const Value& xs);

// The error of `last` on an empty list, "Prelude.last: empty list", raised with the call stack
// given (as it stands: nothing is pushed).
[[noreturn]] void lastError(const Value& callStack);

// Language values of the functions above, for records and partial application.
extern const rts::StaticFun map_closure;
extern const rts::StaticFun op_plus_plus_closure;
extern const rts::StaticFun foldr_closure;
extern const rts::StaticFun concat_closure;
extern const rts::StaticFun length_closure;
extern const rts::StaticFun reverse_closure;
extern const rts::StaticFun eqString_closure;
extern const rts::StaticFun lines_closure;

}  // namespace VUX::Internal::List
