#include "VUX/Internal/List.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <sys/mman.h>

#include "VUX/Internal/Encoding.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Tuple.h"
#include "rts/Weak.h"

namespace VUX::Internal::List {

using namespace VUX::Types;
using rts::force;

namespace {
template <size_t... I>
constexpr std::array<rts::StaticCon<0, 1>, sizeof...(I)> make_chars(std::index_sequence<I...>) {
    return {rts::StaticCon<0, 1>(C_hash_tag, rts::word_slot(I))...};
}
// Copies at most this many already-evaluated cells at once, so a long evaluated list costs one
// suspended computation per chunk instead of one per cell; unevaluated cells are never forced
// ahead of demand.
constexpr int kChunk = 64;

inline const Value& hd(const Value& cell) { return rts::field(cell, 0); }
inline const Value& tl(const Value& cell) { return rts::field(cell, 1); }
}  // namespace

constinit const std::array<rts::StaticCon<0, 1>, 256> latin1_chars =
    make_chars(std::make_index_sequence<256>{});

Value prependBytes(std::string_view s, Value tail) {
    Value acc = std::move(tail);
    for (size_t i = s.size(); i-- > 0;) acc = Cons(boxChar(static_cast<unsigned char>(s[i])), std::move(acc));
    return acc;
}

void notAList() {
    Err::errorWithoutStackTrace(fromBytes("not a list: a value of another type where a list is expected"));
}

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// The code point of the well-formed UTF-8 sequence at the front of `s` and its length, or
// U+FFFD and 1 when the front is not one.
std::pair<uint32_t, size_t> decodeUtf8(std::string_view s) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    uint32_t c0 = byte(0);
    if (c0 < 0x80) return {c0, 1};
    size_t n = c0 >= 0xC2 && c0 <= 0xDF ? 2 : c0 >= 0xE0 && c0 <= 0xEF ? 3 : c0 >= 0xF0 && c0 <= 0xF4 ? 4 : 0;
    if (n == 0 || s.size() < n) return {kReplacement, 1};
    uint32_t cp = c0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {kReplacement, 1};
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {kReplacement, 1};
    return {cp, n};
}

// Writes the UTF-8 bytes of cp (a surrogate or a value above U+10FFFF as U+FFFD) at `out`, which
// has room for 4; returns their number.
size_t encodeUtf8(char* out, uint32_t cp) {
    auto* bytes = reinterpret_cast<uint8_t*>(out);
    if (cp < 0x80) {
        bytes[0] = static_cast<uint8_t>(cp);
        return 1;
    }
    size_t n = Encoding::encodeChar(Encoding::Codec::Utf8, cp, bytes);
    return n != 0 ? n : Encoding::encodeChar(Encoding::Codec::Utf8, kReplacement, bytes);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Packed text

namespace {

// Spaces of a packed run built as cells at once when it is forced; the rest stay packed.
constexpr int64_t kSpaceBlock = 256;
// Spaces after pending characters that join them rather than start a run of their own.
constexpr int64_t kJoinedSpaces = 32;

// A packed run: `spaces` spaces, then the characters of the bytes of `chars`, then `tail`.
struct PackedText {
    rts::Object* tail;  // owned; a static placeholder until a builder links what follows
    Value chars;        // a byte array, or null when there are no characters
    int64_t spaces;

    PackedText(int64_t n, Value bytes, Value rest) : tail(rest.detach()), chars(std::move(bytes)), spaces(n) {}
    PackedText(PackedText&& o) noexcept
        : tail(std::exchange(o.tail, nullptr)), chars(std::move(o.chars)), spaces(o.spaces) {}
    PackedText(const PackedText&) = delete;
    PackedText& operator=(const PackedText&) = delete;
    ~PackedText() { rts::release(tail); }

    std::string_view text() const {
        if (!chars) return {};
        return {reinterpret_cast<const char*>(rts::bytes_data(chars)), rts::bytes_length(chars)};
    }
    // Forced: the cells it stands for.
    Value operator()() const;
};

Value packedRun(int64_t spaces, Value chars, Value tail) {
    return rts::delay(PackedText(spaces, std::move(chars), std::move(tail)));
}

Value PackedText::operator()() const {
    ListBuilder b;
    const int64_t n = std::min(spaces, kSpaceBlock);
    for (int64_t i = 0; i < n; ++i) b.pushChar(' ');
    Value rest = Value::share(tail);
    if (spaces > n) return b.finish(packedRun(spaces - n, chars, std::move(rest)));
    for (char c : text()) b.pushChar(static_cast<unsigned char>(c));
    return b.finish(std::move(rest));
}

// The packed run in v, when it is one not yet forced and v holds its only reference: no other
// holder, on this thread or another, can force or read it meanwhile. The count is read with
// acquire ordering, so it follows every other holder's release, and the weak-key mark after it,
// as a weak reference could revive the run without a count.
PackedText* ownedPackedText(const Value& v) {
    rts::Object* o = v.get();
    if (o == nullptr || o->kind != rts::Kind::Thunk) return nullptr;
    rts::ThunkObject* t = rts::as_thunk(o);
    if (t->info != &rts::ThunkOf<PackedText>::info) return nullptr;
    if (o->rc.load(std::memory_order_acquire) != 1 || rts::detail::weak_key_marked(o)) return nullptr;
    if (t->state.load(std::memory_order_acquire) != rts::kUnevaluated) return nullptr;
    return rts::thunk_storage<PackedText>(o);
}

// Walks a list forced to its end: `onElement` gets each element, `onPacked` the spaces and
// characters of each packed run that the walk owns, which is let go without building its cells.
template <class OnElement, class OnPacked>
void walk(Value list, OnElement onElement, OnPacked onPacked) {
    Value cur = std::move(list);
    for (;;) {
        if (PackedText* run = ownedPackedText(cur)) {
            onPacked(run->spaces, run->text());
            Value rest = Value::adopt(std::exchange(run->tail, nullptr));
            cur = std::move(rest);
            continue;
        }
        const Value& c = forceList(cur);
        if (c->tag == Nil_tag) return;
        onElement(hd(c));
        Value next = tl(c);
        cur = std::move(next);
    }
}

// Calls `f` on each element of a list forced to its end.
template <class F>
void forEach(Value list, F f) {
    walk(std::move(list), f, [&f](int64_t spaces, std::string_view latin1) {
        for (int64_t i = 0; i < spaces; ++i) f(boxChar(' '));
        for (char c : latin1) f(boxChar(static_cast<unsigned char>(c)));
    });
}

// Asks the kernel to back the whole huge pages of [p, p + n) with huge pages, when there are some.
void adviseHugePages(char* p, size_t n) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kHuge = uintptr_t{2} << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + n) & ~(kHuge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // a hint only
#else
    (void)p;
    (void)n;
#endif
}

// UTF-8 text written front to back. Bytes gather in a block appended to the text when full: one
// store per character instead of a growth check per byte; a packed run goes to the text at once.
class Utf8Text {
  public:
    void put(uint32_t cp) {
        if (n_ > sizeof block_ - 4) flushBlock();
        n_ += encodeUtf8(block_ + n_, cp);
    }
    void putSpaces(int64_t n) {
        flushBlock();
        room(static_cast<size_t>(n));
        out_.append(static_cast<size_t>(n), ' ');
    }
    // Latin-1 text: ASCII stretches as they are.
    void putLatin1(std::string_view s) {
        flushBlock();
        room(2 * s.size());
        for (size_t i = 0; i < s.size();) {
            size_t ascii = i;
            while (ascii < s.size() && static_cast<unsigned char>(s[ascii]) < 0x80) ++ascii;
            out_.append(s.data() + i, ascii - i);
            for (i = ascii; i < s.size() && static_cast<unsigned char>(s[i]) >= 0x80; ++i) {
                char bytes[4];
                out_.append(bytes, encodeUtf8(bytes, static_cast<unsigned char>(s[i])));
            }
        }
    }
    std::string take() {
        flushBlock();
        return std::move(out_);
    }

  private:
    void flushBlock() {
        room(n_);
        out_.append(block_, n_);
        n_ = 0;
    }
    // Room for `more` bytes, the text at least doubling when it grows. A large text moves into
    // memory the kernel is asked to back with huge pages: fresh memory written a small page at a
    // time costs a fault per 4 KiB, which on some machines (virtual ones above all) costs more than
    // producing the text.
    void room(size_t more) {
        if (more <= out_.capacity() - out_.size()) return;
        if (more > out_.max_size() - out_.size()) throw std::length_error("toUtf8: text too long");
        std::string next;
        next.reserve(std::max(out_.size() + more, 2 * out_.capacity()));
        if (next.capacity() >= kHugeText) adviseHugePages(next.data(), next.capacity());
        next.append(out_);
        out_.swap(next);
    }

    static constexpr size_t kHugeText = size_t{8} << 20;
    std::string out_;
    char block_[256];
    size_t n_ = 0;
};

}  // namespace

namespace {
bool emptyRun(int64_t spaces, std::string_view latin1) { return spaces <= 0 && latin1.empty(); }

Value packedRun(int64_t spaces, std::string_view latin1, Value tail) {
    Value chars = latin1.empty() ? Value() : rts::byte_array_from(latin1.data(), latin1.size());
    return packedRun(std::max<int64_t>(spaces, 0), std::move(chars), std::move(tail));
}
}  // namespace

Value packedText(int64_t spaces, std::string_view latin1, Value tail) {
    if (emptyRun(spaces, latin1)) return tail;
    return packedRun(spaces, latin1, std::move(tail));
}

void ListBuilder::pushPacked(int64_t spaces, std::string_view latin1) {
    if (emptyRun(spaces, latin1)) return;
    Value run = packedRun(spaces, latin1, Nil());  // the static placeholder until what follows
    append(run.get(), &rts::thunk_storage<PackedText>(run.get())->tail);
    run.detach();
}

void TextBuilder::pushSpaces(int64_t n) {
    if (n <= 0) return;
    if (cells_.empty()) {
        cells_.pushChar(' ');
        --n;
    }
    if (n_ > 0 && n <= kJoinedSpaces && n_ + static_cast<size_t>(n) <= kRunChars) {
        std::memset(chars_ + n_, ' ', static_cast<size_t>(n));
        n_ += static_cast<size_t>(n);
        return;
    }
    if (n_ > 0 || spaces_ > INT64_MAX - n) flush();
    spaces_ += n;
}

void TextBuilder::pushCell(Value x) {
    flush();
    cells_.push(std::move(x));
}

void TextBuilder::flush() {
    cells_.pushPacked(spaces_, std::string_view(chars_, n_));
    spaces_ = 0;
    n_ = 0;
}

Value TextBuilder::finish(Value tail) {
    flush();
    return cells_.finish(std::move(tail));
}

Value fromUtf8(std::string_view s) {
    ListBuilder b;
    while (!s.empty()) {
        auto [cp, n] = decodeUtf8(s);
        b.pushChar(cp);
        s.remove_prefix(n);
    }
    return b.finish(Nil());
}

std::string toUtf8(Value chars) {
    Utf8Text out;
    walk(
        std::move(chars), [&](const Value& c) { out.put(charOf(force(c))); },
        [&](int64_t spaces, std::string_view latin1) {
            out.putSpaces(spaces);
            out.putLatin1(latin1);
        });
    return out.take();
}

std::vector<uint32_t> codePoints(Value chars) {
    std::vector<uint32_t> out;
    walk(
        std::move(chars), [&](const Value& c) { out.push_back(charOf(force(c))); },
        [&](int64_t spaces, std::string_view latin1) {
            out.insert(out.end(), static_cast<size_t>(spaces), ' ');
            for (char c : latin1) out.push_back(static_cast<unsigned char>(c));
        });
    return out;
}

Value fromValues(const std::vector<Value>& items) {
    ListBuilder b;
    for (const Value& x : items) b.push(x);
    return b.finish(Nil());
}

std::vector<Value> toValues(Value list) {
    std::vector<Value> out;
    forEach(std::move(list), [&](const Value& x) { out.push_back(x); });
    return out;
}

// ---------------------------------------------------------------------------------------------
// Lazy functions

Value map(Value f, Value xs) {
    const Value& c = force(xs);
    if (c->tag == Nil_tag) return Nil();
    Value y = rts::delay([f, x = hd(c)]() { return rts::apply(f, x); });
    Value rest = rts::delay([f, t = tl(c)]() { return map(f, t); });
    return Cons(std::move(y), std::move(rest));
}

Value op_plus_plus(Value xs, Value ys) {
    const Value& c0 = forceList(xs);
    if (c0->tag == Nil_tag) return ys;
    ListBuilder b;
    Value cur = xs;
    for (int k = 0;; ++k) {
        const Value& c = forceList(cur);
        if (c->tag == Nil_tag) return b.finish(std::move(ys));
        b.push(hd(c));
        Value next = tl(c);
        if (k >= kChunk || !rts::is_evaluated(next))
            return b.finish(rts::delay([next, ys]() { return op_plus_plus(next, ys); }));
        cur = std::move(next);
    }
}

Value foldr(Value k, Value z, Value xs) {
    const Value& c = force(xs);
    if (c->tag == Nil_tag) return z;
    Value rest = rts::delay([k, z, t = tl(c)]() { return foldr(k, z, t); });
    return rts::apply(k, hd(c), rest);
}

Value concat(Value xss) {
    // Skips empty members in a loop, so a long run of empty lists costs no stack.
    Value cur = std::move(xss);
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return Nil();
        const Value& first = force(hd(c));
        if (first->tag == Cons_tag) {
            Value rest = rts::delay([t = tl(c)]() { return concat(t); });
            return op_plus_plus(first, std::move(rest));
        }
        Value next = tl(c);
        cur = std::move(next);
    }
}

Value concatMap(Value f, Value xs) { return concat(map(std::move(f), std::move(xs))); }

Value replicate(int64_t n, Value x) {
    if (n <= 0) return Nil();
    Value rest = rts::delay([n, x]() { return replicate(n - 1, x); });
    return Cons(std::move(x), std::move(rest));
}

Value repeat(Value x) {
    Value rest = rts::delay([x]() { return repeat(x); });
    return Cons(std::move(x), std::move(rest));
}

Value iterate(Value f, Value x) {
    Value next = rts::delay([f, x]() { return rts::apply(f, x); });
    Value rest = rts::delay([f, next]() { return iterate(f, next); });
    return Cons(std::move(x), std::move(rest));
}

Value take(int64_t n, Value xs) {
    if (n <= 0) return Nil();
    const Value& c = force(xs);
    if (c->tag == Nil_tag) return Nil();
    Value rest = rts::delay([n, t = tl(c)]() { return take(n - 1, t); });
    return Cons(hd(c), std::move(rest));
}

Value filter(Value p, Value xs) {
    Value cur = std::move(xs);
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return Nil();
        if (isTrue(force(rts::apply(p, hd(c))))) {
            Value rest = rts::delay([p, t = tl(c)]() { return filter(p, t); });
            return Cons(hd(c), std::move(rest));
        }
        Value next = tl(c);
        cur = std::move(next);
    }
}

Value zipWith(Value f, Value xs, Value ys) {
    const Value& a = force(xs);
    if (a->tag == Nil_tag) return Nil();
    const Value& b = force(ys);
    if (b->tag == Nil_tag) return Nil();
    Value y = rts::delay([f, x = hd(a), z = hd(b)]() { return rts::apply(f, x, z); });
    Value rest = rts::delay([f, s = tl(a), t = tl(b)]() { return zipWith(f, s, t); });
    return Cons(std::move(y), std::move(rest));
}

Value zip(Value xs, Value ys) {
    const Value& a = force(xs);
    if (a->tag == Nil_tag) return Nil();
    const Value& b = force(ys);
    if (b->tag == Nil_tag) return Nil();
    Value rest = rts::delay([s = tl(a), t = tl(b)]() { return zip(s, t); });
    return Cons(VUX::Tuple::Tuple2(hd(a), hd(b)), std::move(rest));
}

namespace {
// The first line of s (up to, not including, a newline), produced on demand.
Value lineOf(Value s) {
    const Value& c = force(s);
    if (c->tag == Nil_tag) return Nil();
    const Value& ch = force(hd(c));
    if (charOf(ch) == '\n') return Nil();
    Value rest = rts::delay([t = tl(c)]() { return lineOf(t); });
    return Cons(hd(c), std::move(rest));
}
// What follows the first newline of s, or null when s has none.
Value afterLine(Value s) {
    Value cur = std::move(s);
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return Value();
        if (charOf(force(hd(c))) == '\n') return tl(c);
        Value next = tl(c);
        cur = std::move(next);
    }
}
}  // namespace

Value lines(Value s) {
    const Value& c = force(s);
    if (c->tag == Nil_tag) return Nil();
    Value line = rts::delay([s]() { return lineOf(s); });
    Value rest = rts::delay([s]() -> Value {
        Value after = afterLine(s);
        if (!after) return Nil();
        return lines(after);
    });
    return Cons(std::move(line), std::move(rest));
}

Value unlines(Value ls) {
    const Value& c = force(ls);
    if (c->tag == Nil_tag) return Nil();
    Value rest = rts::delay([t = tl(c)]() { return Cons(boxChar('\n'), unlines(t)); });
    return op_plus_plus(hd(c), std::move(rest));
}

Value intercalate(Value sep, Value xss) {
    const Value& c = force(xss);
    if (c->tag == Nil_tag) return Nil();
    Value rest = rts::delay([sep, t = tl(c)]() -> Value {
        const Value& r = force(t);
        if (r->tag == Nil_tag) return Nil();
        return op_plus_plus(sep, intercalate(sep, t));
    });
    return op_plus_plus(hd(c), std::move(rest));
}

// ---------------------------------------------------------------------------------------------
// Strict walks

Value drop(int64_t n, Value xs) {
    Value cur = std::move(xs);
    for (; n > 0; --n) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return Nil();
        Value next = tl(c);
        cur = std::move(next);
    }
    return cur;
}

int64_t length(const Value& xs) {
    int64_t n = 0;
    const Value* cur = &force(xs);
    Value hold;  // keeps the current cell alive while walking
    while ((*cur)->tag == Cons_tag) {
        ++n;
        Value next = tl(*cur);
        hold = std::move(next);
        cur = &force(hold);
    }
    return n;
}

Value reverse(const Value& xs) {
    Value acc = Nil();
    Value cur = xs;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return acc;
        acc = Cons(hd(c), std::move(acc));
        Value next = tl(c);
        cur = std::move(next);
    }
}

bool null(const Value& xs) { return force(xs)->tag == Nil_tag; }

namespace {
RTS_CONSTANT(lastErrorSite) {
    return Stack::srcLoc(
        {"vux-internal", "VUX.Internal.List", "platform/vux-internal/VUX/Internal/List", 1646, 29, 1646, 38});
}
}  // namespace

void lastError(const Value& callStack) {
    Err::errorWithCallStack(fromBytes("Prelude.last: empty list"), callStack);
}

Value last(const Value& xs, const Value& callStack) {
    const Value& c0 = force(xs);
    if (c0->tag == Nil_tag)
        lastError(Stack::pushCallStack(fromBytes("lastError"), lastErrorSite.get(), callStack));
    Value cur = c0;
    for (;;) {
        Value next = tl(force(cur));
        if (force(next)->tag == Nil_tag) return hd(force(cur));
        cur = std::move(next);
    }
}

bool eqString(const Value& a, const Value& b) {
    Value x = a, y = b;
    for (;;) {
        const Value& c = force(x);
        const Value& d = force(y);
        if (c->tag != d->tag) return false;
        if (c->tag == Nil_tag) return true;
        if (charOf(force(hd(c))) != charOf(force(hd(d)))) return false;
        Value nx = tl(c), ny = tl(d);
        x = std::move(nx);
        y = std::move(ny);
    }
}

bool and_(const Value& bools) {
    Value cur = bools;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return true;
        if (!isTrue(force(hd(c)))) return false;
        Value next = tl(c);
        cur = std::move(next);
    }
}

bool or_(const Value& bools) {
    Value cur = bools;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return false;
        if (isTrue(force(hd(c)))) return true;
        Value next = tl(c);
        cur = std::move(next);
    }
}

bool elemChar(uint32_t ch, const Value& chars) {
    Value cur = chars;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return false;
        if (charOf(force(hd(c))) == ch) return true;
        Value next = tl(c);
        cur = std::move(next);
    }
}

Value foldl_prime(const Value& k, Value z, const Value& xs) {
    Value acc = std::move(z);
    Value cur = xs;
    for (;;) {
        const Value& c = force(cur);
        if (c->tag == Nil_tag) return acc;
        Value r = rts::apply(k, acc, hd(c));
        acc = force(r);
        Value next = tl(c);
        cur = std::move(next);
    }
}

// ---------------------------------------------------------------------------------------------
// Closures

namespace {
Value map_fn(const Value& f, const Value& xs) { return map(f, xs); }
Value append_fn(const Value& xs, const Value& ys) { return op_plus_plus(xs, ys); }
Value foldr_fn(const Value& k, const Value& z, const Value& xs) { return foldr(k, z, xs); }
Value concat_fn(const Value& xss) { return concat(xss); }
Value length_fn(const Value& xs) { return I_hash(length(xs)); }
Value reverse_fn(const Value& xs) { return reverse(xs); }
Value eqString_fn(const Value& a, const Value& b) { return fromBool(eqString(a, b)); }
Value lines_fn(const Value& s) { return lines(s); }
}  // namespace

constinit const rts::StaticFun map_closure{rts::static_fun_info<&map_fn>};
constinit const rts::StaticFun op_plus_plus_closure{rts::static_fun_info<&append_fn>};
constinit const rts::StaticFun foldr_closure{rts::static_fun_info<&foldr_fn>};
constinit const rts::StaticFun concat_closure{rts::static_fun_info<&concat_fn>};
constinit const rts::StaticFun length_closure{rts::static_fun_info<&length_fn>};
constinit const rts::StaticFun reverse_closure{rts::static_fun_info<&reverse_fn>};
constinit const rts::StaticFun eqString_closure{rts::static_fun_info<&eqString_fn>};
constinit const rts::StaticFun lines_closure{rts::static_fun_info<&lines_fn>};

}  // namespace VUX::Internal::List
