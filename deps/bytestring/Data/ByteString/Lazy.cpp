#include "Data/ByteString/Lazy.h"

#include "Data/ByteString.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Show.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace Data::ByteString::Lazy {

namespace BS = Data::ByteString;
using VUX::Types::Nil;
using VUX::Types::Nil_tag;

namespace {
constinit const rts::StaticNullary Empty_closure{Empty_tag};

// Follows the chunks of a lazy byte string: each step evaluates the next cell.
class ChunkCursor {
  public:
    explicit ChunkCursor(const Value& lbs) : cur_(lbs) {}
    // The next chunk's bytes, or false at the end. The view lives until the next call.
    bool next(std::string_view& bytes) {
        const Value& cell = rts::force(cur_);
        if (cell->tag == Empty_tag) return false;
        held_ = rts::field(cell, 0);
        Value rest = rts::field(cell, 1);
        cur_ = std::move(rest);
        bytes = BS::view(held_);
        return true;
    }

  private:
    Value cur_, held_;
};
}  // namespace

Value Empty() { return Empty_closure.value(); }

Value chunk(const Value& strict, Value rest) {
    const Value& c = rts::force(strict);
    if (BS::null(c)) return rest;
    return rts::con(Chunk_tag, Value(c), std::move(rest));
}

std::string toStdString(const Value& lbs) {
    std::string out;
    ChunkCursor chunks(lbs);
    for (std::string_view bytes; chunks.next(bytes);) out.append(bytes);
    return out;
}

Value fromBytes(std::string_view bytes) { return chunk(BS::fromBytes(bytes), Empty()); }
Value empty() { return Empty(); }
Value fromStrict(const Value& bs) { return chunk(bs, Empty()); }
Value toStrict(const Value& lbs) { return BS::fromBytes(toStdString(lbs)); }

Value fromChunks(Value strictList) {
    return rts::delay([strictList = std::move(strictList)]() -> Value {
        Value cur = strictList;
        for (;;) {  // skips empty chunks in a loop
            const Value& cell = rts::force(cur);
            if (cell->tag == Nil_tag) return Empty();
            if (!BS::null(rts::field(cell, 0)))
                return chunk(rts::field(cell, 0), fromChunks(rts::field(cell, 1)));
            Value next = rts::field(cell, 1);
            cur = std::move(next);
        }
    });
}

Value toChunks(Value lbs) {
    return rts::delay([lbs = std::move(lbs)]() -> Value {
        const Value& cell = rts::force(lbs);
        if (cell->tag == Empty_tag) return Nil();
        return VUX::Types::Cons(rts::field(cell, 0), toChunks(rts::field(cell, 1)));
    });
}

Value pack(Value word8s) {
    return rts::delay([word8s = std::move(word8s)]() -> Value {
        std::string bytes;
        Value cur = word8s;
        while (bytes.size() < kPackChunk) {
            const Value& cell = rts::force(cur);
            if (cell->tag == Nil_tag) return fromBytes(bytes);
            bytes.push_back(static_cast<char>(BS::word8Of(rts::force(rts::field(cell, 0)))));
            Value next = rts::field(cell, 1);
            cur = std::move(next);
        }
        return chunk(BS::fromBytes(bytes), pack(std::move(cur)));
    });
}

Value unpack(Value lbs) {
    return rts::delay([lbs = std::move(lbs)]() -> Value {
        const Value& cell = rts::force(lbs);
        if (cell->tag == Empty_tag) return Nil();
        Value rest = rts::field(cell, 1);
        return VUX::Internal::List::op_plus_plus(BS::unpack(rts::field(cell, 0)), unpack(std::move(rest)));
    });
}

int64_t length(const Value& lbs) {
    int64_t n = 0;
    ChunkCursor chunks(lbs);
    for (std::string_view bytes; chunks.next(bytes);) n += static_cast<int64_t>(bytes.size());
    return n;
}

bool null(const Value& lbs) { return rts::force(lbs)->tag == Empty_tag; }

uint8_t index(const Value& lbs, int64_t i) {
    if (i < 0)
        VUX::Internal::Err::errorWithoutStackTrace(VUX::Internal::List::fromBytes(
            "Data.ByteString.Lazy.index: negative index: " + std::to_string(i)));
    int64_t left = i;
    ChunkCursor chunks(lbs);
    for (std::string_view bytes; chunks.next(bytes);) {
        if (static_cast<uint64_t>(left) < bytes.size())
            return static_cast<uint8_t>(bytes[static_cast<size_t>(left)]);
        left -= static_cast<int64_t>(bytes.size());
    }
    VUX::Internal::Err::errorWithoutStackTrace(
        VUX::Internal::List::fromBytes("Data.ByteString.Lazy.index: index too large: " + std::to_string(i) +
                                       ", length = " + std::to_string(i - left)));
}

Value append(Value a, Value b) {
    return rts::delay([a = std::move(a), b = std::move(b)]() -> Value {
        const Value& cell = rts::force(a);
        if (cell->tag == Empty_tag) return b;
        return rts::con(Chunk_tag, rts::field(cell, 0), append(rts::field(cell, 1), b));
    });
}

Value concat(Value lbss) {
    return rts::delay([lbss = std::move(lbss)]() -> Value {
        Value cur = lbss;
        for (;;) {  // empty elements are skipped in a loop, so a long run of them costs no stack
            const Value& cell = rts::force(cur);
            if (cell->tag == Nil_tag) return Empty();
            if (!null(rts::field(cell, 0))) return append(rts::field(cell, 0), concat(rts::field(cell, 1)));
            Value next = rts::field(cell, 1);
            cur = std::move(next);
        }
    });
}

namespace {
// The rest of the handle's input, one chunk per demand.
Value readChunks(Value h) {
    return rts::delay([h = std::move(h)]() -> Value {
        Value c = BS::hGetNow(h, static_cast<int64_t>(kReadChunk), true);
        if (BS::null(c)) {
            VUX::Internal::IO::runIO(VUX::Internal::Handle::hClose(h));
            return Empty();
        }
        return chunk(c, readChunks(h));
    });
}
}  // namespace

Value hGetContents(Value h) {
    return VUX::Internal::IO::io([h = std::move(h)] { return readChunks(h); });
}

Value hGet(Value h, Value n) {
    return VUX::Internal::IO::io([h = std::move(h), n = std::move(n)] {
        return fromStrict(BS::hGetNow(h, VUX::Types::intOf(rts::force(n)), false));
    });
}

Value hPut(Value h, Value lbs) {
    return VUX::Internal::IO::io([h = std::move(h), lbs = std::move(lbs)]() -> Value {
        Value cur = lbs;
        for (;;) {
            const Value& cell = rts::force(cur);
            if (cell->tag == Empty_tag) return VUX::Tuple::Unit();
            BS::hPutNow(h, rts::field(cell, 0));
            Value next = rts::field(cell, 1);
            cur = std::move(next);
        }
    });
}

int compareLazyByteString(const Value& a, const Value& b) {
    ChunkCursor xs(a), ys(b);
    std::string_view x, y;
    bool hasX = xs.next(x), hasY = ys.next(y);
    for (;;) {
        if (!hasX || !hasY) return hasX ? 1 : hasY ? -1 : 0;
        size_t n = x.size() < y.size() ? x.size() : y.size();
        if (int c = BS::compareBytes(x.substr(0, n), y.substr(0, n)); c != 0) return c;
        x.remove_prefix(n);
        y.remove_prefix(n);
        if (x.empty()) hasX = xs.next(x);
        if (y.empty()) hasY = ys.next(y);
    }
}

namespace {
// One character per byte, chunk by chunk.
Value unpackChars(Value lbs) {
    return rts::delay([lbs = std::move(lbs)]() -> Value {
        const Value& cell = rts::force(lbs);
        if (cell->tag == Empty_tag) return Nil();
        return VUX::Internal::List::prependBytes(BS::view(rts::field(cell, 0)),
                                                 unpackChars(rts::field(cell, 1)));
    });
}
Value showsLazy(int64_t, const Value& lbs, Value s) {
    return VUX::Internal::Show::showStringLiteral(unpackChars(lbs), std::move(s));
}
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_LazyByteString_closure =
    VUX::Internal::OrdRecord::eqRecord<&compareLazyByteString>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_LazyByteString_closure =
    VUX::Internal::OrdRecord::ordRecord<&inst_Eq_LazyByteString_closure, &compareLazyByteString>();
constinit const VUX::Record::Static<VUX::Internal::Show::C_Show_class> inst_Show_LazyByteString_closure{
    VUX::Record::fn<&VUX::Internal::Show::showsPrecWith<&showsLazy>>,
    VUX::Record::fn<&VUX::Internal::Show::default_show, &inst_Show_LazyByteString_closure>,
    VUX::Record::fn<&VUX::Internal::Show::default_showList, &inst_Show_LazyByteString_closure>};

}  // namespace Data::ByteString::Lazy
