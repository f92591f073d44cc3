// Coverage counters of the running program.
//
// Every instrumented module owns one record and one array of `tickCount` 64-bit counters, both in
// storage that lives and stays in place for the rest of the run (static storage, normally). The
// module registers its record once, before or while it runs; the runtime links the records in
// registration order and `hs_cover_rootModule` answers the first (null when there is none).
// Instrumented code counts with `hs_cover_tick`; every access to a counter is a relaxed atomic
// one, so counts taken while other threads count are not consistent across counters.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace rts::cover {

// The record of one module. The layout is fixed: readers walk it by offset.
struct ModuleRecord {
    const char* name;              // zero-terminated, in the foreign (UTF-8) encoding
    uint32_t tickCount;            // number of counters
    uint32_t hash;                 // hash of the module's coverage information
    uint64_t* counters;            // tickCount counters
    void* reserved = nullptr;      // unused
    ModuleRecord* next = nullptr;  // set by registration
};
static_assert(offsetof(ModuleRecord, tickCount) == 8 && offsetof(ModuleRecord, hash) == 12 &&
              offsetof(ModuleRecord, counters) == 16 && offsetof(ModuleRecord, next) == 32);

// The record after `record` in the list, or null; safe while another thread registers.
inline ModuleRecord* nextOf(ModuleRecord* record) {
    return std::atomic_ref<ModuleRecord*>(record->next).load(std::memory_order_acquire);
}

// Relaxed atomic access to one counter.
inline uint64_t load(const uint64_t* counter) {
    return std::atomic_ref<uint64_t>(*const_cast<uint64_t*>(counter)).load(std::memory_order_relaxed);
}
inline void store(uint64_t* counter, uint64_t value) {
    std::atomic_ref<uint64_t>(*counter).store(value, std::memory_order_relaxed);
}

}  // namespace rts::cover

extern "C" {
// Appends a record to the list; its `next` is overwritten. A record is registered at most once.
void hs_cover_registerModule(rts::cover::ModuleRecord* record);
// The first registered record, or null.
rts::cover::ModuleRecord* hs_cover_rootModule();
}

// Counts one pass over coverage point `index` of a module.
inline void hs_cover_tick(uint64_t* counters, uint32_t index) {
    std::atomic_ref<uint64_t>(counters[index]).fetch_add(1, std::memory_order_relaxed);
}
