#include "rts/Cover.h"

#include <mutex>

namespace {
std::mutex registration;
std::atomic<rts::cover::ModuleRecord*> head{nullptr};
rts::cover::ModuleRecord* tail = nullptr;  // guarded by `registration`
}  // namespace

extern "C" void hs_cover_registerModule(rts::cover::ModuleRecord* record) {
    std::lock_guard<std::mutex> lock(registration);
    record->next = nullptr;
    if (tail)
        std::atomic_ref<rts::cover::ModuleRecord*>(tail->next).store(record, std::memory_order_release);
    else
        head.store(record, std::memory_order_release);
    tail = record;
}

extern "C" rts::cover::ModuleRecord* hs_cover_rootModule() { return head.load(std::memory_order_acquire); }
