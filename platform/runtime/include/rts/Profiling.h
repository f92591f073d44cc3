// Cost-centre profiling: cost centres, cost-centre stacks, the user era and the report.
//
// A cost centre names one top-level function or constant of a module. A cost-centre stack is a
// path of cost centres from a root, the chain of annotated calls that led to the current point;
// the runtime memoises stacks, so pushing the same centre on the same stack always yields the same
// stack object. Every thread has a current stack. Entering an annotated function pushes its centre
// and counts one entry on the resulting stack; every allocation made by code compiled for profiling
// is charged (one object, its size in bytes) to the current stack of the allocating thread.
//
// Only the profiling variant of a library (compiled with VUX_PROFILING=1) does any of this; in the
// plain variant the macros below expand to nothing and cost nothing. The runtime itself is one
// shared object for both variants and always carries the registry.
//
// How a library module takes part (the whole pattern):
//
//     #include "rts/Profiling.h"
//     VUX_MODULE("VUX.Classes");          // once per source file, at file scope after the includes
//
//     Value op_amp_amp(const Value& a, const Value& b) {
//         VUX_SCC("&&");                  // first statement: the function's cost centre
//         ...
//     }
//     Value eqInt(const Value& a, const Value& b) {
//         VUX_FUNCTION;                   // the same, named after the C++ function
//         ...
//     }
//     RTS_CONSTANT(digits) {
//         VUX_CAF("digits");              // first statement: the constant's cost centre
//         ...
//     }
//
// Labels are the language's names (`unpackCString#`, `&&`); `VUX_FUNCTION` takes the C++ function's
// own name, for functions whose C++ name is the language name. Put annotations in a module's .cpp
// files, not in functions defined in headers. A module split over several .cpp files declares
// VUX_MODULE with the same name in each of them.
//
// Registration. Each module has one registration, run when the shared object is loaded: it hands
// the module's cost centres to `registerCcList` (the module's `CAF` centre first, then one per
// annotated function and constant in source order), then its cost-centre stacks to `registerCcsList`
// (the `CAF` stack, then one root stack per constant). A module without code still registers its
// `CAF` centre and stack. The modules of a library register in the order of their files on the link
// line, which is the order of SOURCES in its vux_add_library; a module of several files registers
// once, with the centres of all its files (file by file in link order, each in source order).
// How: while the library's static initialisers run, each VUX_MODULE and each annotation (also in a
// function template, one centre per instantiation) records itself with the runtime under the
// library's identity (its __dso_handle); then the registration unit that vux_add_library links last
// into every profiling library (ProfilingLibrary.cpp) runs the registrations of the recorded modules.
// A profiling library is never unloaded (the runtime keeps pointers into it). A program (not a
// library) compiled for profiling with modules of its own calls register_library(&__dso_handle)
// itself, at the start of main.
//
// Constants and threads. A constant is evaluated under its own root stack, whoever forces it first,
// and is charged there. A suspended computation runs under the stack of the thread that forces it.
// A new thread starts on MAIN; a thread-creating primitive may hand the creator's stack to the new
// thread with set_current_stack.
//
// What is charged. Allocation made inline by code compiled with VUX_PROFILING (constructors,
// suspended computations, functions: `rts::con`, `rts::delay`, `rts::fun` expand in the library) is
// charged to the current stack. Allocation made inside the runtime's own compiled code (partial
// applications built by `apply_n`, byte arrays and mutable references made by the runtime's
// out-of-line functions, thread bookkeeping) is not charged: the runtime is compiled once for both
// variants and does not pay for profiling.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rts/Object.h"

struct CostCentreStack;

extern "C" {

// A cost centre: a function or constant of a module. Defined statically by the annotations and
// never moved; `id` is given at registration (0 before).
struct CostCentre {
    const char* label;   // the name of the function or constant, e.g. "eqInt" or "CAF"
    const char* module;  // the module, e.g. "VUX.Classes"
    const char* file;    // source file of the definition
    uint32_t line;       // source line of the definition
    uint32_t flags;      // rts::prof::kCafCentre for constants and module CAF centres
    uint32_t id;         // registration number, from 1; 0 until registered
};

// One memoised push: pushing `cc` on the stack that owns this edge gives `to`.
struct CcsEdge {
    CostCentre* cc;
    CostCentreStack* to;
    CcsEdge* next;
};

// A cost-centre stack: its top centre and the stack below it (null for a root). Its allocation
// counters come first (rts::AllocCounters), so the allocation fast path reaches them through the
// thread's one current-stack pointer.
struct CostCentreStack : rts::AllocCounters {
    CostCentre* cc;
    CostCentreStack* prev;
    std::atomic<uint64_t> entries;
    std::atomic<CcsEdge*> children;  // memoised pushes onto this stack
    uint32_t depth;                  // number of centres, 1 for a root
    uint32_t id;                     // registration number, from 1; 0 until registered

    constexpr CostCentreStack(CostCentre* top, CostCentreStack* below)
        : rts::AllocCounters{},
          cc(top),
          prev(below),
          entries(0),
          children(nullptr),
          depth(below ? below->depth + 1 : 1),
          id(0) {}
    CostCentreStack(const CostCentreStack&) = delete;
};

// The identity of the shared object (or program) a piece of code belongs to; defined hidden in each.
extern void* __dso_handle __attribute__((visibility("hidden")));

// The stack a thread starts on, and the stack of costs nobody is to be charged with in particular
// (static objects). Both are roots.
extern CostCentreStack CCS_MAIN[1];
extern CostCentreStack CCS_DONT_CARE[1];

// The heap-profile era: starts at 1; writing a report closes the era and starts the next.
extern unsigned int era;
// The user era: a word the program sets and advances; one process-wide value, read and written
// atomically by the three entry points below.
extern uint64_t user_era;

// Registers the cost centres of a null-terminated list (a module's, at load). A centre already
// registered is not registered again.
void registerCcList(CostCentre** cc_list);
// Registers the cost-centre stacks of a null-terminated list (a module's, at load).
void registerCcsList(CostCentreStack** ccs_list);
// The stack `cc` pushed on `ccs`: `ccs` itself if `cc` is its top, the stack truncated to the
// nearest occurrence of `cc` if `cc` is already on it (recursion does not grow stacks), a new
// memoised stack otherwise. A null stack or CCS_DONT_CARE stands for CCS_MAIN. Thread-safe.
CostCentreStack* pushCostCentre(CostCentreStack* ccs, CostCentre* cc);
// Entering a function closure made under `ccsfn` on the calling thread: a root stack (top-level
// function), CCS_DONT_CARE, null or the current stack itself leave the current stack as it is;
// otherwise the centres of `ccsfn` are pushed, bottom first, on the current stack.
void enterFunCCS(CostCentreStack* ccsfn);

// The user era. incrementUserEra adds `w` and returns the new value; concurrent updates all count.
void setUserEra(uint64_t w);
uint64_t getUserEra(void);
uint64_t incrementUserEra(uint64_t w);

}  // extern "C"

namespace rts::prof {

inline constexpr uint32_t kCafCentre = 1;

// The calling thread's current stack (CCS_MAIN until it enters a cost centre).
RTS_INLINE CostCentreStack* current_stack() {
    AllocCounters* c = tls_ccs_alloc;
    return c ? static_cast<CostCentreStack*>(c) : CCS_MAIN;
}
RTS_INLINE void set_current_stack(CostCentreStack* ccs) { tls_ccs_alloc = ccs; }

// Enters `cc` from the current stack for the lifetime of the scope (restored on every exit,
// exceptions included) and counts one entry.
class Scope {
  public:
    RTS_INLINE explicit Scope(CostCentre* cc) : saved_(tls_ccs_alloc) {
        CostCentreStack* cur = saved_ ? static_cast<CostCentreStack*>(saved_) : CCS_MAIN;
        CostCentreStack* next = cur;
        if (cur->cc != cc) {
            CcsEdge* e = cur->children.load(std::memory_order_acquire);
            next = (e && e->cc == cc) ? e->to : pushCostCentre(cur, cc);
        }
        next->entries.fetch_add(1, std::memory_order_relaxed);
        tls_ccs_alloc = next;
    }
    RTS_INLINE ~Scope() { tls_ccs_alloc = saved_; }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    AllocCounters* saved_;
};

// Runs a constant's computation on the constant's own root stack and counts one entry.
class RootScope {
  public:
    RTS_INLINE explicit RootScope(CostCentreStack* root) : saved_(tls_ccs_alloc) {
        root->entries.fetch_add(1, std::memory_order_relaxed);
        tls_ccs_alloc = root;
    }
    RTS_INLINE ~RootScope() { tls_ccs_alloc = saved_; }
    RootScope(const RootScope&) = delete;
    RootScope& operator=(const RootScope&) = delete;

  private:
    AllocCounters* saved_;
};

// Costs of one cost centre, summed over every stack it tops.
struct Totals {
    uint64_t entries = 0;
    uint64_t objects = 0;
    uint64_t bytes = 0;
};
Totals totals_of(const CostCentre* cc);
// The same for every registered centre of that module and label (zero if there is none).
Totals totals_of(std::string_view module, std::string_view label);

// One call of registerCcList or registerCcsList, as it was made: for stacks, the labels are those
// of their top centres.
enum class ListKind { CostCentres, Stacks };
struct Registration {
    ListKind kind;
    std::string module;               // module of the first entry ("" for an empty list)
    std::vector<std::string> labels;  // in list order
};
// Every registration made in this process, in order.
std::vector<Registration> registrations();

// The labels of a stack, root first.
std::vector<std::string> stack_labels(const CostCentreStack* ccs);

// The report: the totals and the user era at the time of the report, then one row per cost centre
// with entries or allocation (module, source, entries, objects, bytes, share of all charged
// bytes), sorted by bytes, most first.
std::string report();
// Writes the report to `path`; false if the file cannot be written. At exit, a process in which a
// profiling library registered writes it to the file named by VUX_PROF_REPORT, if that is set.
bool write_report(const std::string& path);

// ---------------------------------------------------------------------------------------------
// Support for the annotation macros (used only through them).

// The records that the annotations make while a library loads, and the library's registration
// (from the registration unit), which registers the modules recorded for that library in order.
struct ModuleRecord {
    const char* name;
    const char* file;
    CostCentre* caf;
    CostCentreStack* caf_stack;
};
void collect_module(const void* library, const ModuleRecord* module);
void collect_centre(const void* library, CostCentre* cc);
void collect_stack(const void* library, CostCentreStack* ccs);
void register_library(const void* library);

template <CostCentre* CC>
struct CollectedCentre {
    static inline const bool done = (collect_centre(&__dso_handle, CC), true);
};
template <CostCentreStack* CCS>
struct CollectedStack {
    static inline const bool done = (collect_stack(&__dso_handle, CCS), true);
};

}  // namespace rts::prof

#ifdef VUX_PROFILING

// clang-format off
#define VUX_MODULE(name)                                                                                     \
    namespace {                                                                                              \
    constexpr char vux_prof_module_name[] = name;                                                            \
    constinit ::CostCentre vux_prof_module_caf{                                                              \
        "CAF", vux_prof_module_name, __FILE__, __LINE__, ::rts::prof::kCafCentre, 0};                        \
    constinit ::CostCentreStack vux_prof_module_caf_stack{&vux_prof_module_caf, nullptr};                    \
    constinit const ::rts::prof::ModuleRecord vux_prof_module{                                               \
        vux_prof_module_name, __FILE__, &vux_prof_module_caf, &vux_prof_module_caf_stack};                   \
    [[maybe_unused]] const bool vux_prof_module_collected =                                                  \
        (::rts::prof::collect_module(&__dso_handle, &vux_prof_module), true);                                \
    }                                                                                                        \
    static_assert(true)

#define VUX_SCC(label)                                                                                       \
    static constinit ::CostCentre vux_prof_cc{label, vux_prof_module_name, __FILE__, __LINE__, 0, 0};        \
    static_cast<void>(::rts::prof::CollectedCentre<&vux_prof_cc>::done);                                     \
    ::rts::prof::Scope vux_prof_scope { &vux_prof_cc }

#define VUX_FUNCTION VUX_SCC(__func__)

#define VUX_CAF(label)                                                                                       \
    static constinit ::CostCentre vux_prof_cc{label, vux_prof_module_name, __FILE__, __LINE__,               \
                                              ::rts::prof::kCafCentre, 0};                                   \
    static constinit ::CostCentreStack vux_prof_ccs{&vux_prof_cc, nullptr};                                  \
    static_cast<void>(::rts::prof::CollectedCentre<&vux_prof_cc>::done);                                     \
    static_cast<void>(::rts::prof::CollectedStack<&vux_prof_ccs>::done);                                     \
    ::rts::prof::RootScope vux_prof_scope { &vux_prof_ccs }

#else

#define VUX_MODULE(name) static_assert(true)
#define VUX_SCC(label) static_cast<void>(0)
#define VUX_FUNCTION static_cast<void>(0)
#define VUX_CAF(label) static_cast<void>(0)
// clang-format on

#endif
