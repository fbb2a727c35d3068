#pragma once
// The one failure the interpreter raises: something the script or the game
// folder holds makes it impossible to go on. The message says what went wrong,
// where, and what to do about it; what() is its English wording.

#include "message.h"

#include <stdexcept>
#include <string>

namespace vorn {

class FatalError : public std::runtime_error {
  public:
    explicit FatalError(const Message& message) : std::runtime_error(message.english()), message_(message) {}
    explicit FatalError(const std::string& english)
        : std::runtime_error(english), message_(Message::sentence(english)) {}

    const Message& message() const { return message_; }

  private:
    Message message_;
};

} // namespace vorn
