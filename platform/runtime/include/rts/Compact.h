// Compact regions: immutable values copied into blocks of their own.
//
// A region is a chain of blocks that never move. An object inside a region is never retained,
// released, freed or changed by itself: its count holds the region's mark (kCompactCount, see
// rts/Object.h) with its offset in its block, and retaining or releasing it counts on the region.
// So any reference into a region keeps the whole region, and the region, all its blocks at once,
// is freed when the last reference to it or to anything in it goes (its region object `Compact#`
// counts as one).
//
// Block layout (the exported bytes of a block): a BlockHeader, then objects one after the other,
// each 16-byte aligned, and at the block's end a bitmap of where objects start (one bit per 16
// bytes). Only constructors and immutable byte arrays are held; their headers hold numbers only
// (the count holds the object's offset in its block), and their references point to objects of
// the same region, so the bytes mean the same in another process once compactFixupPointers_hash
// has moved the references to the new blocks. Import checks everything it reads: the headers, a
// checksum of each block's objects, that the recorded starts are exactly the objects, that each
// object is well formed and carries the mark of its own offset, and that each reference points at
// the start of an object of the region.
#pragma once

#include <cstdint>
#include <utility>

#include "rts/Exception.h"
#include "rts/Object.h"

namespace rts {

inline constexpr uint64_t kCompactMagic = 0x32544D50434D5856;  // "VXMCPMT2"

struct CompactBlockHeader {
    uint64_t magic;
    uint64_t self;      // the block's address where the region was built; references are relative to it
    uint64_t size;      // bytes of the block, this header included
    uint64_t used;      // bytes holding the header and objects
    uint64_t index;     // position in the region's block chain, from 0
    uint64_t checksum;  // of the bytes after the header up to `used`, set by the block walk
};
static_assert(sizeof(CompactBlockHeader) == 48);

// `compactNew#`: a new region whose blocks hold at least `block_size` bytes.
Value compactNew_hash(uint64_t block_size);
// `compactAdd#`: evaluates the value completely and copies it into the region; returns the copy.
// A value already in the region is returned as it is. Refuses functions, mutable objects, weak
// references and thread identities by raising RtsError::CompactionFailed. Values shared in the
// source are copied once per reference; a cyclic value never ends.
Value compactAdd_hash(const Value& region, const Value& value);
// `compactAddWithSharing#`: the same, copying each object once, so sharing and cycles are kept.
Value compactAddWithSharing_hash(const Value& region, const Value& value);
// `compactContains#`, `compactContainsAny#`: 1 when the value lies in that (any) region, else 0.
int64_t compactContains_hash(const Value& region, const Value& value);
int64_t compactContainsAny_hash(const Value& value);
// `compactSize#`: the bytes of all blocks of the region.
uint64_t compactSize_hash(const Value& region);
// `compactResize#`: the block size for blocks allocated from now on. A block holds at most 2^35
// bytes; an object larger than that raises RtsError::HeapOverflow.
void compactResize_hash(const Value& region, uint64_t block_size);
// `compactGetFirstBlock#`, `compactGetNextBlock#`: the block walk for export, (address, size);
// the address is null after the last block. The walk sets each block's checksum.
std::pair<void*, uint64_t> compactGetFirstBlock_hash(const Value& region);
std::pair<void*, uint64_t> compactGetNextBlock_hash(const Value& region, void* block);
// `compactAllocateBlock#`: a new block of `size` bytes for an import, chained after `previous`
// (null for the first). The caller fills each block before it asks for the next one (or for the
// fix-up, after the last) and does not write to it afterwards: the block is checked and fixed as
// the next one is allocated, while its bytes are still in the cache. A size too large to allocate
// raises RtsError::HeapOverflow; one too small for a block header fails the fix-up.
void* compactAllocateBlock_hash(uint64_t size, void* previous);
// `compactFixupPointers#`: finishes the checks of the filled blocks chained from `first` and
// moves their references to the new blocks. Returns the region and the root adjusted to it (not
// counted: the caller takes its own reference), or (null, null) when the bytes are damaged or
// foreign (the blocks are then given back).
std::pair<Value, Object*> compactFixupPointers_hash(void* first, uint64_t root);

// The checksum that the block walk records for a block whose header and objects are at `block`.
uint64_t compact_block_checksum(const CompactBlockHeader* block);

// The bytes of all blocks of the regions (and imports) alive in the process.
uint64_t compact_live_bytes();

}  // namespace rts
