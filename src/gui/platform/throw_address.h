#pragma once

#include <cstdint>

namespace vocanta {

// Where this thread last raised an exception: the offset into the program file of the
// program's own code nearest the throw (the call that failed when the library threw on
// its behalf), so that `addr2line -e PROGRAM 0xOFFSET` names the line. 0 when nothing
// was thrown yet or no frame of the program was found.
std::uint64_t last_throw_address();

}  // namespace vocanta
