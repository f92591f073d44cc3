#include "VUX/Compact.h"

#include "VUX/Internal/IO.h"
#include "VUX/Tuple.h"
#include "rts/Compact.h"
#include "rts/MVar.h"
#include "rts/Mask.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Compact");

namespace VUX::Compact {

using VUX::Internal::IO::io;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Compact");
VUX_DEFINE_TYCON(tcCompact, trModule, "Compact", 0, VUX::Types::kindTypeToType);

namespace {

constexpr uint64_t kDefaultBlockSize = 31268;

Value addTo(const Value& region, const Value& v, bool sharing) {
    return sharing ? rts::compactAddWithSharing_hash(region, v) : rts::compactAdd_hash(region, v);
}

// A new region of `size`-byte blocks holding v; its lock is made after the copy.
Value newRegion(uint64_t size, bool sharing, const Value& v) {
    Value region = rts::compactNew_hash(size);
    Value root = addTo(region, v, sharing);
    return Compact(std::move(region), std::move(root), newLock());
}

Value addLocked(Value c, Value v, bool sharing) {
    return io([c = std::move(c), v = std::move(v), sharing] {
        const Value& h = rts::force(c);
        Value root = withLock(lockOf(h), [&] { return addTo(regionOf(h), v, sharing); });
        return Compact(regionOf(h), std::move(root), lockOf(h));
    });
}

}  // namespace

Value Compact(Value region, Value root, Value lock) {
    Value mailbox = rts::force(std::move(lock));
    return rts::con(Compact_tag, std::move(region), std::move(root), std::move(mailbox));
}

Value newLock() {
    Value lock = rts::newMVar_hash();
    rts::putMVar_hash(lock, VUX::Tuple::Unit());
    return lock;
}

Value withLock(const Value& lock, const std::function<Value()>& body) {
    const rts::MaskingState outer = rts::masking_state();
    auto locked = [&] {
        Value taken = rts::takeMVar_hash(lock);
        Value result;
        try {
            result = rts::with_masking_state(outer, body);
        } catch (...) {
            rts::putMVar_hash(lock, std::move(taken));
            throw;
        }
        rts::putMVar_hash(lock, std::move(taken));
        return result;
    };
    if (outer != rts::MaskingState::Unmasked) return locked();
    return rts::with_masking_state(rts::MaskingState::MaskedInterruptible, locked);
}

Value compact(Value v) {
    return io([v = std::move(v)] {
        VUX_SCC("compact");
        return newRegion(kDefaultBlockSize, false, v);
    });
}

Value compactWithSharing(Value v) {
    return io([v = std::move(v)] {
        VUX_SCC("compactWithSharing");
        return newRegion(kDefaultBlockSize, true, v);
    });
}

Value compactSized(Value size, Value share, Value v) {
    return io([size = std::move(size), share = std::move(share), v = std::move(v)] {
        VUX_SCC("compactSized");
        const uint64_t n = rts::word(rts::force(size), 0);
        return newRegion(n, VUX::Types::isTrue(rts::force(share)), v);
    });
}

Value getCompact(const Value& c) {
    VUX_SCC("getCompact");
    return rts::force(rootOf(rts::force(c)));
}

Value compactAdd(Value c, Value v) {
    VUX_SCC("compactAdd");
    return addLocked(std::move(c), std::move(v), false);
}

Value compactAddWithSharing(Value c, Value v) {
    VUX_SCC("compactAddWithSharing");
    return addLocked(std::move(c), std::move(v), true);
}

Value inCompact(Value c, Value v) {
    return io([c = std::move(c), v = std::move(v)] {
        VUX_SCC("inCompact");
        const Value& h = rts::force(c);
        return VUX::Types::fromBool(rts::compactContains_hash(regionOf(h), rts::force(v)) != 0);
    });
}

Value isCompact(Value v) {
    return io([v = std::move(v)] {
        VUX_SCC("isCompact");
        return VUX::Types::fromBool(rts::compactContainsAny_hash(rts::force(v)) != 0);
    });
}

Value compactSize(Value c) {
    return io([c = std::move(c)] {
        VUX_SCC("compactSize");
        const Value& h = rts::force(c);
        return withLock(lockOf(h), [&] { return VUX::Types::W_hash(rts::compactSize_hash(regionOf(h))); });
    });
}

Value compactResize(Value c, Value size) {
    return io([c = std::move(c), size = std::move(size)] {
        VUX_SCC("compactResize");
        const Value& h = rts::force(c);
        const uint64_t n = rts::word(rts::force(size), 0);
        return withLock(lockOf(h), [&] {
            rts::compactResize_hash(regionOf(h), n);
            return VUX::Tuple::Unit();
        });
    });
}

Value mkCompact(Value region, Value root) {
    return io([region = std::move(region), root = std::move(root)] {
        VUX_SCC("mkCompact");
        return Compact(region, root, newLock());
    });
}

}  // namespace VUX::Compact
