// Module Data.Map: finite maps as persistent weight-balanced search trees, ordered through an
// `Ord` record passed to every operation that compares keys.
//
//   data Map k a = Bin Size k a (Map k a) (Map k a) | Tip
//
// `Bin` (tag 0) holds the key, the value and the two subtrees as references, then the size and
// a copy of a one-word key's contents as unboxed words; `Tip` (tag 1) is static. As in the language's lazy
// map, keys and subtrees are evaluated when a map is built, values are stored as given (unevaluated). Every
// operation that changes a map returns a new one sharing the unchanged subtrees; depth stays logarithmic, so
// the walks recurse at most O(log n) deep.
//
// Balance: for every node, either both subtrees hold at most one element together, or neither
// holds more than `delta` (3) times the other's elements. Single and double rotations keep it,
// a double one when the inner grandchild is at least `ratio` (2) times the outer one.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace Data::Map {

using rts::Value;

inline constexpr uint8_t Bin_tag = 0;
inline constexpr uint8_t Tip_tag = 1;
extern const rts::StaticNullary Tip_closure;

// `empty`, `singleton k x` (k evaluated), `size m`.
inline Value empty() { return Tip_closure.value(); }
Value singleton(const Value& k, Value x);
int64_t size(const Value& m);

// `insert k x m`: m with k mapped to x (an equal key already there is replaced, key and value).
// The map argument is consumed: a caller that gives up its only reference (`std::move`) lets the
// nodes on the path be reused in place; any other holder of the old map still sees it unchanged.
Value insert(const Value& dOrd, const Value& k, const Value& x, Value m);
// `lookup k m`: `Just` the value, or `Nothing`. `member k m`: whether k is a key (a Bool).
Value lookup(const Value& dOrd, const Value& k, const Value& m);
Value member(const Value& dOrd, const Value& k, const Value& m);
// `fromList xs`: inserts the pairs from first to last (a later key replaces an earlier one).
// Evaluates the list, each pair and each key; the values stay as they are.
Value fromList(const Value& dOrd, const Value& xs);
// `toList m` (`toAscList`): the (key, value) pairs in ascending key order, produced on demand.
Value toList(const Value& m);

// `valid m`: balance, order (strictly ascending keys) and the stored sizes and key words all hold.
bool valid(const Value& dOrd, const Value& m);

// Equality: equal sizes and equal ascending lists. Text form: "fromList " then the list of pairs,
// in parentheses at precedence 11 or more.
Value inst_Eq_Map(const Value& dEqKey, const Value& dEqValue);
Value inst_Show_Map(const Value& dShowKey, const Value& dShowValue);

// The operations as language values, records first.
extern const rts::StaticFun insert_closure;  // insert dOrd k x m
extern const rts::StaticFun lookup_closure;  // lookup dOrd k m

}  // namespace Data::Map
