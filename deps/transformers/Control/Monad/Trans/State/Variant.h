// No include guard: each variant header includes this file once, inside its own namespace.
// The operations of one variant of StateT, included by State/Lazy.h and State/Strict.h inside the
// variant's namespace, where `kMatch` says how the variant takes pairs apart.
using rts::Value;
using Shared::runStateT, Shared::StateT, Shared::state, Shared::get, Shared::put, Shared::modify,
    Shared::modify_prime, Shared::gets, Shared::mapStateT, Shared::withStateT, Shared::runState,
    Shared::evalState, Shared::execState;

inline Value evalStateT(const Value& dMonad, const Value& m, const Value& s) {
    return Shared::evalStateT(dMonad, m, s, kMatch);
}
inline Value execStateT(const Value& dMonad, const Value& m, const Value& s) {
    return Shared::execStateT(dMonad, m, s, kMatch);
}
