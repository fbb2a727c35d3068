#pragma once
// The one failure the interpreter raises: something the script or the game
// folder holds makes it impossible to go on. The message says what went wrong,
// where, and what to do about it.

#include <stdexcept>
#include <string>

namespace vorn {

class FatalError : public std::runtime_error {
  public:
    explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace vorn
