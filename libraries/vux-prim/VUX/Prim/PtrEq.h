// Reference identity: 1 when both references denote the same object, 0 otherwise. Neither side is
// evaluated, so a suspended computation and the value it evaluates to are different references.
//
// The typed names all compare the references as they are; the runtime's arrays, mutable
// references, mailboxes, transactional variables, ports, prompt tags and stable names are all
// objects behind an rts::Value.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace VUX::Prim::PtrEq {

using rts::Value;

inline int64_t reallyUnsafePtrEquality(const Value& a, const Value& b) noexcept { return same(a, b) ? 1 : 0; }

inline int64_t unsafePtrEquality_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameMutableArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameSmallArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameSmallMutableArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameByteArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameMutableByteArray_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameMutVar_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameTVar_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameMVar_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t sameIOPort_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t samePromptTag_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}
inline int64_t eqStableName_hash(const Value& a, const Value& b) noexcept {
    return reallyUnsafePtrEquality(a, b);
}

}  // namespace VUX::Prim::PtrEq
