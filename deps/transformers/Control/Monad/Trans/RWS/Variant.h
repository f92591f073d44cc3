// No include guard: each variant header includes this file once, inside its own namespace.
// The operations of one variant of RWST, included by RWS/Lazy.h and RWS/Strict.h inside the
// variant's namespace, where `kMatch` says how the variant takes triples and pairs apart.
using rts::Value;
using Shared::RWST, Shared::runRWST, Shared::rws, Shared::runRWS, Shared::evalRWS, Shared::execRWS,
    Shared::mapRWST, Shared::withRWST, Shared::reader, Shared::ask, Shared::local, Shared::tell, Shared::get,
    Shared::put, Shared::modify, Shared::gets;
// `asks` is `reader`.
inline Value asks(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return reader(dMonoid, dMonad, f);
}

inline Value evalRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return Shared::evalRWST(dMonad, m, r, s, kMatch);
}
inline Value execRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s) {
    return Shared::execRWST(dMonad, m, r, s, kMatch);
}
inline Value writer(const Value& dMonad, const Value& p) { return Shared::writer(dMonad, p, kMatch); }
inline Value listen(const Value& dMonad, const Value& m) { return Shared::listen(dMonad, m, kMatch); }
inline Value listens(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::listens(dMonad, f, m, kMatch);
}
inline Value pass(const Value& dMonad, const Value& m) { return Shared::pass(dMonad, m, kMatch); }
inline Value censor(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::censor(dMonad, f, m, kMatch);
}
inline Value state(const Value& dMonoid, const Value& dMonad, const Value& f) {
    return Shared::state(dMonoid, dMonad, f, kMatch);
}
