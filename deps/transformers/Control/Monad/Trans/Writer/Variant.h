// No include guard: each variant header includes this file once, inside its own namespace.
// The operations of one variant of WriterT, included by Writer/Lazy.h and Writer/Strict.h inside
// the variant's namespace, where `kMatch` says how the variant takes pairs apart.
using rts::Value;
using Shared::WriterT, Shared::runWriterT, Shared::writer, Shared::tell, Shared::mapWriterT,
    Shared::runWriter, Shared::execWriter;

inline Value listen(const Value& dMonad, const Value& m) { return Shared::listen(dMonad, m, kMatch); }
inline Value listens(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::listens(dMonad, f, m, kMatch);
}
inline Value pass(const Value& dMonad, const Value& m) { return Shared::pass(dMonad, m, kMatch); }
inline Value censor(const Value& dMonad, const Value& f, const Value& m) {
    return Shared::censor(dMonad, f, m, kMatch);
}
inline Value execWriterT(const Value& dMonad, const Value& m) {
    return Shared::execWriterT(dMonad, m, kMatch);
}
