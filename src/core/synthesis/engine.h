#pragma once

namespace vocanta {

// Both engines give the same samples: the reference engine computes every term as the
// formulas write it; the fast one computes each term from the same operands only when
// they changed, and sums in vector registers.
enum class Engine { Reference, Fast };

}  // namespace vocanta
