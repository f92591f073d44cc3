// Module VUX.Compact: handles on compact regions.
//
//   data Compact a = Compact Compact# a (MVar# RealWorld ())
//
// A handle holds the region, the value most recently added (the root, lazy) and a lock: a
// mailbox holding () between operations. Adding, measuring, resizing and exporting a region take
// the lock; making a region, reading the root and the membership tests do not. Every operation
// but getCompact builds an IO action; nothing happens until it runs.
#pragma once

#include <cstdint>
#include <functional>

#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Compact {

using rts::Value;

extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcCompact;

// The handle. Building one evaluates the lock field (the mailbox itself).
inline constexpr uint8_t Compact_tag = 0;
Value Compact(Value region, Value root, Value lock);

// `compact v`, `compactWithSharing v`: a new region (blocks of 31268 bytes) holding a copy of v,
// without (with) its sharing kept.
Value compact(Value v);
Value compactWithSharing(Value v);
// `compactSized size share v`: the same with the given block size (a boxed Int, its 64 bits taken
// as unsigned) and sharing flag.
Value compactSized(Value size, Value share, Value v);
// `getCompact c`: the root, evaluated (pure).
Value getCompact(const Value& c);
// `compactAdd c v`, `compactAddWithSharing c v`: a handle on the same region and lock whose root
// is the copy of v. Values a region cannot hold (functions, mutable objects, weak references,
// thread identities) raise ErrorCall "compaction failed: ...", and the handle stays usable.
Value compactAdd(Value c, Value v);
Value compactAddWithSharing(Value c, Value v);
// `inCompact c v`: whether v (evaluated first) lies in c's region; `isCompact v`: in any region.
Value inCompact(Value c, Value v);
Value isCompact(Value v);
// `compactSize c`: the bytes of the region's blocks, a boxed Word.
Value compactSize(Value c);
// `compactResize c size`: the size (a boxed Word) of blocks allocated from now on; yields ().
Value compactResize(Value c, Value size);
// `mkCompact region root`: a handle with a fresh lock (an action).
Value mkCompact(Value region, Value root);

// C++ access for VUX.Compact.Serialized.
inline const Value& regionOf(const Value& c) { return rts::field(c, 0); }
inline const Value& rootOf(const Value& c) { return rts::field(c, 1); }
inline const Value& lockOf(const Value& c) { return rts::field(c, 2); }
// Runs `body` holding the lock: an unmasked caller is masked (interruptibly) while it takes and
// puts back the lock and runs the body unmasked; a masked caller keeps its state throughout. The
// lock is put back however the body ends.
Value withLock(const Value& lock, const std::function<Value()>& body);
// A fresh lock holding ().
Value newLock();

}  // namespace VUX::Compact
