#pragma once

#include <stdexcept>
#include <string>

namespace vocanta {

// Every error the user may see carries its final message text.
class VocantaError : public std::runtime_error {
 public:
  explicit VocantaError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vocanta
