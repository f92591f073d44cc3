// Module Data.Tree: rose trees.
//
//   data Tree a = Node { rootLabel :: a, subForest :: [Tree a] }
//   type Forest a = [Tree a]
//
// `Node` (tag 0) stores both fields unevaluated. Equality and the text form are the derived ones:
// the label first, then the forest; "Node {rootLabel = ..., subForest = [...]}", in parentheses
// at precedence 11 or more. They walk a tree recursively, so a tree nested deeper than the stack
// allows raises the runtime's stack overflow exception.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace Data::Tree {

using rts::Value;

inline constexpr uint8_t Node_tag = 0;
inline Value Node(Value rootLabel, Value subForest) {
    return rts::con(Node_tag, std::move(rootLabel), std::move(subForest));
}
// The fields of a tree (evaluated to reach them, returned unevaluated).
Value rootLabel(const Value& t);
Value subForest(const Value& t);

// `flatten t`: the labels in pre-order, produced on demand.
Value flatten(const Value& t);

Value inst_Eq_Tree(const Value& dEq);
Value inst_Show_Tree(const Value& dShow);

}  // namespace Data::Tree
