// The cost-centre registry: registration, memoised stacks, the user era and the report.
//
// Centres and stacks are never freed: the registry, the stacks it makes and the memoised edges live
// for the whole run (profiling libraries are never unloaded, so the static centres do too). One
// mutex guards registration and the making of new stacks; looking up a memoised push, counting
// entries and charging allocation take no lock.
#include "rts/Profiling.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

extern "C" {

CostCentre CC_MAIN[1] = {{"MAIN", "MAIN", "<built-in>", 0, 0, 0}};
CostCentre CC_DONT_CARE[1] = {{"DONT_CARE", "MAIN", "<built-in>", 0, 0, 0}};
constinit CostCentreStack CCS_MAIN[1] = {CostCentreStack(CC_MAIN, nullptr)};
constinit CostCentreStack CCS_DONT_CARE[1] = {CostCentreStack(CC_DONT_CARE, nullptr)};

unsigned int era = 1;
uint64_t user_era = 0;

}  // extern "C"

namespace rts {

constinit thread_local AllocCounters* tls_ccs_alloc __attribute__((tls_model("initial-exec"))) = nullptr;
AllocCounters* const main_ccs_alloc = CCS_MAIN;

namespace prof {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<CostCentre*> centres;      // id - 1 indexes this
    std::vector<CostCentreStack*> stacks;  // every stack, registered or made by a push; id - 1
    std::vector<Registration> lists;       // every registration call, in order
    bool report_at_exit = false;

    Registry() {
        add_centre(CC_MAIN);
        add_centre(CC_DONT_CARE);
        add_stack(CCS_MAIN);
        add_stack(CCS_DONT_CARE);
    }
    void add_centre(CostCentre* cc) {
        if (cc->id != 0) return;
        centres.push_back(cc);
        cc->id = static_cast<uint32_t>(centres.size());
    }
    void add_stack(CostCentreStack* ccs) {
        if (ccs->id != 0) return;
        stacks.push_back(ccs);
        ccs->id = static_cast<uint32_t>(stacks.size());
        add_centre(ccs->cc);
    }
};

Registry& registry() {
    static Registry* r = new Registry();  // never destroyed: reports are written at exit
    return *r;
}

void report_at_exit() {
    const char* path = std::getenv("VUX_PROF_REPORT");
    if (path != nullptr && *path != '\0') write_report(path);
}

// Called with the lock held, by every registration.
void arrange_report_at_exit(Registry& r) {
    if (r.report_at_exit) return;
    r.report_at_exit = true;
    std::atexit(&report_at_exit);
}

// The nearest stack on `ccs` (itself included) whose top is `cc`, or null.
CostCentreStack* find_on_stack(CostCentreStack* ccs, const CostCentre* cc) {
    for (; ccs != nullptr; ccs = ccs->prev)
        if (ccs->cc == cc) return ccs;
    return nullptr;
}

CostCentreStack* memoised(CostCentreStack* ccs, const CostCentre* cc) {
    for (CcsEdge* e = ccs->children.load(std::memory_order_acquire); e != nullptr; e = e->next)
        if (e->cc == cc) return e->to;
    return nullptr;
}

CostCentreStack* main_if_unset(CostCentreStack* ccs) {
    return (ccs == nullptr || ccs == CCS_DONT_CARE) ? CCS_MAIN : ccs;
}

std::string base_name(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

}  // namespace

}  // namespace prof
}  // namespace rts

using rts::prof::Registration;
using rts::prof::registry;

extern "C" {

void registerCcList(CostCentre** cc_list) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    Registration reg{rts::prof::ListKind::CostCentres, "", {}};
    for (CostCentre** p = cc_list; *p != nullptr; ++p) {
        CostCentre* cc = *p;
        r.add_centre(cc);
        if (reg.labels.empty()) reg.module = cc->module;
        reg.labels.emplace_back(cc->label);
    }
    r.lists.push_back(std::move(reg));
    rts::prof::arrange_report_at_exit(r);
}

void registerCcsList(CostCentreStack** ccs_list) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    Registration reg{rts::prof::ListKind::Stacks, "", {}};
    for (CostCentreStack** p = ccs_list; *p != nullptr; ++p) {
        CostCentreStack* ccs = *p;
        r.add_stack(ccs);
        if (reg.labels.empty()) reg.module = ccs->cc->module;
        reg.labels.emplace_back(ccs->cc->label);
    }
    r.lists.push_back(std::move(reg));
    rts::prof::arrange_report_at_exit(r);
}

CostCentreStack* pushCostCentre(CostCentreStack* ccs, CostCentre* cc) {
    using namespace rts::prof;
    ccs = main_if_unset(ccs);
    if (ccs->cc == cc) return ccs;
    if (CostCentreStack* known = memoised(ccs, cc)) return known;

    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    if (CostCentreStack* known = memoised(ccs, cc)) return known;  // another thread made it meanwhile
    // A centre already on the stack (recursion, mutual or direct) takes the stack back to it.
    CostCentreStack* to = find_on_stack(ccs, cc);
    if (to == nullptr) {
        r.add_centre(cc);  // a centre used before its module registered
        to = new CostCentreStack(cc, ccs);
        r.add_stack(to);
    }
    auto* edge = new CcsEdge{cc, to, ccs->children.load(std::memory_order_relaxed)};
    ccs->children.store(edge, std::memory_order_release);
    return to;
}

void enterFunCCS(CostCentreStack* ccsfn) {
    CostCentreStack* cur = rts::prof::current_stack();
    if (ccsfn == nullptr || ccsfn == cur || ccsfn == CCS_DONT_CARE || ccsfn->prev == nullptr) return;
    // Push the function's centres on the current stack, bottom first (MAIN is below every stack).
    std::vector<CostCentre*> centres;
    for (CostCentreStack* s = ccsfn; s != nullptr && s != CCS_MAIN; s = s->prev) centres.push_back(s->cc);
    for (auto it = centres.rbegin(); it != centres.rend(); ++it) cur = pushCostCentre(cur, *it);
    rts::prof::set_current_stack(cur);
}

void setUserEra(uint64_t w) { std::atomic_ref<uint64_t>(user_era).store(w, std::memory_order_seq_cst); }

uint64_t getUserEra(void) { return std::atomic_ref<uint64_t>(user_era).load(std::memory_order_seq_cst); }

uint64_t incrementUserEra(uint64_t w) {
    return std::atomic_ref<uint64_t>(user_era).fetch_add(w, std::memory_order_seq_cst) + w;
}

}  // extern "C"

namespace rts::prof {

namespace {

// What the annotations of one library recorded while it loaded, in the order they did.
struct Recorded {
    std::vector<const ModuleRecord*> modules;
    std::vector<CostCentre*> centres;
    std::vector<CostCentreStack*> stacks;
};

std::map<const void*, Recorded>& recorded() {
    static auto* r = new std::map<const void*, Recorded>();  // guarded by the registry's lock
    return *r;
}

// The entries of `module`, in source order: file by file in the order the module's files are
// linked, then by line. `centre_of` gives an entry's cost centre.
template <class T, class CentreOf>
std::vector<T*> module_entries(const std::vector<const ModuleRecord*>& files, const char* module,
                               const std::vector<T*>& all, CentreOf centre_of) {
    auto rank = [&](const CostCentre* cc) {
        size_t k = 0;
        for (; k < files.size(); ++k)
            if (std::strcmp(files[k]->file, cc->file) == 0) break;
        return k;
    };
    std::vector<T*> found;
    for (T* e : all)
        if (std::strcmp(centre_of(e)->module, module) == 0) found.push_back(e);
    std::stable_sort(found.begin(), found.end(), [&](T* x, T* y) {
        const CostCentre* a = centre_of(x);
        const CostCentre* b = centre_of(y);
        size_t ra = rank(a), rb = rank(b);
        return ra != rb ? ra < rb : a->line < b->line;
    });
    found.push_back(nullptr);  // the terminator
    return found;
}

}  // namespace

void collect_module(const void* library, const ModuleRecord* module) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    recorded()[library].modules.push_back(module);
}

void collect_centre(const void* library, CostCentre* cc) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    recorded()[library].centres.push_back(cc);
}

void collect_stack(const void* library, CostCentreStack* ccs) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    recorded()[library].stacks.push_back(ccs);
}

void register_library(const void* library) {
    Recorded rec;
    {
        auto& r = registry();
        std::lock_guard<std::mutex> g(r.lock);
        auto it = recorded().find(library);
        if (it == recorded().end()) return;
        rec = std::move(it->second);
        recorded().erase(it);
    }
    // One registration per module: the first file of a module stands for all of its files.
    std::vector<const char*> done;
    for (const ModuleRecord* m : rec.modules) {
        auto same_name = [&](const char* n) { return std::strcmp(n, m->name) == 0; };
        if (std::any_of(done.begin(), done.end(), same_name)) continue;
        done.push_back(m->name);
        std::vector<const ModuleRecord*> files;
        for (const ModuleRecord* f : rec.modules)
            if (same_name(f->name)) files.push_back(f);
        auto centres = module_entries(files, m->name, rec.centres, [](CostCentre* cc) { return cc; });
        centres.insert(centres.begin(), m->caf);
        auto stacks = module_entries(files, m->name, rec.stacks, [](CostCentreStack* s) { return s->cc; });
        stacks.insert(stacks.begin(), m->caf_stack);
        registerCcList(centres.data());
        registerCcsList(stacks.data());
    }
}

namespace {

Totals totals_locked(Registry& r, const CostCentre* cc) {
    Totals t;
    for (CostCentreStack* s : r.stacks) {
        if (s->cc != cc) continue;
        t.entries += s->entries.load(std::memory_order_relaxed);
        t.objects += s->objects.load(std::memory_order_relaxed);
        t.bytes += s->bytes.load(std::memory_order_relaxed);
    }
    return t;
}

struct Row {
    const CostCentre* cc;
    Totals totals;
};

std::vector<Row> rows_locked(Registry& r) {
    std::vector<Row> rows;
    for (CostCentre* cc : r.centres) {
        Totals t = totals_locked(r, cc);
        if (t.entries != 0 || t.objects != 0) rows.push_back({cc, t});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.totals.bytes != b.totals.bytes) return a.totals.bytes > b.totals.bytes;
        if (a.totals.entries != b.totals.entries) return a.totals.entries > b.totals.entries;
        int m = std::strcmp(a.cc->module, b.cc->module);
        if (m != 0) return m < 0;
        return std::strcmp(a.cc->label, b.cc->label) < 0;
    });
    return rows;
}

std::string share(uint64_t part, uint64_t whole) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", whole == 0 ? 0.0 : 100.0 * double(part) / double(whole));
    return buf;
}

std::string source_of(const CostCentre* cc) {
    if (cc->line == 0) return cc->file;
    return base_name(cc->file) + ":" + std::to_string(cc->line);
}

}  // namespace

Totals totals_of(const CostCentre* cc) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return totals_locked(r, cc);
}

Totals totals_of(std::string_view module, std::string_view label) {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    Totals sum;
    for (CostCentre* cc : r.centres) {
        if (module != cc->module || label != cc->label) continue;
        Totals t = totals_locked(r, cc);
        sum.entries += t.entries;
        sum.objects += t.objects;
        sum.bytes += t.bytes;
    }
    return sum;
}

std::vector<Registration> registrations() {
    auto& r = registry();
    std::lock_guard<std::mutex> g(r.lock);
    return r.lists;
}

std::vector<std::string> stack_labels(const CostCentreStack* ccs) {
    std::vector<std::string> labels;
    for (; ccs != nullptr; ccs = ccs->prev) labels.emplace_back(ccs->cc->label);
    std::reverse(labels.begin(), labels.end());
    return labels;
}

std::string report() {
    auto& r = registry();
    std::vector<std::vector<std::string>> table;
    uint64_t total_bytes = 0, total_objects = 0, total_entries = 0;
    {
        std::lock_guard<std::mutex> g(r.lock);
        std::vector<Row> rows = rows_locked(r);
        for (const Row& row : rows) {
            total_bytes += row.totals.bytes;
            total_objects += row.totals.objects;
            total_entries += row.totals.entries;
        }
        table.push_back({"COST CENTRE", "MODULE", "SRC", "entries", "objects", "bytes", "%alloc"});
        for (const Row& row : rows)
            table.push_back({row.cc->label, row.cc->module, source_of(row.cc),
                             std::to_string(row.totals.entries), std::to_string(row.totals.objects),
                             std::to_string(row.totals.bytes), share(row.totals.bytes, total_bytes)});
    }
    // Text columns are left-aligned, counts right-aligned, two spaces apart.
    constexpr size_t kTextColumns = 3;
    std::vector<size_t> width(table[0].size(), 0);
    for (const auto& line : table)
        for (size_t i = 0; i < line.size(); ++i) width[i] = std::max(width[i], line[i].size());
    std::ostringstream out;
    out << "Cost-centre profile\n\n"
        << "total entries: " << total_entries << "\n"
        << "total alloc:   " << total_bytes << " bytes in " << total_objects << " objects\n"
        << "user era:      " << getUserEra() << "\n\n";
    for (const auto& line : table) {
        std::string text;
        for (size_t i = 0; i < line.size(); ++i) {
            if (i > 0) text += "  ";
            std::string pad(width[i] - line[i].size(), ' ');
            text += i < kTextColumns ? line[i] + pad : pad + line[i];
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << "\n";
    }
    return out.str();
}

bool write_report(const std::string& path) {
    std::string text = report();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << text;
    file.close();
    if (!file) return false;
    std::atomic_ref<unsigned int>(era).fetch_add(1, std::memory_order_relaxed);
    return true;
}

}  // namespace rts::prof
