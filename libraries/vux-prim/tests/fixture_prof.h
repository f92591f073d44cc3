// A small library whose modules carry profiling annotations, for the tests of registration and
// attribution. Every function says in its comment what it allocates, which the tests count on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "VUX/Types.h"

namespace Fixture {

using rts::Value;

// Module Fixture.Counting.
namespace Counting {
// The list [n, n-1 .. 1] of boxed Ints: n list cells (24 bytes each) and n boxes (16 bytes each).
Value countdown(int64_t n);
// A pair-like constructor (24 bytes) of two countdowns of n.
Value twice(int64_t n);
// The labels of the cost-centre stack inside the function, root first; allocates nothing.
std::vector<std::string> probe();
// The length of a chain of n + 1 nested calls of itself; allocates nothing.
int64_t depth(int64_t n);
// Enters its cost centre and raises a C++ exception.
void fails();
// Forces the constant `table` (allocates nothing itself) and returns its first element.
int64_t useTable();
// n + 1, from the module's second source file.
int64_t extra(int64_t n);
}  // namespace Counting

// Module Fixture.Later: one function that calls into Fixture.Counting.
namespace Later {
// countdown(n) of Fixture.Counting, under its own cost centre; allocates nothing itself.
Value delegate(int64_t n);
}  // namespace Later

}  // namespace Fixture
