#include "VUX/Internal/Conc.h"

#include <functional>
#include <utility>

#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/MVar.h"
#include "rts/Mask.h"
#include "rts/Profiling.h"

namespace VUX::Internal::Conc {

using VUX::Tuple::Unit;

Value forkIO(Value act) {
    return rts::fun<1>([act](const Value&) {
        // The child starts on the cost-centre stack of the thread that forks it, so what it does
        // is charged below the forking code (only profiling builds charge anything to a stack).
        CostCentreStack* creator = rts::prof::current_stack();
        return rts::fork_thread(std::function<void()>([act, creator] {
            rts::prof::set_current_stack(creator);
            try {
                IO::runIO(act);
            } catch (const rts::Exception& e) {
                // The runtime knows its own thread-killed kind; the value thrown or re-raised by
                // language code is recognised here.
                if (!Exception::isThreadKilled(e)) throw;
            }
        }));
    });
}

namespace {
Value myThreadId_fn(const Value&) { return rts::my_thread_id(); }
Value yield_fn(const Value&) {
    rts::yield();
    return Unit();
}
Value newEmptyMVar_fn(const Value&) { return rts::newMVar_hash(); }
}  // namespace

constinit const rts::StaticFun myThreadId_closure{rts::static_fun_info<&myThreadId_fn>};
constinit const rts::StaticFun yield_closure{rts::static_fun_info<&yield_fn>};
constinit const rts::StaticFun newEmptyMVar_closure{rts::static_fun_info<&newEmptyMVar_fn>};

Value killThread(Value thread) {
    return IO::io([thread]() {
        rts::kill_thread(thread);
        return Unit();
    });
}

Value throwTo(Value dException, Value thread, Value e) {
    return IO::io([dException, thread, e]() {
        Value some = Exception::toException(dException, e);
        rts::throw_to(thread, rts::force(some));
        return Unit();
    });
}

// ---------------------------------------------------------------------------------------------
// MVar

namespace {
Value maybeOf(Value v) { return v ? Maybe::Just(std::move(v)) : Maybe::Nothing(); }
}  // namespace

Value newMVar(Value x) {
    return IO::io([x]() {
        Value m = rts::newMVar_hash();
        rts::putMVar_hash(m, x);
        return m;
    });
}

Value takeMVar(Value mvar) {
    return IO::io([mvar]() { return rts::takeMVar_hash(mvar); });
}

Value putMVar(Value mvar, Value x) {
    return IO::io([mvar, x]() {
        rts::putMVar_hash(mvar, x);
        return Unit();
    });
}

Value readMVar(Value mvar) {
    return IO::io([mvar]() { return rts::readMVar_hash(mvar); });
}

Value tryTakeMVar(Value mvar) {
    return IO::io([mvar]() { return maybeOf(rts::tryTakeMVar_hash(mvar)); });
}

Value tryReadMVar(Value mvar) {
    return IO::io([mvar]() { return maybeOf(rts::tryReadMVar_hash(mvar)); });
}

Value tryPutMVar(Value mvar, Value x) {
    return IO::io([mvar, x]() { return VUX::Types::fromBool(rts::tryPutMVar_hash(mvar, x)); });
}

Value isEmptyMVar(Value mvar) {
    return IO::io([mvar]() { return VUX::Types::fromBool(rts::isEmptyMVar_hash(mvar)); });
}

namespace {
// The shape of withMVar, modifyMVar_ and modifyMVar: takes the value masked, runs `use(a)` in the
// caller's state (putting a back if it raises), fills the mailbox with the first of the pair use
// answers and returns the second.
template <class Use>
Value aroundTaken(const Value& mvar, Use&& use) {
    return Exception::masked(rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState outer) {
        Value a = rts::takeMVar_hash(mvar);
        std::pair<Value, Value> r = rts::catch_exception(
            [&] { return rts::with_masking_state(outer, [&] { return use(a); }); },
            [&](const rts::Exception& ex) -> std::pair<Value, Value> {
                rts::putMVar_hash(mvar, a);
                rts::rethrow(ex);
            });
        rts::putMVar_hash(mvar, std::move(r.first));
        return std::move(r.second);
    });
}
}  // namespace

Value withMVar(Value mvar, Value io) {
    return rts::fun<1>([mvar, io](const Value& token) {
        return aroundTaken(mvar, [&](const Value& a) { return std::pair{a, rts::apply(io, a, token)}; });
    });
}

Value modifyMVar_(Value mvar, Value io) {
    return rts::fun<1>([mvar, io](const Value& token) {
        return aroundTaken(mvar, [&](const Value& a) { return std::pair{rts::apply(io, a, token), Unit()}; });
    });
}

Value modifyMVar(Value mvar, Value io) {
    return rts::fun<1>([mvar, io](const Value& token) {
        return aroundTaken(mvar, [&](const Value& a) {
            Value pair = rts::apply(io, a, token);
            const Value& p = rts::force(pair);
            return std::pair{rts::field(p, 0), rts::field(p, 1)};
        });
    });
}

}  // namespace VUX::Internal::Conc
