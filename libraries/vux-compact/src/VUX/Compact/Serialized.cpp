#include "VUX/Compact/Serialized.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Data/ByteString.h"
#include "VUX/Compact.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Tuple.h"
#include "rts/Bytes.h"
#include "rts/Compact.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Compact.Serialized");

namespace VUX::Compact::Serialized {

using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;
using VUX::Internal::Maybe::Just;
using VUX::Internal::Maybe::Nothing;
using VUX::Types::Cons_tag;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Compact.Serialized");
VUX_DEFINE_TYCON(tcSerializedCompact, trModule, "SerializedCompact", 0, VUX::Types::kindTypeToType);

namespace {

constexpr const char* kFillerFailure =
    "Pattern match failure in 'do' block at libraries/vux-compact/VUX/Compact/Serialized:197:11-21";

// The region's blocks as a list of (Ptr, Word), in chain order.
Value mkBlockList(const Value& region) {
    std::vector<std::pair<void*, uint64_t>> blocks;
    for (auto b = rts::compactGetFirstBlock_hash(region); b.first != nullptr;
         b = rts::compactGetNextBlock_hash(region, b.first))
        blocks.push_back(b);
    Value list = VUX::Types::Nil();
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        list = VUX::Types::Cons(VUX::Tuple::Tuple2(Ptr(it->first), VUX::Types::W_hash(it->second)),
                                std::move(list));
    return list;
}

void fillBlock(const Value& fill, void* block, uint64_t size) {
    runIO(rts::apply(fill, Ptr(block), VUX::Types::W_hash(size)));
}

// Both lists have the same length and each byte string the size of its block.
bool sanityCheckByteStrings(const Value& blocks, const Value& bss) {
    const Value* b = &rts::force(blocks);
    const Value* s = &rts::force(bss);
    while ((*b)->tag == Cons_tag && (*s)->tag == Cons_tag) {
        const uint64_t size = rts::word(rts::force(rts::field(rts::force(rts::field(*b, 0)), 1)), 0);
        if (size != Data::ByteString::view(rts::field(*s, 0)).size()) return false;
        b = &rts::force(rts::field(*b, 1));
        s = &rts::force(rts::field(*s, 1));
    }
    return (*b)->tag != Cons_tag && (*s)->tag != Cons_tag;
}

Value importBlocks(const Value& blocks, const Value& root, const Value& fill) {
    const Value* list = &rts::force(blocks);
    if ((*list)->tag != Cons_tag) return Nothing();
    const uint64_t rootAddress = addressOf(root);
    void* first = nullptr;
    void* previous = nullptr;
    for (; (*list)->tag == Cons_tag; list = &rts::force(rts::field(*list, 1))) {
        const uint64_t size = rts::word(rts::force(rts::field(rts::force(rts::field(*list, 0)), 1)), 0);
        void* block = rts::compactAllocateBlock_hash(size, previous);
        if (first == nullptr) first = block;
        previous = block;
        fillBlock(fill, block, size);
    }
    auto [region, newRoot] = rts::compactFixupPointers_hash(first, rootAddress);
    if (newRoot == nullptr) return Nothing();
    return Just(Compact(std::move(region), Value::share(newRoot), newLock()));
}

// The fill function of importCompactByteStrings: copies the next byte string of `rest`.
Value filler(Value rest) {
    return rts::fun<2>([rest = std::move(rest)](const Value& ptr, const Value& size) {
        return io([rest, ptr, size] {
            const Value& list = rts::force(rts::read_mut_var(rest));
            if (list->tag != Cons_tag)
                VUX::Internal::IOError::throwIOError(
                    VUX::Internal::IOError::userError(VUX::Internal::List::fromBytes(kFillerFailure)));
            const Value& bs = rts::force(rts::field(list, 0));
            const uint64_t n = rts::word(rts::force(size), 0);
            const std::string_view bytes = Data::ByteString::view(bs);
            std::memcpy(reinterpret_cast<void*>(addressOf(ptr)), bytes.data(),
                        std::min<uint64_t>(n, bytes.size()));
            rts::write_mut_var(rest, rts::field(list, 1));
            return VUX::Tuple::Unit();
        });
    });
}

}  // namespace

Value serializedCompactBlockList(const Value& s) { return rts::field(rts::force(s), 0); }
Value serializedCompactRoot(const Value& s) { return rts::field(rts::force(s), 1); }

Value withSerializedCompact(Value c, Value f) {
    return io([c = std::move(c), f = std::move(f)] {
        VUX_SCC("withSerializedCompact");
        const Value& h = rts::force(c);
        // `h` holds the region for as long as the caller's action runs.
        return withLock(lockOf(h), [&] {
            Value record = SerializedCompact(mkBlockList(regionOf(h)), Ptr(rootOf(h).get()));
            return runIO(rts::apply(f, record));
        });
    });
}

Value importCompact(Value s, Value fill) {
    return io([s = std::move(s), fill = std::move(fill)] {
        VUX_SCC("importCompact");
        const Value& record = rts::force(s);
        return importBlocks(rts::field(record, 0), rts::field(record, 1), fill);
    });
}

Value importCompactByteStrings(Value s, Value bss) {
    return io([s = std::move(s), bss = std::move(bss)] {
        VUX_SCC("importCompactByteStrings");
        const Value& record = rts::force(s);
        if (!sanityCheckByteStrings(rts::field(record, 0), bss)) return Nothing();
        return importBlocks(rts::field(record, 0), rts::field(record, 1), filler(rts::new_mut_var(bss)));
    });
}

}  // namespace VUX::Compact::Serialized
